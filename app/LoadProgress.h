#pragma once

#include <QWidget>

class DocumentLoader;
class QLabel;
class QMainWindow;
class QProgressBar;
class QTimer;
class QToolButton;

// The status bar's part while a picture is being opened: what is being
// read, how far it got, and a button to stop it. Escape stops it too,
// from any of the program's windows, as long as no dialog is up. Shown only
// when the read takes long enough to be noticed.
class LoadProgress : public QWidget
{
    Q_OBJECT

public:
    LoadProgress(DocumentLoader *loader, QMainWindow *frame);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OnStarted(const QString &path, bool reload);
    void OnEnded();
    void OnProgress(int percent);
    void ShowPercent();

    DocumentLoader *m_loader;
    QLabel *m_label;
    QProgressBar *m_bar;
    QToolButton *m_cancel;
    QTimer *m_showDelay;
    // Paces the bar: each new value is painted and handed to the window
    // system at once, a round trip to it while it may be busy.
    QTimer *m_pace;
    int m_percent = -1;
    bool m_filtering = false;
    bool m_reload = false;
};
