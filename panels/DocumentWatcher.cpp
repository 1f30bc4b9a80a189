#include "panels/DocumentWatcher.h"

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentAccess.h"

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
            m_connection = connect(document, &CSkimblerDoc::viewsUpdated, this,
                                   &DocumentWatcher::documentChanged);
    }
    return document;
}
