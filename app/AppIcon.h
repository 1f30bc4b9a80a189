#pragma once

#include <QIcon>

// The application's icon, drawn in code: a tilted textured quad over a
// checkerboard with its four corner handles.
class AppIcon
{
public:
    static QIcon Icon();
    static QPixmap Pixmap(int size, qreal devicePixelRatio = 1.0);
};
