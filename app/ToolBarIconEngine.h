#pragma once

#include <QIconEngine>

// Draws one tool-bar picture at whatever size Qt asks for, so that icons are
// sharp at any device pixel ratio instead of being scaled from a bitmap.
class ToolBarIconEngine : public QIconEngine
{
public:
    explicit ToolBarIconEngine(int commandId);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override;

private:
    int m_commandId;
};
