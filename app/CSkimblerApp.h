#pragma once

#include "app/Dialogs.h"
#include "app/RecentFileList.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class CMainFrame;
class CSkimblerDoc;
class CSkimblerView;
class DocumentLoader;
class LoadProgress;
class QPrinter;
class RecoveryManager;

// The application object: start-up in a fixed order, and the commands that
// belong to the application rather than to the view (files, printing, About).
class CSkimblerApp : public QObject
{
    Q_OBJECT

public:
    // Asks its questions through `dialogs`, Qt's own when none is given.
    explicit CSkimblerApp(std::unique_ptr<Dialogs> dialogs = nullptr, QObject *parent = nullptr);
    ~CSkimblerApp() override;

    // Settings and recent files, document, frame and view, the new (or
    // opened) document, main window shown maximised and painted, then the
    // tool windows. False ends the program.
    bool InitInstance(const QStringList &arguments);

    // Commands the application handles; false for any other id.
    bool OnCommand(int commandId);

    void OnFileNew();
    void OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    void OnFilePrintSetup();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnOpenRecentFile(int index);
    // A file dropped on the main window: as File > Open with that file.
    void OnFileDropped(const QString &path);
    // File > Replace Image: another picture under the same settings, one
    // undoable step; no question about saving, nothing is lost.
    void OnFileReplaceImage();
    bool ReplaceImage(const QString &path);
    void ShowAboutBox();
    // Where an open that began ends, whichever command began it.
    void OnDocumentOpened(const QString &path);
    void OnOpenFailed(const QString &path);

    // Opens a surface file or an image into the one document, its picture
    // decoded on a worker: false when the file is refused at once, else the
    // open ends later (the loader's documentOpened or openFailed).
    bool OpenDocumentFile(const QString &path);
    // Asks whether to save a modified document; false means "stay".
    bool SaveModified();

    CMainFrame *GetMainWnd() const { return m_mainFrame; }
    CSkimblerDoc *GetDocument() const { return m_document; }
    DocumentLoader *GetLoader() const { return m_loader; }
    CSkimblerView *GetActiveView() const;
    const RecentFileList &RecentFiles() const { return m_recentFiles; }

    // Where Open and Replace Image start: the folder of the surface's file,
    // else of its image; empty for neither.
    QString DialogFolder() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void UpdateTitle();
    void UpdateRecentFiles();
    void AfterDocumentChanged();
    void ForgetRecentFile(const QString &path);
    QPrinter *Printer();

    // Handed to the frame, which hands it on to the tools and panels.
    std::unique_ptr<Dialogs> m_dialogs;
    CSkimblerDoc *m_document = nullptr;
    // Reads files into the document and follows its image on disk.
    DocumentLoader *m_loader = nullptr;
    CMainFrame *m_mainFrame = nullptr;
    RecentFileList m_recentFiles;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<RecoveryManager> m_recovery;
    LoadProgress *m_loadProgress = nullptr;
    // The recent entry being opened, which leaves the list if it fails.
    QString m_openingRecent;
    // The command line's file is being opened; its failure ends the program.
    bool m_openingAtStart = false;
    bool m_initialising = false;
    bool m_startFailed = false;
};
