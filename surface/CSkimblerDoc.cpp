#include "surface/CSkimblerDoc.h"

#include "surface/DocumentView.h"

#include <QFileInfo>

CSkimblerDoc::CSkimblerDoc(QObject *parent)
    : QObject(parent)
{
}

CSkimblerDoc::~CSkimblerDoc() = default;

bool CSkimblerDoc::OnNewDocument()
{
    SetPathName(QString());
    SetModifiedFlag(false);
    surface.Load(QStringLiteral("a.tga"));
    UpdateAllViews(nullptr);
    return true;
}

void CSkimblerDoc::SetModifiedFlag(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

void CSkimblerDoc::UpdateAllViews(DocumentView *sender, long hint, QObject *hintObject)
{
    // Copy: a view may remove itself while it is told.
    const QList<DocumentView *> views = m_views;
    for (DocumentView *view : views) {
        if (view != sender)
            view->OnUpdate(sender, hint, hintObject);
    }
    Q_EMIT viewsUpdated();
}

void CSkimblerDoc::AddView(DocumentView *view)
{
    if (view && !m_views.contains(view))
        m_views.append(view);
}

void CSkimblerDoc::RemoveView(DocumentView *view)
{
    m_views.removeAll(view);
}

void CSkimblerDoc::SetPathName(const QString &pathName)
{
    if (m_pathName == pathName)
        return;
    m_pathName = pathName;
    Q_EMIT titleChanged(GetTitle());
}

QString CSkimblerDoc::GetTitle() const
{
    if (m_pathName.isEmpty())
        return QStringLiteral("Skimbl");
    return QFileInfo(m_pathName).fileName();
}
