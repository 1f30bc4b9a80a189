#pragma once

// The platform's widget style with one change: the tool-bar and menu-bar
// extension arrows are drawn, not read from the style's PNG files. Reading
// that first PNG makes the toolkit load every image-format plug-in and
// their libraries to ask each whether it knows the file, which the start
// would otherwise wait for; they load when an image is first opened.
namespace AppStyle {

// Makes it the application's style; before the first widget.
void Install();

} // namespace AppStyle
