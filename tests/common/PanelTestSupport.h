#pragma once

#include "common/SettingsThroughCommand.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentView.h"

#include <QApplication>
#include <QDir>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QTemporaryDir>
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

    // File New in a folder without the image: defaults and a 0 x 0
    // surface; the complaint about the missing image goes unheard here.
    bool NewInEmptyFolder()
    {
        QTemporaryDir empty;
        const QString previous = QDir::currentPath();
        if (!empty.isValid() || !QDir::setCurrent(empty.path()))
            return false;
        document.OnNewDocument();
        return QDir::setCurrent(previous);
    }

    // The settings a test starts from, made through the document's command;
    // then no history, not modified and no update counted, as before any edit.
    template <typename Edit>
    void Arrange(Edit edit)
    {
        ArrangeThroughCommand(document, edit);
        view.updates = 0;
    }

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

// A document fixture with a shown main window for the panel a test makes.
template <typename Panel>
struct PanelFixture : DocumentFixture
{
    PanelFixture()
    {
        main.resize(600, 500);
        main.show();
    }

    // The panel on the handed document, made in the main window, shown and
    // active; the window owns it.
    bool CreatePanel(Panel *&panel)
    {
        panel = new Panel;
        panel->SetDocument(handed);
        return panel->Create(&main) && ShowAndActivate(panel);
    }

    // The panel's close box hides it; the panel stays, to be shown again.
    bool CloseOnlyHides(Panel *panel)
    {
        const QPointer<Panel> kept = panel;
        panel->close();
        QCoreApplication::processEvents();
        FlushDeletes();
        return kept && kept->isHidden();
    }

    QMainWindow main;
};
