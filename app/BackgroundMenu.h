#pragma once

class CSkimblerView;
class QMenu;
class QWidget;

// View > Background: the checkerboard (the default), dark grey, black or a
// colour of the user's choice behind the picture, handed to the view and
// remembered in the settings. Export Image draws over the same tile.
namespace BackgroundMenu {

// Settings key of the remembered background (ViewBackground::Name).
inline constexpr char SettingsKey[] = "View/Background";

// The menu, with the remembered background applied to `view` and checked.
QMenu *Create(CSkimblerView *view, QWidget *parent);

} // namespace BackgroundMenu
