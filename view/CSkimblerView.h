#pragma once

#include "render/TextureImage.h"
#include "surface/DocumentView.h"

#include <QWindow>

#include <cstdint>

class CFlagsPanel;
class CPropertyPanel;
class CSkimblerDoc;
class GraphicalFramework;
class GraphicalInterface;
class Surface;

// The main view: an OpenGL window that paints the surface over a
// checkerboard and turns mouse, wheel, tool-bar commands and field input into
// edits of the surface's geometry.
class CSkimblerView : public QWindow, public DocumentView
{
    Q_OBJECT

public:
    explicit CSkimblerView(QWindow *parent = nullptr);
    ~CSkimblerView() override;

    // Window creation: rendering context (made current), drawing interface,
    // background tile. Runs before the window is shown so the document can
    // upload its texture right after.
    int OnCreate();

    // Document-changed notification: redraw everything.
    void OnUpdate(DocumentView *sender, long hint, QObject *hintObject) override;

    // Tool-bar and menu commands routed from the frame; true when handled.
    bool OnCommand(int commandId);
    // A field's text-change notification (control ids 1236 to 1239).
    void OnFieldChanged(int controlId);

    void RefreshCoordinateFields();
    bool ShowToolWindows();

    // The paint pass (also callable directly by tests and benchmarks).
    void OnPaint();
    void DrawBackground();
    void DrawHandles();

    // The document and surface by the main window's active document.
    CSkimblerDoc *GetDocument() const;
    Surface *GetSurface() const;

    GraphicalFramework *m_framework = nullptr;
    GraphicalInterface *m_interface = nullptr;
    CPropertyPanel *m_propertyPanel = nullptr;
    CFlagsPanel *m_flagsPanel = nullptr;
    int m_backgroundWidth = 0;
    int m_backgroundHeight = 0;
    TextureImage m_background;
    float m_zoom = 1.0f;
    std::uint16_t m_stipplePattern = 0x00FF;
    int m_selectedPoint = -1;
    int m_dragTarget = -1;
    int m_pointerX = 0;
    int m_pointerY = 0;
    int m_anchorX = 0;
    int m_anchorY = 0;
    bool m_surfaceDrag = false;
    bool m_showAxes = true;
    bool m_showHandles = true;

protected:
    bool event(QEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};
