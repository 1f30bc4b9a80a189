#pragma once

class CSkimblerDoc;

// The main window as the document's users see it: the thing that knows the
// active document. The real one is CMainFrame; tests may put in their own.
class DocumentFrame
{
public:
    virtual ~DocumentFrame();
    virtual CSkimblerDoc *GetActiveDocument() const = 0;
};
