#include "app/CSkimblerApp.h"

#include "app/AppIcon.h"
#include "app/CAboutBox.h"
#include "app/CMainFrame.h"
#include "app/EventWait.h"
#include "app/Language.h"
#include "app/LoadProgress.h"
#include "app/UserGuide.h"
#include "app/RecoveryManager.h"
#include "app/ViewPrinter.h"
#include "render/Outputs.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"
#include "app/MessageBox.h"
#include "view/CSkimblerView.h"

#include <skimbler/SurfaceFile.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QWindow>

#include <csignal>

namespace SurfaceFile = skimbler::SurfaceFile;

CSkimblerApp::CSkimblerApp(std::unique_ptr<Dialogs> dialogs, QObject *parent)
    : QObject(parent)
    , m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<Dialogs>())
{
}

CSkimblerApp::~CSkimblerApp()
{
    m_recovery.reset();  // a clean exit leaves no copy behind
    m_recentFiles.Save();
    if (m_mainFrame)
        m_mainFrame->SaveToolWindows();
    // The view (and with it the rendering context) goes before the document.
    delete m_mainFrame;
    m_mainFrame = nullptr;
    delete m_loader;
    delete m_document;
}

CSkimblerView *CSkimblerApp::GetActiveView() const
{
    return m_mainFrame ? m_mainFrame->GetActiveView() : nullptr;
}

bool CSkimblerApp::InitInstance(const QStringList &arguments)
{
    // Per-user settings, and the recent-file list kept there.
    QCoreApplication::setOrganizationName(QString::fromLatin1(Resource::RegistryKey));
    QCoreApplication::setApplicationName(QString::fromLatin1(Resource::AppTitle));
    QGuiApplication::setApplicationDisplayName(QString());
    // Every window shows the application's icon unless given its own.
    QApplication::setWindowIcon(AppIcon::Icon());
    m_recentFiles.Load();
    // Before any window: texts are translated as they are made.
    Language::Install(Language::Saved());
    // A save that meets a file-size limit fails and says so; by default the
    // signal would end the program and lose the unsaved work with it.
    std::signal(SIGXFSZ, SIG_IGN);

    // The standard command line: nothing for a new document, or one file to
    // open. "--new" (the desktop entry's) makes new documents start without
    // an image; other options are not ours.
    QString fileToOpen;
    bool newDocumentsEmpty = false;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--new"))
            newDocumentsEmpty = true;
        else if (fileToOpen.isEmpty() && !argument.startsWith(QLatin1Char('-')))
            fileToOpen = argument;
    }

    m_document = new CSkimblerDoc;
    m_document->SetNewDocumentsEmpty(newDocumentsEmpty);
    m_loader = new DocumentLoader(m_document);
    m_mainFrame = new CMainFrame(m_document, *m_dialogs);
    if (m_mainFrame->OnCreate() != 0)
        return false;
    m_mainFrame->SetApplicationCommandHandler([this](int id) { return OnCommand(id); });
    m_mainFrame->installEventFilter(this);
    connect(m_document, &CSkimblerDoc::titleChanged, this, &CSkimblerApp::UpdateTitle);
    connect(m_document, &CSkimblerDoc::modifiedChanged, this, &CSkimblerApp::UpdateTitle);
    connect(m_mainFrame, &CMainFrame::fileDropped, this, &CSkimblerApp::OnFileDropped);
    connect(m_mainFrame, &CMainFrame::imageDropped, this, &CSkimblerApp::ReplaceImage);
    // The image changed on disk: said in the status bar, never in a box
    // that would stop the user painting in their image editor.
    connect(m_loader, &DocumentLoader::imageReloaded, this, [this](const QString &path) {
        m_mainFrame->statusBar()->showMessage(tr("已重新載入 %1").arg(QFileInfo(path).fileName()), 5000);
    });
    connect(m_loader, &DocumentLoader::imageReloadFailed, this, [this](const QString &reason) {
        m_mainFrame->statusBar()->showMessage(tr("無法重新載入 %1，仍顯示上一次的影像：%2")
                                                  .arg(QFileInfo(m_document->GetImagePath()).fileName(), reason));
    });
    connect(m_loader, &DocumentLoader::documentOpened, this, &CSkimblerApp::OnDocumentOpened);
    connect(m_loader, &DocumentLoader::openFailed, this, &CSkimblerApp::OnOpenFailed);
    connect(m_loader, &DocumentLoader::imageReplaced, this, &CSkimblerApp::AfterDocumentChanged);
    // The open's result (documentOpened or openFailed) follows loadEnded and
    // still needs to know what was being opened; only a load that ended with
    // no result (cancelled) leaves these to be cleared here, once it is over.
    connect(m_loader, &DocumentLoader::loadEnded, this, [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_loader->IsLoading()) {
                    m_openingRecent.clear();
                    m_openingAtStart = false;
                }
            },
            Qt::QueuedConnection);
    });
    // Edits made while a picture decodes are not thrown away unasked.
    m_loader->SetOpenGate([this] { return SaveModified(); });
    m_loadProgress = new LoadProgress(m_loader, m_mainFrame);
    UpdateRecentFiles();
    m_recovery = std::make_unique<RecoveryManager>(m_document, RecoveryManager::IntervalFromSettings() * 1000);
    connect(m_recovery.get(), &RecoveryManager::autosaveFailed, this, [this](const QString &reason) {
        m_mainFrame->statusBar()->showMessage(tr("無法自動備份：%1").arg(reason));
    });

    // A file named on the command line is decoded while the window comes
    // up; a file refused at once still ends the start before any window.
    m_initialising = true;
    if (fileToOpen.isEmpty()) {
        if (!m_document->OnNewDocument())
            return false;
    } else {
        // Until its picture arrives (or if the user stops it): an empty
        // surface with the default settings, as the desktop's New shows.
        m_document->SetNewDocumentsEmpty(true);
        m_document->OnNewDocument();
        m_document->SetNewDocumentsEmpty(newDocumentsEmpty);
        m_openingAtStart = true;
        if (!OpenDocumentFile(fileToOpen))
            return false;
    }
    UpdateTitle();

    m_mainFrame->showMaximized();
    // The window manager maximises and maps the window in its own time; the
    // tool windows are placed against the view, so let that happen first.
    ProcessEventsUntil([this] { return m_mainFrame->windowHandle() && m_mainFrame->windowHandle()->isExposed(); },
                       2000);
    QCoreApplication::processEvents();
    m_mainFrame->repaint();

    if (m_mainFrame->OpenToolWindows()) {
        m_initialising = false;
        if (m_startFailed)
            return false;
        if (m_recovery->OfferOrphans())
            AfterDocumentChanged();
        return true;
    }
    MessageBox::show(tr("Failed to ShowToolWindows."), tr("Error"));
    return false;
}

bool CSkimblerApp::OnCommand(int commandId)
{
    using namespace Resource;
    if (commandId >= ID_FILE_MRU_FILE1 && commandId < ID_FILE_MRU_FILE1 + m_recentFiles.MaxEntries()) {
        OnOpenRecentFile(commandId - ID_FILE_MRU_FILE1);
        return true;
    }
    switch (commandId) {
    case ID_APP_ABOUT: ShowAboutBox(); return true;
    case ID_HELP_GUIDE: UserGuide::Show(m_mainFrame); return true;
    case ID_FILE_NEW: OnFileNew(); return true;
    case ID_FILE_OPEN: OnFileOpen(); return true;
    case ID_FILE_REPLACE_IMAGE: OnFileReplaceImage(); return true;
    case ID_FILE_SAVE: OnFileSave(); return true;
    case ID_FILE_SAVE_AS: OnFileSaveAs(); return true;
    case ID_FILE_PRINT_SETUP: OnFilePrintSetup(); return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT: OnFilePrint(); return true;
    case ID_FILE_PRINT_PREVIEW: OnFilePrintPreview(); return true;
    case ID_APP_EXIT:
        if (m_mainFrame)
            m_mainFrame->close();
        return true;
    default: return false;
    }
}

void CSkimblerApp::OnFileNew()
{
    if (!m_document || !SaveModified())
        return;
    m_document->OnNewDocument();
    AfterDocumentChanged();
}

void CSkimblerApp::OnFileOpen()
{
    if (!m_document || !SaveModified())
        return;
    const QString path = m_dialogs->AskOpenPath(m_mainFrame, DialogFolder());
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CSkimblerApp::OnFileDropped(const QString &path)
{
    if (!m_document || !SaveModified())
        return;
    OpenDocumentFile(path);
}

void CSkimblerApp::OnFileReplaceImage()
{
    if (!m_document)
        return;
    const QString path = m_dialogs->AskImagePath(m_mainFrame, DialogFolder());
    if (!path.isEmpty())
        ReplaceImage(path);
}

bool CSkimblerApp::ReplaceImage(const QString &path)
{
    return m_loader && m_loader->BeginReplace(path);
}

bool CSkimblerApp::OpenDocumentFile(const QString &path)
{
    return m_loader && m_loader->BeginOpen(path);
}

void CSkimblerApp::OnDocumentOpened(const QString &path)
{
    m_recentFiles.Add(path);
    m_recentFiles.Save();
    UpdateRecentFiles();
    AfterDocumentChanged();
}

void CSkimblerApp::OnOpenFailed(const QString &path)
{
    if (path == m_openingRecent)
        ForgetRecentFile(path);
    // As when the file is refused at once: a start on a file that cannot
    // be opened ends, its message having been shown.
    if (m_openingAtStart) {
        if (m_initialising)
            m_startFailed = true;
        else
            QCoreApplication::exit(1);
    }
}

void CSkimblerApp::ForgetRecentFile(const QString &path)
{
    // A file that cannot be opened any more leaves the list.
    m_recentFiles.Remove(path);
    m_recentFiles.Save();
    UpdateRecentFiles();
}

QString CSkimblerApp::DialogFolder() const
{
    // Where the user last was with this surface: its file, else its image.
    if (!m_document)
        return QString();
    if (!m_document->GetPathName().isEmpty())
        return QFileInfo(m_document->GetPathName()).absolutePath();
    if (!m_document->GetImagePath().isEmpty())
        return QFileInfo(m_document->GetImagePath()).absolutePath();
    return QString();
}

bool CSkimblerApp::OnFileSave()
{
    if (!m_document)
        return false;
    if (m_document->GetPathName().isEmpty())
        return OnFileSaveAs();
    if (m_document->ChangedOnDisk()) {
        const QString path = m_document->GetPathName();
        const MessageBox::Result answer = MessageBox::show(
            tr("\"%1\" has been changed by another program since it was opened or last saved here. "
               "Overwrite it with this surface?")
                .arg(QFileInfo(path).fileName()),
            QStringLiteral("Skimbler"), MessageBox::Exclamation, MessageBox::OverwriteSaveAsCancel,
            QDir::toNativeSeparators(path));
        if (answer == MessageBox::ResultSaveAs)
            return OnFileSaveAs();
        if (answer != MessageBox::ResultOverwrite)
            return false;
    }
    return m_document->OnSaveDocument(m_document->GetPathName());
}

bool CSkimblerApp::OnFileSaveAs()
{
    if (!m_document)
        return false;
    QString suggestion = m_document->GetPathName();
    if (suggestion.isEmpty()) {
        const QString base = m_document->GetImagePath().isEmpty()
            ? m_document->GetTitle()
            : QFileInfo(m_document->GetImagePath()).completeBaseName();
        const QString folder = DialogFolder();
        suggestion = (folder.isEmpty() ? QDir::current() : QDir(folder))
                         .filePath(base + QLatin1Char('.') + QString::fromLatin1(SurfaceFile::Extension));
    }
    QString path = m_dialogs->AskSavePath(m_mainFrame, suggestion);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QString::fromLatin1(SurfaceFile::Extension);
    // The surface file would take the place of the picture it shows: the
    // user's image gone, and the surface left without one.
    if (Outputs::SameFile(path, m_document->GetImagePath())) {
        MessageBox::show(tr("%1 is the picture this surface shows. Saving the surface there would replace the "
                            "picture with the surface file. Save it under another name.")
                             .arg(QFileInfo(path).fileName()),
                         QStringLiteral("Skimbler"), MessageBox::Exclamation, MessageBox::Ok,
                         QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
        return false;
    }
    if (!m_document->OnSaveDocument(path))
        return false;
    m_recentFiles.Add(path);
    m_recentFiles.Save();
    UpdateRecentFiles();
    return true;
}

bool CSkimblerApp::SaveModified()
{
    if (!m_document || !m_document->IsModified())
        return true;
    const MessageBox::Result answer = MessageBox::show(
        tr("Save changes to %1?").arg(m_document->GetTitle()), QStringLiteral("Skimbler"),
        MessageBox::Question, MessageBox::SaveDiscardCancel);
    switch (answer) {
    case MessageBox::ResultSave: return OnFileSave();
    case MessageBox::ResultDiscard: return true;
    default: return false;
    }
}

void CSkimblerApp::OnOpenRecentFile(int index)
{
    const QStringList paths = m_recentFiles.Paths();
    if (index < 0 || index >= paths.size() || !SaveModified())
        return;
    const QString path = paths.at(index);
    if (OpenDocumentFile(path))
        m_openingRecent = path;
    else
        ForgetRecentFile(path);
}

QPrinter *CSkimblerApp::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void CSkimblerApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(Printer(), m_mainFrame);
    dialog.exec();
}

void CSkimblerApp::OnFilePrint()
{
    const QImage image = ViewPrinter::Snapshot(GetActiveView());
    QPrintDialog dialog(Printer(), m_mainFrame);
    if (dialog.exec() == QDialog::Accepted)
        ViewPrinter::Print(Printer(), image);
}

void CSkimblerApp::OnFilePrintPreview()
{
    const QImage image = ViewPrinter::Snapshot(GetActiveView());
    QPrintPreviewDialog dialog(Printer(), m_mainFrame);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&image](QPrinter *printer) { ViewPrinter::Print(printer, image); });
    dialog.exec();
}

void CSkimblerApp::ShowAboutBox()
{
    CAboutBox about(m_mainFrame);
    about.exec();
}

bool CSkimblerApp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mainFrame && event->type() == QEvent::Close) {
        if (!SaveModified()) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CSkimblerApp::UpdateTitle()
{
    if (!m_mainFrame || !m_document)
        return;
    m_mainFrame->setWindowTitle(m_document->GetTitle() + QStringLiteral("[*] - ")
                                + QString::fromLatin1(Resource::AppTitle));
    m_mainFrame->setWindowModified(m_document->IsModified());
}

void CSkimblerApp::UpdateRecentFiles()
{
    if (m_mainFrame)
        m_mainFrame->SetRecentFiles(m_recentFiles.Paths());
}

void CSkimblerApp::AfterDocumentChanged()
{
    UpdateTitle();
    // The fields show the surface as it now is.
    if (CSkimblerView *view = GetActiveView())
        view->RefreshCoordinateFields();
}
