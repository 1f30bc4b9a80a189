#include "app/CSkimblerApp.h"

#include "app/CMainFrame.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentAccess.h"
#include "view/CSkimblerView.h"

CSkimblerApp::CSkimblerApp(QObject *parent)
    : QObject(parent)
{
}

CSkimblerApp::~CSkimblerApp()
{
    // The view (and its rendering context) goes before the document.
    DocumentAccess::SetMainWindow(nullptr);
    delete m_mainFrame;
    delete m_document;
}

bool CSkimblerApp::InitInstance(const QStringList &arguments)
{
    Q_UNUSED(arguments);
    m_document = new CSkimblerDoc;
    m_mainFrame = new CMainFrame(m_document);
    DocumentAccess::SetMainWindow(m_mainFrame);
    if (m_mainFrame->OnCreate() != 0)
        return false;
    if (!m_document->OnNewDocument())
        return false;
    m_mainFrame->showMaximized();
    return m_mainFrame->GetActiveView()->ShowToolWindows();
}
