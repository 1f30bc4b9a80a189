#pragma once

#include <QSize>
#include <QString>

class CSkimblerView;
class QMenu;
class QWidget;

// View > Target Screen: the shape of the screen the surface is prepared
// for (the window itself, 4:3, 16:9, 16:10, or a typed width x height),
// handed to the view and remembered in the settings.
namespace ScreenShapeMenu {

// Settings key of the remembered shape (a QSize; empty for the window).
inline constexpr char SettingsKey[] = "View/ScreenShape";

// "1920 x 1080", "1920x1080", "16:9" and the like to a shape; false for
// anything else, or a side outside 1 to 100000.
bool Parse(const QString &text, QSize *shape);

// The menu, with the remembered shape applied to `view` and checked.
QMenu *Create(CSkimblerView *view, QWidget *parent);

} // namespace ScreenShapeMenu
