#pragma once

#include "app/ExportImage.h"

#include <QObject>

class CMainFrame;
class Dialogs;
class PixelProbeTool;

// The commands that look at the surface rather than edit it by hand: the
// pixel probe, projective texturing, image export, and Copy, Copy as shader
// code and Paste of the render state. The frame offers them every command first.
class SurfaceTools : public QObject
{
    Q_OBJECT

public:
    // Export asks its questions through `dialogs`.
    SurfaceTools(CMainFrame *frame, Dialogs &dialogs);
    ~SurfaceTools() override;

    // Takes the command when it is one of ours.
    bool OnCommand(int commandId);

    PixelProbeTool *Probe() const { return m_probe; }
    // Turns the surface's perspective-correct texture on or off, one undo step.
    void SetProjective(bool on);

    void Copy();
    // The GLSL 330 core shaders, vertex data and state calls that draw the
    // surface, as text: what `skimbler-cli code --api gl33` prints.
    void CopyShaderCode();
    void Paste();
    void Export();

private:
    // Copy and Paste keep their text meaning in a text field: the field gets
    // the key as if typed. True when a field took it.
    bool ForwardToTextField(int commandId);
    // Asks, naming the file, before an export replaces one; true to go on.
    bool MayWrite(const QString &path);
    void ShowProjective();

    CMainFrame *m_frame;
    Dialogs &m_dialogs;
    PixelProbeTool *m_probe = nullptr;
};
