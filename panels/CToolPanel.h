#pragma once

#include <QDialog>
#include <QMetaObject>
#include <QPointer>
#include <QSize>

#include <skimbler/SurfaceSettings.h>

#include <cstdint>

class CSkimblerDoc;
class QAbstractScrollArea;

// What the Property and Flags panels share: a floating, sizeable tool window
// above its parent that holds one list covering its whole client area, and
// shows the document it was handed.
class CToolPanel : public QDialog
{
    Q_OBJECT

public:
    ~CToolPanel() override;

    // Makes the panel a tool window of `parentWindow` (above it, captioned,
    // close box hides it), builds the list and initialises it. Not shown yet.
    // False if it was created before or initialisation failed.
    bool Create(QWidget *parentWindow);

    // The size from the dialog template, in dialog units of the panel's font.
    QSize sizeHint() const override;

    // The document shown and edited from now on (null: none). The panel
    // reads it again at once and at every change of it.
    void SetDocument(CSkimblerDoc *document);
    CSkimblerDoc *Document() const;

    bool m_initialised = false;

protected:
    CToolPanel(const QString &caption, QSize templateSize);

    virtual bool OnInitDialog() = 0;
    virtual QAbstractScrollArea *List() const = 0;
    // The list's columns to its current viewport width.
    virtual void FitColumns() = 0;
    // Show the current document's surface again.
    virtual void ReadDocument() = 0;

    // Starts following the list's viewport size, so the columns keep up when
    // scroll bars come and go.
    void WatchListViewport();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // What the panels show of a surface: every setting but the points, and
    // the image's size.
    struct Shown
    {
        skimbler::SurfaceSettings settings;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        bool operator==(const Shown &other) const
        {
            return settings == other.settings && width == other.width && height == other.height;
        }
    };
    static Shown ShownOf(const CSkimblerDoc &document);
    // Reads the document and remembers what it showed.
    void ReadShownDocument();
    // A change of the document: read again only what a panel shows changed.
    void OnViewsUpdated();

    QPointer<CSkimblerDoc> m_document;
    Shown m_shown;
    bool m_hasShown = false;
    QMetaObject::Connection m_documentConnection;
    QSize m_templateSize;
    bool m_created = false;
};
