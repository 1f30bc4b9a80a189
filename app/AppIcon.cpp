#include "app/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QPixmap AppIcon::Pixmap(int size, qreal devicePixelRatio)
{
    QPixmap pixmap(qRound(size * devicePixelRatio), qRound(size * devicePixelRatio));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    // Checkerboard tile behind everything.
    const qreal cell = s / 4.0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            p.fillRect(QRectF(x * cell, y * cell, cell, cell),
                       ((x + y) % 2) ? QColor(255, 255, 255) : QColor(192, 192, 192));

    // The quad, tinted red to green like the default corner colours.
    const QPointF c0(s * 0.18, s * 0.20), c1(s * 0.10, s * 0.86), c2(s * 0.86, s * 0.10), c3(s * 0.80, s * 0.80);
    QPainterPath quad;
    quad.moveTo(c0);
    quad.lineTo(c2);
    quad.lineTo(c3);
    quad.lineTo(c1);
    quad.closeSubpath();
    QLinearGradient gradient(c0, c1);
    gradient.setColorAt(0.0, QColor(230, 60, 50, 235));
    gradient.setColorAt(1.0, QColor(60, 190, 80, 235));
    p.fillPath(quad, gradient);

    QPen dashed(QColor(20, 40, 200), qMax<qreal>(1.0, s / 32.0), Qt::DashLine);
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    p.drawPath(quad);

    const qreal h = qMax<qreal>(2.0, s / 10.0);
    p.setPen(QPen(Qt::black, qMax<qreal>(1.0, s / 48.0)));
    for (const QPointF &c : {c0, c1, c2, c3}) {
        p.setBrush(c == c0 ? QBrush(Qt::black) : QBrush(Qt::white));
        p.drawRect(QRectF(c.x() - h / 2, c.y() - h / 2, h, h));
    }
    return pixmap;
}

QIcon AppIcon::Icon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(Pixmap(size));
    return icon;
}
