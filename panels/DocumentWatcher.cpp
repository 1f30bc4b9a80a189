#include "panels/DocumentWatcher.h"

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentAccess.h"

#include <cstring>

DocumentWatcher::DocumentWatcher(QObject *parent)
    : QObject(parent)
{
}

CSkimblerDoc *DocumentWatcher::Watch()
{
    CSkimblerDoc *document = DocumentAccess::CurrentDocument();
    if (document != m_document.data()) {
        disconnect(m_connection);
        m_document = document;
        if (document)
            m_connection = connect(document, &CSkimblerDoc::viewsUpdated, this, &DocumentWatcher::OnViewsUpdated);
    }
    // The caller reads the document now: this is what it shows.
    if (document)
        m_shown = ShownOf(*document);
    return document;
}

DocumentWatcher::Shown DocumentWatcher::ShownOf(const CSkimblerDoc &document)
{
    Shown shown;
    shown.settings = document.Settings();
    std::memset(shown.settings.Points, 0, sizeof shown.settings.Points);
    shown.width = document.surface.Width;
    shown.height = document.surface.Height;
    return shown;
}

void DocumentWatcher::OnViewsUpdated()
{
    if (m_document && ShownOf(*m_document) == m_shown)
        return;
    if (m_document)
        m_shown = ShownOf(*m_document);
    Q_EMIT documentChanged();
}
