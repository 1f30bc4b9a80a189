#pragma once

#include <QDialog>

// The modal "About" box.
class CAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutBox(QWidget *parent = nullptr);
};
