#include "surface/CSkimblerDoc.h"

#include "surface/DocumentLoader.h"
#include "surface/DocumentView.h"
#include "surface/ImageCommand.h"
#include "surface/PixelImage.h"
#include "surface/SurfaceCommand.h"

#include <skimbler/SurfaceFile.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>

namespace SurfaceFile = skimbler::SurfaceFile;
using skimbler::SurfaceSettings;

namespace {

UserMessage FileError(const char *what, const QString &path, const QString &reason)
{
    return UserMessage{QCoreApplication::translate("CSkimblerDoc", "Could not %1 \"%2\": %3.")
                           .arg(QString::fromLatin1(what), QDir::toNativeSeparators(path), reason),
                       QStringLiteral("Skimbler"), UserMessage::Exclamation, QDir::toNativeSeparators(path)};
}

} // namespace

CSkimblerDoc::CSkimblerDoc(QObject *parent)
    : QObject(parent)
{
    connect(&m_undoStack, &QUndoStack::cleanChanged, this, &CSkimblerDoc::AnnounceModified);
}

CSkimblerDoc::~CSkimblerDoc() = default;

bool CSkimblerDoc::OnNewDocument()
{
    Q_EMIT resetting();
    SetPathName(QString());
    if (m_newDocumentsEmpty) {
        m_imagePath.clear();
        m_surface.Clear();
    } else {
        m_imagePath = QFileInfo(QStringLiteral("a.tga")).absoluteFilePath();
        UserMessages told;
        m_surface.Load(QStringLiteral("a.tga"), m_maxTextureSide, &told);
        for (const UserMessage &message : told)
            Tell(message);
    }
    ResetHistory();
    Q_EMIT imageShown();
    UpdateAllViews(nullptr);
    return true;
}

void CSkimblerDoc::SetImagePreparer(ImagePreparer *preparer)
{
    if (preparer == m_preparer)
        return;
    m_preparer = preparer;
    Q_EMIT imagePreparerChanged();
}

void CSkimblerDoc::TakeOpened(const QString &pathName, const QString &imagePath,
                              std::shared_ptr<const PixelImage> image, const StoredSurface *stored)
{
    Q_EMIT resetting();
    m_surface.SetImage(std::move(image));
    if (!stored) {
        m_surface.ApplyDefaults();
        SetPathName(QString());
    } else {
        // Every stored setting; the image and its size stay.
        static_cast<SurfaceSettings &>(m_surface) = stored->settings;
        // Without its picture the surface keeps the size the file gives,
        // so saving it does not lose that.
        if (!m_surface.Image) {
            m_surface.Width = stored->width;
            m_surface.Height = stored->height;
        }
        SetPathName(pathName);
        m_diskStamp = stored->diskStamp;
    }
    m_imagePath = imagePath;
    ResetHistory();
    Q_EMIT imageShown();
    UpdateAllViews(nullptr);
}

void CSkimblerDoc::PushImage(const QString &imagePath, std::shared_ptr<const PixelImage> image)
{
    ShownImage before{m_imagePath, m_surface.Width, m_surface.Height, m_surface.Image};
    const auto width = std::uint32_t(image ? image->Width() : 0);
    const auto height = std::uint32_t(image ? image->Height() : 0);
    ShownImage after{imagePath, width, height, std::move(image)};
    // The push is the change: its first redo shows the new picture.
    m_undoStack.push(new ImageCommand(this, std::move(before), std::move(after), tr("取代影像")));
}

void CSkimblerDoc::TakeReloadedImage(std::shared_ptr<const PixelImage> image)
{
    m_surface.SetImage(std::move(image));
    UpdateAllViews(nullptr);
}

void CSkimblerDoc::ShowImage(const ShownImage &image)
{
    if (image.pixels) {
        m_surface.SetImage(image.pixels);
    } else {
        // There was no picture: none, but the size and every setting stay.
        const SurfaceSettings kept = m_surface;
        m_surface.Clear();
        static_cast<SurfaceSettings &>(m_surface) = kept;
    }
    m_surface.Width = image.width;
    m_surface.Height = image.height;
    m_imagePath = image.path;
    Q_EMIT imageShown();
    UpdateAllViews(nullptr);
}

bool CSkimblerDoc::OnRecoverDocument(const SurfaceSettings &settings, const QString &imagePath,
                                     const QString &pathName, std::uint32_t width, std::uint32_t height,
                                     const QString &diskStamp)
{
    Q_EMIT resetting();
    UserMessages told;
    m_surface.Load(imagePath, m_maxTextureSide, &told);
    for (const UserMessage &message : told)
        Tell(message);
    static_cast<SurfaceSettings &>(m_surface) = settings;
    if (!m_surface.Image) {
        m_surface.Width = width;
        m_surface.Height = height;
    }
    m_imagePath = imagePath;
    SetPathName(pathName);
    m_diskStamp = diskStamp;
    ResetHistory();
    SetModifiedFlag(true);
    Q_EMIT imageShown();
    UpdateAllViews(nullptr);
    return true;
}

bool CSkimblerDoc::OnSaveDocument(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::string error;
    if (!SurfaceFile::Write(QFile::encodeName(absolute).toStdString(), m_surface, m_surface.Width, m_surface.Height,
                            QFile::encodeName(m_imagePath).toStdString(), &error)) {
        Tell(FileError("save", absolute, QString::fromLocal8Bit(error.c_str())));
        return false;
    }
    SetPathName(absolute);
    m_diskStamp = DocumentLoader::FileStamp(absolute);
    SetModifiedFlag(false);
    return true;
}

bool CSkimblerDoc::ChangedOnDisk() const
{
    if (m_pathName.isEmpty())
        return false;
    const QString now = DocumentLoader::FileStamp(m_pathName);
    return !now.isEmpty() && now != m_diskStamp;
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
    static_cast<SurfaceSettings &>(m_surface) = settings;
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
