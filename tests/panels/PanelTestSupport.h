#pragma once

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentView.h"

#include <QApplication>
#include <QList>
#include <QTest>
#include <QWidget>

// Counts the document's update notifications.
class CountingView : public DocumentView
{
public:
    void OnUpdate(DocumentView *, long, QObject *) override { ++updates; }
    int updates = 0;
};

// A document with a counting view attached; `handed` is what a panel made
// by the test is given (null for a panel without a document).
struct DocumentFixture
{
    DocumentFixture() { document.AddView(&view); }
    ~DocumentFixture() { document.RemoveView(&view); }
    DocumentFixture(const DocumentFixture &) = delete;
    DocumentFixture &operator=(const DocumentFixture &) = delete;

    CSkimblerDoc document;
    CountingView view;
    CSkimblerDoc *handed = &document;
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
