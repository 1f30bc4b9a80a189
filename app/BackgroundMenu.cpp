#include "app/BackgroundMenu.h"

#include "render/ViewBackground.h"
#include "view/CSkimblerView.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QCoreApplication>
#include <QMenu>
#include <QSettings>

namespace BackgroundMenu {

namespace {

void Apply(CSkimblerView *view, const ViewBackground &background)
{
    view->SetBackground(background);
    QSettings().setValue(QString::fromLatin1(SettingsKey), background.Name());
}

} // namespace

QMenu *Create(CSkimblerView *view, QWidget *parent)
{
    auto *menu = new QMenu(QCoreApplication::translate("BackgroundMenu", "背景(&K)"), parent);
    menu->setObjectName(QStringLiteral("backgroundMenu"));
    auto *group = new QActionGroup(menu);
    group->setExclusive(true);
    ViewBackground current;
    if (!ViewBackground::Parse(QSettings().value(QString::fromLatin1(SettingsKey)).toString(), &current))
        current = ViewBackground();
    struct Preset
    {
        QString label;
        ViewBackground background;
    };
    const Preset presets[] = {
        {QCoreApplication::translate("BackgroundMenu", "棋盤格(&C)"), ViewBackground()},
        {QCoreApplication::translate("BackgroundMenu", "深灰色(&D)"), ViewBackground::Dark()},
        {QCoreApplication::translate("BackgroundMenu", "黑色(&B)"), ViewBackground::Black()},
    };
    bool matched = false;
    for (const Preset &preset : presets) {
        QAction *action = menu->addAction(preset.label);
        action->setCheckable(true);
        group->addAction(action);
        action->setChecked(preset.background == current);
        matched = matched || preset.background == current;
        const ViewBackground background = preset.background;
        QObject::connect(action, &QAction::triggered, menu, [view, background] { Apply(view, background); });
    }
    QAction *custom = menu->addAction(QCoreApplication::translate("BackgroundMenu", "自選顏色(&O)..."));
    custom->setObjectName(QStringLiteral("backgroundColourAction"));
    custom->setCheckable(true);
    custom->setChecked(!matched);
    group->addAction(custom);
    QObject::connect(custom, &QAction::triggered, menu, [view, group, custom, parent] {
        const ViewBackground before = view->Background();
        const QColor initial = before.Checker ? QColor(51, 51, 51) : QColor(before.Red, before.Green, before.Blue);
        const QColor chosen = QColorDialog::getColor(
            initial, parent, QCoreApplication::translate("BackgroundMenu", "背景顏色"));
        if (chosen.isValid()) {
            Apply(view, ViewBackground::Colour(chosen.red(), chosen.green(), chosen.blue()));
            return;
        }
        // Cancelled: the background in force stays checked.
        const QList<QAction *> actions = group->actions();
        const ViewBackground choices[] = {ViewBackground(), ViewBackground::Dark(), ViewBackground::Black()};
        bool found = false;
        for (int i = 0; i < 3; ++i) {
            if (choices[i] == before) {
                actions[i]->setChecked(true);
                found = true;
            }
        }
        custom->setChecked(!found);
    });
    view->SetBackground(current);
    return menu;
}

} // namespace BackgroundMenu
