#include "app/ScreenShapeMenu.h"

#include "view/CSkimblerView.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QInputDialog>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>

namespace ScreenShapeMenu {

namespace {

constexpr int MaxSide = 100000;

QString CustomText(const QSize &shape)
{
    return QCoreApplication::translate("ScreenShapeMenu", "自訂 %1 x %2(&C)...").arg(shape.width()).arg(shape.height());
}

void Remember(const QSize &shape)
{
    QSettings().setValue(QString::fromLatin1(SettingsKey), shape);
}

} // namespace

bool Parse(const QString &text, QSize *shape)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,6})\\s*(?:x|X|\\x{00D7}|:|\\*)\\s*(\\d{1,6})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width < 1 || height < 1 || width > MaxSide || height > MaxSide)
        return false;
    *shape = QSize(width, height);
    return true;
}

QMenu *Create(CSkimblerView *view, QWidget *parent)
{
    auto *menu = new QMenu(QCoreApplication::translate("ScreenShapeMenu", "目標螢幕(&R)"), parent);
    menu->setObjectName(QStringLiteral("screenShapeMenu"));
    auto *group = new QActionGroup(menu);
    group->setExclusive(true);
    struct Preset
    {
        QString label;
        QSize shape;
    };
    const Preset presets[] = {
        {QCoreApplication::translate("ScreenShapeMenu", "視窗本身(&W)"), QSize()},
        {QStringLiteral("4:3"), QSize(4, 3)},
        {QStringLiteral("16:9"), QSize(16, 9)},
        {QStringLiteral("16:10"), QSize(16, 10)},
    };
    const QSize remembered = QSettings().value(QString::fromLatin1(SettingsKey)).toSize();
    const QSize current = remembered.isValid() && remembered.width() <= MaxSide && remembered.height() <= MaxSide
        ? remembered
        : QSize();
    bool matched = false;
    for (const Preset &preset : presets) {
        QAction *action = menu->addAction(preset.label);
        action->setCheckable(true);
        group->addAction(action);
        const bool isCurrent = preset.shape == current || (!preset.shape.isValid() && !current.isValid());
        action->setChecked(isCurrent);
        matched = matched || isCurrent;
        const QSize shape = preset.shape;
        QObject::connect(action, &QAction::triggered, menu, [view, shape] {
            view->SetScreenShape(shape.width(), shape.height());
            Remember(shape);
        });
    }
    QAction *custom = menu->addAction(QCoreApplication::translate("ScreenShapeMenu", "自訂(&C)..."));
    custom->setCheckable(true);
    group->addAction(custom);
    if (!matched) {
        custom->setChecked(true);
        custom->setText(CustomText(current));
    }
    QObject::connect(custom, &QAction::triggered, menu, [view, custom, group, parent] {
        const QSize before = view->ScreenShape();
        bool ok = false;
        const QString typed = QInputDialog::getText(
            parent, QCoreApplication::translate("ScreenShapeMenu", "目標螢幕"),
            QCoreApplication::translate("ScreenShapeMenu", "寬度 x 高度 (例如 1920 x 1080):"), QLineEdit::Normal,
            before.width() > 0 ? QStringLiteral("%1 x %2").arg(before.width()).arg(before.height()) : QString(), &ok);
        QSize shape;
        if (ok && Parse(typed, &shape)) {
            view->SetScreenShape(shape.width(), shape.height());
            Remember(shape);
            custom->setText(CustomText(shape));
            return;
        }
        // Cancelled or not a size: the shape in force stays checked.
        const QSize now = view->ScreenShape();
        const QList<QAction *> actions = group->actions();
        const QSize shapes[] = {QSize(0, 0), QSize(4, 3), QSize(16, 9), QSize(16, 10)};
        bool found = false;
        for (int i = 0; i < 4; ++i) {
            if (shapes[i] == now) {
                actions[i]->setChecked(true);
                found = true;
            }
        }
        custom->setChecked(!found);
    });
    if (current.isValid())
        view->SetScreenShape(current.width(), current.height());
    return menu;
}

} // namespace ScreenShapeMenu
