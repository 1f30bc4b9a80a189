#pragma once

class QWidget;

// The offline user guide, compiled into the program: one window per main
// window, brought to the front when asked for again.
class UserGuide
{
public:
    // Opens the guide over `parent` (or raises it) and returns its window.
    static QWidget *Show(QWidget *parent);
};
