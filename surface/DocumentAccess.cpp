#include "surface/DocumentAccess.h"

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentFrame.h"

DocumentFrame::~DocumentFrame() = default;

namespace {
DocumentFrame *g_mainWindow = nullptr;
}

DocumentFrame *DocumentAccess::MainWindow()
{
    return g_mainWindow;
}

void DocumentAccess::SetMainWindow(DocumentFrame *frame)
{
    g_mainWindow = frame;
}

CSkimblerDoc *DocumentAccess::CurrentDocument()
{
    return g_mainWindow ? g_mainWindow->GetActiveDocument() : nullptr;
}

Surface *DocumentAccess::CurrentSurface()
{
    CSkimblerDoc *document = CurrentDocument();
    return document ? &document->surface : nullptr;
}
