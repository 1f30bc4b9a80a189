#pragma once

#include "render/PixelProbe.h"
#include "render/TextureReadback.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <cstdint>

class CSkimblerDoc;
class CSkimblerView;
class QLabel;

// The pixel probe on the view: while it is switched on (View menu, view bar)
// or the I key is held with the pointer over the view (unless a text field
// has the focus), a small readout next to the pointer
// says how the window pixel under it got its colour.
class PixelProbeTool : public QObject
{
    Q_OBJECT

public:
    static constexpr int HoldKey = Qt::Key_I;

    PixelProbeTool(CSkimblerView *view, CSkimblerDoc *document, QObject *parent = nullptr);
    ~PixelProbeTool() override;

    void SetEnabled(bool enabled);
    bool IsEnabled() const { return m_enabled; }
    // Shown now: switched on or the key held, and the pointer over the view.
    bool IsActive() const;

    // The probe of a window pixel in device pixels, y from the top.
    PixelProbe::Result ProbeAt(int x, int y);
    // What the readout shows (empty while hidden).
    QString ReadoutText() const;
    QLabel *Readout() const { return m_readout; }

    // The colour the view has there before the surface is drawn.
    PixelProbe::Colour BackgroundAt(int x, int y) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A focused widget that types the hold key as text.
    static bool TakesLetters(QObject *target);
    void Refresh();
    void ScheduleRefresh();
    const TexelPyramid &Texels();

    QPointer<CSkimblerView> m_view;
    QPointer<CSkimblerDoc> m_document;
    QLabel *m_readout = nullptr;
    bool m_enabled = false;
    bool m_keyHeld = false;
    bool m_pointerInside = false;
    bool m_refreshPending = false;
    QPoint m_pointer;  // device pixels
    TexelPyramid m_texels;
    bool m_texelsValid = false;
    std::uint64_t m_texelsRevision = 0;
    std::uint32_t m_texelsWidth = 0;
    std::uint32_t m_texelsHeight = 0;
};
