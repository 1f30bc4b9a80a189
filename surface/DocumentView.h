#pragma once

class QObject;

// Anything that shows the document and wants to hear when it changed.
class DocumentView
{
public:
    virtual ~DocumentView();
    virtual void OnUpdate(DocumentView *sender, long hint, QObject *hintObject) = 0;
};
