#include "app/ViewPrinter.h"

#include "view/CSkimblerView.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>
#include <QPrinter>

QImage ViewPrinter::Snapshot(CSkimblerView *view)
{
    if (!view || !view->MakeCurrent())
        return QImage();
    const int width = view->ClientWidth();
    const int height = view->ClientHeight();
    if (width <= 0 || height <= 0)
        return QImage();
    QOpenGLFramebufferObject fbo(width, height, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!fbo.isValid() || !fbo.bind())
        return QImage();
    view->DrawScene();
    QImage image = fbo.toImage();
    fbo.release();
    view->requestUpdate();
    return image.convertToFormat(QImage::Format_RGB32);
}

QRect ViewPrinter::FitRect(const QSize &image, const QRect &page)
{
    if (image.isEmpty() || page.isEmpty())
        return QRect();
    const QSize fitted = image.scaled(page.size(), Qt::KeepAspectRatio);
    return QRect(page.x() + (page.width() - fitted.width()) / 2, page.y() + (page.height() - fitted.height()) / 2,
                 fitted.width(), fitted.height());
}

void ViewPrinter::Print(QPrinter *printer, const QImage &image)
{
    QPainter painter(printer);
    if (!painter.isActive() || image.isNull())
        return;
    const QRect page = painter.viewport();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(FitRect(image.size(), page), image);
}
