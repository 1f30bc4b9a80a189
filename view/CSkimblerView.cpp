#include "view/CSkimblerView.h"

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentAccess.h"

#include <QEvent>

// Placeholder until the view lands.
CSkimblerView::CSkimblerView(QWindow *parent)
    : QWindow(parent)
{
    setSurfaceType(QSurface::OpenGLSurface);
}

CSkimblerView::~CSkimblerView() = default;

int CSkimblerView::OnCreate() { return 0; }
void CSkimblerView::OnUpdate(DocumentView *, long, QObject *) { requestUpdate(); }
bool CSkimblerView::OnCommand(int) { return false; }
void CSkimblerView::OnFieldChanged(int) {}
void CSkimblerView::RefreshCoordinateFields() {}
bool CSkimblerView::ShowToolWindows() { return true; }
void CSkimblerView::OnPaint() {}
void CSkimblerView::DrawBackground() {}
void CSkimblerView::DrawHandles() {}
CSkimblerDoc *CSkimblerView::GetDocument() const { return DocumentAccess::CurrentDocument(); }
Surface *CSkimblerView::GetSurface() const { return DocumentAccess::CurrentSurface(); }
bool CSkimblerView::event(QEvent *event) { return QWindow::event(event); }
void CSkimblerView::exposeEvent(QExposeEvent *) {}
void CSkimblerView::resizeEvent(QResizeEvent *) {}
void CSkimblerView::mousePressEvent(QMouseEvent *) {}
void CSkimblerView::mouseMoveEvent(QMouseEvent *) {}
void CSkimblerView::mouseReleaseEvent(QMouseEvent *) {}
void CSkimblerView::wheelEvent(QWheelEvent *) {}
