#pragma once

#include <QIcon>

class QPainter;
class QRect;

// The tool-bar images, drawn here as pixel pictures on a 16-pixel grid. Each
// picture cell becomes a whole number of device pixels, so the images stay
// sharp at 1x, 2x and any other whole-number scale.
class ToolBarIcons
{
public:
    // The icon of a command, or a null icon when the command has no image.
    static QIcon Icon(int commandId);
    static bool HasImage(int commandId);

    // Draws a command's picture centred in rect (device pixels of painter).
    // Disabled draws the classic grey, embossed look.
    static void Paint(QPainter &painter, const QRect &rect, int commandId, QIcon::Mode mode);
};
