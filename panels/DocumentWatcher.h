#pragma once

#include "surface/SurfaceSettings.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <cstdint>

class CSkimblerDoc;

// Follows the main window's active document and announces every change of
// it that a panel could show (an UpdateAllViews, a new or opened document
// included), so that a panel can show the surface as it is rather than as it
// was. No panel shows the corner points: a drag, which changes nothing else,
// costs the panels nothing at each step.
class DocumentWatcher : public QObject
{
    Q_OBJECT

public:
    explicit DocumentWatcher(QObject *parent = nullptr);

    // Looks the current document up again, listens to it from now on and
    // returns it (null without a main window or document).
    CSkimblerDoc *Watch();

Q_SIGNALS:
    void documentChanged();

private:
    // What the panels show of a surface: every setting but the points, and
    // the image's size.
    struct Shown
    {
        SurfaceSettings settings;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        bool operator==(const Shown &other) const
        {
            return settings == other.settings && width == other.width && height == other.height;
        }
    };
    static Shown ShownOf(const CSkimblerDoc &document);
    void OnViewsUpdated();

    QPointer<CSkimblerDoc> m_document;
    Shown m_shown;
    QMetaObject::Connection m_connection;
};
