#pragma once

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentAccess.h"
#include "surface/DocumentFrame.h"
#include "surface/DocumentView.h"

#include <QApplication>
#include <QList>
#include <QTest>
#include <QWidget>

// A main window that only knows its document.
class FakeFrame : public DocumentFrame
{
public:
    CSkimblerDoc *GetActiveDocument() const override { return document; }
    CSkimblerDoc *document = nullptr;
};

// Counts the document's update notifications.
class CountingView : public DocumentView
{
public:
    void OnUpdate(DocumentView *, long, QObject *) override { ++updates; }
    int updates = 0;
};

// A document reachable as the current one, with a counting view attached.
struct DocumentFixture
{
    DocumentFixture()
    {
        frame.document = &document;
        document.AddView(&view);
        DocumentAccess::SetMainWindow(&frame);
    }
    ~DocumentFixture()
    {
        DocumentAccess::SetMainWindow(nullptr);
        document.RemoveView(&view);
    }
    DocumentFixture(const DocumentFixture &) = delete;
    DocumentFixture &operator=(const DocumentFixture &) = delete;

    CSkimblerDoc document;
    CountingView view;
    FakeFrame frame;
};

inline bool ShowAndActivate(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Editors still open (finished ones linger until their deferred deletion).
template <typename Editor>
QList<Editor *> OpenEditors(const QWidget *parent)
{
    QList<Editor *> open;
    for (Editor *editor : parent->findChildren<Editor *>()) {
        if (!editor->IsFinished())
            open.append(editor);
    }
    return open;
}

inline void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
