#pragma once

#include <QKeyEvent>

// Keys an open in-place editor keeps to itself: the panel's dialog would
// close on Enter or Escape, and the main window's shortcuts (Delete, the
// Control combinations) must not act while a cell is being edited.
inline bool IsInPlaceEditorKey(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return true;
    default:
        return event->modifiers().testFlag(Qt::ControlModifier);
    }
}
