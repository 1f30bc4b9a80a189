#include "app/CMainFrame.h"

#include "view/CSkimblerView.h"

#include <QWidget>

// Placeholder until the frame lands.
CMainFrame::CMainFrame(CSkimblerDoc *document, QWidget *parent)
    : QMainWindow(parent)
    , m_document(document)
{
}

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate()
{
    m_view = new CSkimblerView;
    setCentralWidget(QWidget::createWindowContainer(m_view, this));
    m_view->create();
    return m_view->OnCreate();
}

bool CMainFrame::IsButtonChecked(int) const { return false; }
void CMainFrame::CheckButton(int, bool) {}
QAction *CMainFrame::CommandAction(int) const { return nullptr; }
