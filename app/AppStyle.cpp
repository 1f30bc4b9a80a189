#include "app/AppStyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QProxyStyle>

namespace {

// Two chevrons pointing along the bar (right, or down for a vertical bar).
class ExtensionArrowEngine : public QIconEngine
{
public:
    explicit ExtensionArrowEngine(bool down)
        : m_down(down)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const QPalette palette = QApplication::palette();
        const QColor colour = palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active,
                                            QPalette::ButtonText);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QPen pen(colour, qMax(1.0, rect.width() / 8.0));
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter->setPen(pen);
        painter->translate(rect.center() + QPointF(0.5, 0.5));
        if (m_down)
            painter->rotate(90);
        const qreal s = qMin(rect.width(), rect.height()) / 4.0;
        for (const qreal x : {-s, 0.0}) {
            QPainterPath chevron;
            chevron.moveTo(x, -s);
            chevron.lineTo(x + s, 0);
            chevron.lineTo(x, s);
            painter->drawPath(chevron);
        }
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine *clone() const override { return new ExtensionArrowEngine(m_down); }

private:
    bool m_down;
};

class Style : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const override
    {
        if (standardIcon == SP_ToolBarHorizontalExtensionButton)
            return QIcon(new ExtensionArrowEngine(false));
        if (standardIcon == SP_ToolBarVerticalExtensionButton)
            return QIcon(new ExtensionArrowEngine(true));
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
};

} // namespace

namespace AppStyle {

void Install()
{
    QApplication::setStyle(new Style);
}

} // namespace AppStyle
