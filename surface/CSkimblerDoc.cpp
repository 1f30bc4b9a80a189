#include "surface/CSkimblerDoc.h"

#include "surface/DocumentView.h"
#include "surface/MessageBox.h"
#include "surface/SurfaceCommand.h"
#include "surface/SurfaceFile.h"
#include "surface/TgaImage.h"
#include "surface/TgaLoader.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <climits>
#include <cstdlib>

namespace {
void ReportFileError(const char *what, const QString &path, const QString &reason)
{
    MessageBox::show(QStringLiteral("Could not %1 \"%2\": %3.")
                         .arg(QString::fromLatin1(what), QDir::toNativeSeparators(path), reason),
                     QStringLiteral("Skimbler"), MessageBox::Exclamation);
}

bool IsTgaPath(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("tga"), Qt::CaseInsensitive) == 0;
}
}

CSkimblerDoc::CSkimblerDoc(QObject *parent)
    : QObject(parent)
{
    connect(&m_undoStack, &QUndoStack::cleanChanged, this, &CSkimblerDoc::AnnounceModified);
}

CSkimblerDoc::~CSkimblerDoc() = default;

bool CSkimblerDoc::OnNewDocument()
{
    SetPathName(QString());
    m_imagePath = QFileInfo(QStringLiteral("a.tga")).absoluteFilePath();
    surface.Load(QStringLiteral("a.tga"));
    ResetHistory();
    UpdateAllViews(nullptr);
    return true;
}

bool CSkimblerDoc::OnOpenDocument(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Anything other than a regular file is refused by the reader, without
    // blocking on a named pipe or a device.
    if (!QFileInfo::exists(absolute)) {
        ReportFileError("open", absolute, QStringLiteral("the file does not exist"));
        return false;
    }

    if (IsTgaPath(absolute)) {
        // Decode once first, so a bad image leaves the current surface alone;
        // the loader has said what is wrong.
        TgaImage probe;
        const QByteArray name = QFile::encodeName(absolute);
        if (!LoadTga(&probe, name.constData()))
            return false;
        std::free(probe.Pixels);
        surface.Load(absolute);
        m_imagePath = absolute;
        SetPathName(QString());
        ResetHistory();
        UpdateAllViews(nullptr);
        return true;
    }

    SurfaceFile::Contents contents;
    QString error;
    if (!SurfaceFile::Read(absolute, &contents, &error)) {
        ReportFileError("open", absolute, error);
        return false;
    }
    surface.Load(contents.imagePath);  // reports an image it cannot read
    SurfaceFile::Apply(contents, &surface);
    m_imagePath = contents.imagePath;
    SetPathName(absolute);
    ResetHistory();
    UpdateAllViews(nullptr);
    return true;
}

bool CSkimblerDoc::OnSaveDocument(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QString error;
    if (!SurfaceFile::Write(absolute, surface, m_imagePath, &error)) {
        ReportFileError("save", absolute, error);
        return false;
    }
    SetPathName(absolute);
    SetModifiedFlag(false);
    return true;
}

bool CSkimblerDoc::IsModified() const
{
    return m_forcedModified || !m_undoStack.isClean();
}

void CSkimblerDoc::SetModifiedFlag(bool modified)
{
    m_forcedModified = modified;
    if (!modified)
        m_undoStack.setClean();
    AnnounceModified();
}

void CSkimblerDoc::AnnounceModified()
{
    const bool modified = IsModified();
    if (modified == m_reportedModified)
        return;
    m_reportedModified = modified;
    Q_EMIT modifiedChanged(modified);
}

void CSkimblerDoc::ResetHistory()
{
    // A new or opened surface starts a history of its own.
    m_undoStack.clear();
    SetModifiedFlag(false);
}

bool CSkimblerDoc::ChangeSettings(const SurfaceSettings &after, const QString &text, int mergeKey)
{
    const SurfaceSettings before = Settings();
    if (after == before)
        return false;
    m_undoStack.push(new SurfaceCommand(this, before, after, text, mergeKey));
    return true;
}

int CSkimblerDoc::NewMergeKey()
{
    if (m_lastMergeKey == INT_MAX)
        m_lastMergeKey = 0;
    return ++m_lastMergeKey;
}

void CSkimblerDoc::ApplySettings(const SurfaceSettings &settings)
{
    settings.ApplyTo(&surface);
    UpdateAllViews(nullptr);
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
