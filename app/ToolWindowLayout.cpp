#include "app/ToolWindowLayout.h"

#include <QSettings>

#include <algorithm>

namespace {
const QString kGroup = QStringLiteral("Tool Windows");
// How much of the caption has to stay on a screen to be grabbed.
constexpr int kGrip = 16;
// Steps of the search for a free place when no preferred one is free.
constexpr int kScanStep = 8;
} // namespace

namespace ToolWindowLayout {

QRect Place(QSize size, const QList<QPoint> &candidates, const QRect &screen, const QList<QRect> &taken)
{
    size = size.boundedTo(screen.size());
    const auto fits = [&](const QRect &frame) {
        return screen.contains(frame) && std::none_of(taken.begin(), taken.end(), [&](const QRect &other) {
                   return other.intersects(frame);
               });
    };
    for (const QPoint &candidate : candidates) {
        if (fits(QRect(candidate, size)))
            return QRect(candidate, size);
    }
    // Any free place, row by row from the top left.
    for (int y = screen.top(); y + size.height() <= screen.bottom() + 1; y += kScanStep) {
        for (int x = screen.left(); x + size.width() <= screen.right() + 1; x += kScanStep) {
            if (fits(QRect(QPoint(x, y), size)))
                return QRect(QPoint(x, y), size);
        }
    }
    QRect frame(candidates.isEmpty() ? screen.topLeft() : candidates.first(), size);
    frame.moveLeft(std::clamp(frame.left(), screen.left(), screen.right() + 1 - size.width()));
    frame.moveTop(std::clamp(frame.top(), screen.top(), screen.bottom() + 1 - size.height()));
    return frame;
}

bool IsReachable(const QRect &frame, const QList<QRect> &screens)
{
    if (frame.isEmpty())
        return false;
    const int grip = std::min(kGrip, frame.width());
    const QRect left(frame.topLeft(), QSize(grip, std::min(kGrip, frame.height())));
    const QRect right(QPoint(frame.right() + 1 - grip, frame.top()), left.size());
    return std::any_of(screens.begin(), screens.end(), [&](const QRect &screen) {
        return screen.contains(left) || screen.contains(right);
    });
}

Saved Load(const QString &name)
{
    QSettings settings;
    settings.beginGroup(kGroup);
    settings.beginGroup(name);
    Saved saved;
    saved.known = settings.contains(QStringLiteral("visible"));
    saved.visible = settings.value(QStringLiteral("visible"), true).toBool();
    const QVariant position = settings.value(QStringLiteral("position"));
    const QVariant size = settings.value(QStringLiteral("size"));
    saved.hasPlace = position.canConvert<QPoint>() && size.canConvert<QSize>() && size.toSize().isValid();
    saved.position = position.toPoint();
    saved.size = size.toSize();
    return saved;
}

void Save(const QString &name, bool visible, const QPoint &position, const QSize &size)
{
    QSettings settings;
    settings.beginGroup(kGroup);
    settings.beginGroup(name);
    settings.setValue(QStringLiteral("visible"), visible);
    settings.setValue(QStringLiteral("position"), position);
    settings.setValue(QStringLiteral("size"), size);
}

} // namespace ToolWindowLayout
