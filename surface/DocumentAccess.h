#pragma once

class CSkimblerDoc;
class DocumentFrame;
class Surface;

// The one way the view and the panels find the surface: the application's
// main window, its active document, that document's surface. Each step may
// be missing (no main window yet, no document); callers then do nothing.
class DocumentAccess
{
public:
    static DocumentFrame *MainWindow();
    static void SetMainWindow(DocumentFrame *frame);

    static CSkimblerDoc *CurrentDocument();
    static Surface *CurrentSurface();
};
