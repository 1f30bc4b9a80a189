#pragma once

#include "surface/DocumentFrame.h"

#include <QMainWindow>

class CNumberEdit;
class CPercentEdit;
class CSkimblerDoc;
class CSkimblerView;
class QAction;
class QLabel;
class QToolBar;

// The main window: the view in the middle, the standard, view and point tool
// bars in one dock row at the top, the status bar at the bottom. Commands and
// field notifications pass through it to the view.
class CMainFrame : public QMainWindow, public DocumentFrame
{
    Q_OBJECT

public:
    explicit CMainFrame(CSkimblerDoc *document, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Creates the view (and with it the rendering context), then the bars,
    // labels and fields. Returns -1 on failure, 0 otherwise.
    int OnCreate();

    CSkimblerDoc *GetActiveDocument() const override { return m_document; }
    CSkimblerView *GetActiveView() const { return m_view; }

    // Tool-bar button state by command id (the view reads 32779 and 32780 and
    // checks a point button when a corner is picked with the mouse).
    bool IsButtonChecked(int commandId) const;
    void CheckButton(int commandId, bool checked = true);
    // The action behind a command id, or null.
    QAction *CommandAction(int commandId) const;

    CPercentEdit *m_zoomEdit = nullptr;
    CNumberEdit *m_xEdit = nullptr;
    CNumberEdit *m_yEdit = nullptr;
    CNumberEdit *m_zEdit = nullptr;
    QToolBar *m_viewBar = nullptr;
    QToolBar *m_pointBar = nullptr;
    QLabel *m_xLabel = nullptr;
    QLabel *m_yLabel = nullptr;
    QLabel *m_zLabel = nullptr;
    QToolBar *m_standardBar = nullptr;

protected:
    CSkimblerDoc *m_document = nullptr;
    CSkimblerView *m_view = nullptr;
};
