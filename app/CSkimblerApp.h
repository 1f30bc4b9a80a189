#pragma once

#include <QObject>
#include <QStringList>

class CMainFrame;
class CSkimblerDoc;

// The application object: start-up in a fixed order, and the commands that
// belong to the application rather than to the view.
class CSkimblerApp : public QObject
{
    Q_OBJECT

public:
    explicit CSkimblerApp(QObject *parent = nullptr);
    ~CSkimblerApp() override;

    // Settings, document, frame and view, the new (or opened) document,
    // main window shown maximised, then the tool windows. False ends the
    // program.
    bool InitInstance(const QStringList &arguments);

    CMainFrame *GetMainWnd() const { return m_mainFrame; }
    CSkimblerDoc *GetDocument() const { return m_document; }

private:
    CSkimblerDoc *m_document = nullptr;
    CMainFrame *m_mainFrame = nullptr;
};
