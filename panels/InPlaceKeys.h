#pragma once

#include <QEvent>
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

// Claims an editor key on the shortcut-override pass, so that it arrives as
// a key press instead of triggering a shortcut. True when claimed.
inline bool ClaimInPlaceEditorKey(QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride
        || !IsInPlaceEditorKey(static_cast<QKeyEvent *>(event)))
        return false;
    event->accept();
    return true;
}

enum class InPlaceFinishKey { None, Accept, Cancel };

// Enter accepts the edit, Escape cancels it.
inline InPlaceFinishKey FinishKeyOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return InPlaceFinishKey::Accept;
    case Qt::Key_Escape:
        return InPlaceFinishKey::Cancel;
    default:
        return InPlaceFinishKey::None;
    }
}
