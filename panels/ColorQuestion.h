#pragma once

#include <QColor>
#include <QString>

class QWidget;

// How the Colors window asks the user for a colour: the application's
// dialogs answer it (app/Dialogs.h), a test's script in their place.
class ColorQuestion
{
public:
    // Alpha included; an invalid colour means "cancelled".
    virtual QColor AskColor(QWidget *parent, const QColor &initial, const QString &title) = 0;

protected:
    ~ColorQuestion() = default;
};
