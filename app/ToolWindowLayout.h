#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Where tool windows go: the geometry rules of the default placement, and the
// per-user record of where the user left each one. All rectangles are frame
// rectangles (caption and border included) in screen coordinates.
namespace ToolWindowLayout {

// The first of `candidates` (frame top-left corners) at which a frame of
// `size` lies inside `screen` and overlaps none of `taken`. Failing that, the
// first free place found row by row from the screen's top left; when there is
// none, the first candidate pushed inside the screen. The size shrinks to the
// screen's when it is larger.
QRect Place(QSize size, const QList<QPoint> &candidates, const QRect &screen, const QList<QRect> &taken);

// Whether a frame there could still be grabbed by its caption: a piece of
// its top edge lies on one of `screens`.
bool IsReachable(const QRect &frame, const QList<QRect> &screens);

// What the settings remember of one tool window.
struct Saved
{
    bool known = false;   // anything stored at all
    bool visible = true;
    bool hasPlace = false;
    QPoint position;      // frame top-left
    QSize size;           // client size
};

Saved Load(const QString &name);
void Save(const QString &name, bool visible, const QPoint &position, const QSize &size);

} // namespace ToolWindowLayout
