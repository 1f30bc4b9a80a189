#include "app/ToolBarIconEngine.h"

#include "app/ToolBarIcons.h"

#include <QPainter>
#include <QPixmap>

ToolBarIconEngine::ToolBarIconEngine(int commandId)
    : m_commandId(commandId)
{
}

void ToolBarIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State)
{
    ToolBarIcons::Paint(*painter, rect, m_commandId, mode);
}

QPixmap ToolBarIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
}

QPixmap ToolBarIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal)
{
    // size is already in device pixels.
    return pixmap(size, mode, state);
}

QSize ToolBarIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    return size;
}

QIconEngine *ToolBarIconEngine::clone() const
{
    return new ToolBarIconEngine(m_commandId);
}

QString ToolBarIconEngine::key() const
{
    return QStringLiteral("ToolBarIconEngine");
}
