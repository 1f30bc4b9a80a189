#include "surface/CSkimblerDoc.h"

#include "surface/DocumentView.h"
#include "surface/ImageCommand.h"
#include "surface/ImageLoadJob.h"
#include "surface/ImagePreparer.h"
#include "surface/ImageReader.h"
#include "surface/PixelImage.h"
#include "surface/SurfaceCommand.h"

#include <skimbler/SurfaceFile.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace SurfaceFile = skimbler::SurfaceFile;
using skimbler::SurfaceSettings;

namespace {

// Editors write a file in several steps; one reload after the last of them.
constexpr int kReloadDelayMs = 150;

UserMessage FileError(const char *what, const QString &path, const QString &reason)
{
    return UserMessage{QCoreApplication::translate("CSkimblerDoc", "Could not %1 \"%2\": %3.")
                           .arg(QString::fromLatin1(what), QDir::toNativeSeparators(path), reason),
                       QStringLiteral("Skimbler"), UserMessage::Exclamation, QDir::toNativeSeparators(path)};
}

// A surface file by its suffix; under a suffix no image reader knows, one
// that starts as a JSON object does. Nothing else is peeked into: reading a
// pipe or a device could block, and the readers refuse those themselves.
bool IsSurfaceFile(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QString::fromLatin1(SurfaceFile::Extension), Qt::CaseInsensitive) == 0)
        return true;
    if (ImageReader::IsImageFile(path))
        return false;
    if (!QFileInfo(path).isFile())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;  // the surface reader says why it cannot be read
    return file.read(256).trimmed().startsWith('{');
}

// Changes whenever the file is written, replaced, made or removed.
QString FileStamp(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    return QStringLiteral("%1 %2 %3")
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(info.metadataChangeTime().toMSecsSinceEpoch());
}

// Why `absolute` cannot be opened before anything reads it, in words that
// say what really happened; empty when there is a file of some kind there.
QString MissingReason(const QString &absolute)
{
    const QByteArray native = QFile::encodeName(absolute);
    struct stat status;
    if (::stat(native.constData(), &status) == 0)
        return QString();
    const int code = errno;
    const QString system = QString::fromLocal8Bit(std::strerror(code));
    if (code == EACCES)
        return QCoreApplication::translate("CSkimblerDoc", "a folder on its way cannot be searched (%1)").arg(system);
    if (code != ENOENT)
        return system;  // a loop of symbolic links, a name too long, ...
    // A name the system's encoding could not give has become another one.
    if (absolute.contains(QChar::ReplacementCharacter) || QFile::decodeName(native) != absolute)
        return QCoreApplication::translate("CSkimblerDoc", "its name is not valid UTF-8, so the file cannot be found");
    if (::lstat(native.constData(), &status) == 0 && S_ISLNK(status.st_mode))
        return QCoreApplication::translate("CSkimblerDoc", "it is a symbolic link to a file that does not exist");
    return QCoreApplication::translate("CSkimblerDoc", "the file does not exist");
}

} // namespace

CSkimblerDoc::CSkimblerDoc(QObject *parent)
    : QObject(parent)
    , m_watcher(new QFileSystemWatcher(this))
    , m_loadJob(new ImageLoadJob(this))
{
    connect(m_loadJob, &ImageLoadJob::loaded, this,
            [this](const QString &, const std::shared_ptr<PixelImage> &image) { OnLoadArrived(image, ImageError()); });
    connect(m_loadJob, &ImageLoadJob::failed, this,
            [this](const QString &, const ImageError &error) { OnLoadArrived(nullptr, error); });
    connect(m_loadJob, &ImageLoadJob::progress, this, &CSkimblerDoc::loadProgress);
    connect(&m_undoStack, &QUndoStack::indexChanged, this, [this] { ++m_historyMoves; });
    connect(&m_undoStack, &QUndoStack::cleanChanged, this, &CSkimblerDoc::AnnounceModified);
    m_reloadTimer.setSingleShot(true);
    m_reloadTimer.setInterval(kReloadDelayMs);
    connect(&m_reloadTimer, &QTimer::timeout, this, &CSkimblerDoc::ReloadImage);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this] {
        OnWatchedPathChanged();
        m_reloadTimer.start();
    });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        OnWatchedPathChanged();
        // Other files of the folder come and go too.
        if (FileStamp(m_imagePath) != m_imageStamp)
            m_reloadTimer.start();
    });
}

CSkimblerDoc::~CSkimblerDoc() = default;

bool CSkimblerDoc::OnNewDocument()
{
    CancelLoad();
    SetPathName(QString());
    if (m_newDocumentsEmpty) {
        m_imagePath.clear();
        surface.Clear();
    } else {
        m_imagePath = QFileInfo(QStringLiteral("a.tga")).absoluteFilePath();
        UserMessages told;
        surface.Load(QStringLiteral("a.tga"), m_maxTextureSide, &told);
        for (const UserMessage &message : told)
            Q_EMIT tellUser(message);
    }
    ResetHistory();
    WatchImage();
    UpdateAllViews(nullptr);
    return true;
}

bool CSkimblerDoc::OnOpenDocument(const QString &path)
{
    PendingLoad load;
    return PrepareOpen(path, &load) && LoadNow(load);
}

bool CSkimblerDoc::LoadNow(const PendingLoad &load)
{
    auto image = std::make_shared<PixelImage>();
    ImageError error;
    if (!ImageReader::Read(load.imagePath, TextureSizeCheck(), image.get(), &error))
        image.reset();
    return FinishLoad(load, std::move(image), error);
}

bool CSkimblerDoc::BeginOpenDocument(const QString &path)
{
    PendingLoad load;
    if (!PrepareOpen(path, &load))
        return false;
    StartLoad(std::move(load));
    return true;
}

bool CSkimblerDoc::ReplaceImage(const QString &path)
{
    PendingLoad load;
    return PrepareReplace(path, &load) && LoadNow(load);
}

bool CSkimblerDoc::BeginReplaceImage(const QString &path)
{
    PendingLoad load;
    if (!PrepareReplace(path, &load))
        return false;
    StartLoad(std::move(load));
    return true;
}

bool CSkimblerDoc::PrepareOpen(const QString &path, PendingLoad *load)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Anything other than a regular file is refused by the reader, without
    // blocking on a named pipe or a device.
    const QString missing = MissingReason(absolute);
    if (!missing.isEmpty()) {
        Q_EMIT tellUser(FileError("open", absolute, missing));
        return false;
    }
    load->asked = path;
    load->path = absolute;
    if (!IsSurfaceFile(absolute)) {
        load->kind = PendingLoad::OpenImage;
        load->imagePath = absolute;
        return true;
    }
    // Before the read: a change made while it reads is caught at the save.
    load->diskStamp = FileStamp(absolute);
    SurfaceFile::Contents contents;
    std::string error;
    if (!SurfaceFile::Read(QFile::encodeName(absolute).toStdString(), &contents, &error)) {
        Q_EMIT tellUser(FileError("open", absolute, QString::fromLocal8Bit(error.c_str())));
        return false;
    }
    load->kind = PendingLoad::OpenSurface;
    load->imagePath = QFile::decodeName(QByteArray::fromStdString(contents.imagePath));
    load->settings = contents.Settings;
    load->width = contents.Width;
    load->height = contents.Height;
    return true;
}

bool CSkimblerDoc::PrepareReplace(const QString &path, PendingLoad *load)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString missing = MissingReason(absolute);
    if (!missing.isEmpty()) {
        Q_EMIT tellUser(FileError("open", absolute, missing));
        return false;
    }
    load->kind = PendingLoad::Replace;
    load->asked = path;
    load->path = absolute;
    load->imagePath = absolute;
    return true;
}

bool CSkimblerDoc::FinishLoad(const PendingLoad &load, std::shared_ptr<PixelImage> image, const ImageError &error)
{
    if (load.kind == PendingLoad::Reload) {
        // Said in the status bar, never in a box that would stop the user
        // painting in their image editor; the old picture stays.
        if (!image) {
            Q_EMIT imageReloadFailed(error.text);
            return false;
        }
        surface.SetImage(std::move(image));
        UpdateAllViews(nullptr);
        Q_EMIT imageReloaded(load.imagePath);
        return true;
    }
    // An image that cannot be used is reported before anything changes;
    // a surface file still opens, without its picture.
    if (!image) {
        Q_EMIT tellUser(error.Message());
        if (load.kind != PendingLoad::OpenSurface)
            return false;
    }
    // This one wins over any load still under way.
    CancelLoad();
    if (load.kind == PendingLoad::Replace) {
        ShownImage before{m_imagePath, surface.Width, surface.Height, surface.Image};
        surface.SetImage(image);
        ShownImage after{load.imagePath, surface.Width, surface.Height, std::move(image)};
        m_imagePath = load.imagePath;
        WatchImage();
        UpdateAllViews(nullptr);
        m_undoStack.push(new ImageCommand(this, std::move(before), std::move(after), tr("取代影像")));
        return true;
    }
    surface.SetImage(std::move(image));
    if (load.kind == PendingLoad::OpenImage) {
        surface.ApplyDefaults();
        SetPathName(QString());
    } else {
        // Every stored setting; the image and its size stay.
        static_cast<SurfaceSettings &>(surface) = load.settings;
        // Without its picture the surface keeps the size the file gives,
        // so saving it does not lose that.
        if (!surface.Image) {
            surface.Width = load.width;
            surface.Height = load.height;
        }
        SetPathName(load.path);
        m_diskStamp = load.diskStamp;
    }
    m_imagePath = load.imagePath;
    ResetHistory();
    WatchImage();
    UpdateAllViews(nullptr);
    return true;
}

void CSkimblerDoc::StartLoad(PendingLoad load)
{
    // A newer open supersedes the one under way, which ends unheard.
    CancelLoad();
    ++m_loadNumber;
    load.historyMark = m_historyMoves;
    m_pending = std::move(load);
    m_loadJob->Start(m_pending->imagePath, TextureSizeCheck());
    Q_EMIT loadStarted(m_pending->asked, m_pending->kind == PendingLoad::Reload);
}

void CSkimblerDoc::CancelLoad()
{
    if (!m_pending)
        return;
    ++m_loadNumber;
    m_loadJob->Cancel();
    if (m_preparing) {
        m_preparing.reset();
        if (m_preparer)
            m_preparer->DropPreparedImage();
    }
    m_pending.reset();
    Q_EMIT loadEnded();
}

void CSkimblerDoc::SetImagePreparer(ImagePreparer *preparer)
{
    if (preparer == m_preparer)
        return;
    // What the old one was making will never be ready.
    if (m_preparing)
        CancelLoad();
    m_preparer = preparer;
}

void CSkimblerDoc::OnLoadArrived(std::shared_ptr<PixelImage> image, const ImageError &error)
{
    if (!m_pending)
        return;
    if (image && m_preparer) {
        const quint64 number = m_loadNumber;
        const QPointer<CSkimblerDoc> self(this);
        const auto ready = [self, number] {
            if (!self || self->m_loadNumber != number || !self->m_preparing)
                return;
            self->ApplyArrived(std::move(self->m_preparing), ImageError());
        };
        if (m_preparer->PrepareImage(image, ready)) {
            m_preparing = std::move(image);
            return;
        }
    }
    ApplyArrived(std::move(image), error);
}

void CSkimblerDoc::ApplyArrived(std::shared_ptr<PixelImage> image, const ImageError &error)
{
    if (!m_pending)
        return;
    m_preparing.reset();
    const PendingLoad load = std::move(*m_pending);
    m_pending.reset();
    Q_EMIT loadEnded();
    // Edits made while the picture was decoding would be lost without a word.
    const bool replacesDocument
        = (load.kind == PendingLoad::OpenImage && image) || load.kind == PendingLoad::OpenSurface;
    if (replacesDocument && m_historyMoves != load.historyMark && m_openGate && !m_openGate()) {
        if (m_preparer)
            m_preparer->DropPreparedImage();
        return;
    }
    const bool changed = FinishLoad(load, std::move(image), error);
    if (load.kind == PendingLoad::Reload)
        return;
    if (load.kind == PendingLoad::Replace) {
        if (changed)
            Q_EMIT imageReplaced(load.asked);
    } else if (changed) {
        Q_EMIT documentOpened(load.asked);
    } else {
        Q_EMIT openFailed(load.asked);
    }
}

void CSkimblerDoc::ShowImage(const ShownImage &image)
{
    if (image.pixels) {
        surface.SetImage(image.pixels);
    } else {
        // There was no picture: none, but the size and every setting stay.
        const SurfaceSettings kept = surface;
        surface.Clear();
        static_cast<SurfaceSettings &>(surface) = kept;
    }
    surface.Width = image.width;
    surface.Height = image.height;
    m_imagePath = image.path;
    WatchImage();
    UpdateAllViews(nullptr);
}

bool CSkimblerDoc::OnRecoverDocument(const SurfaceSettings &settings, const QString &imagePath,
                                     const QString &pathName, std::uint32_t width, std::uint32_t height,
                                     const QString &diskStamp)
{
    CancelLoad();
    UserMessages told;
    surface.Load(imagePath, m_maxTextureSide, &told);
    for (const UserMessage &message : told)
        Q_EMIT tellUser(message);
    static_cast<SurfaceSettings &>(surface) = settings;
    if (!surface.Image) {
        surface.Width = width;
        surface.Height = height;
    }
    m_imagePath = imagePath;
    SetPathName(pathName);
    m_diskStamp = diskStamp;
    ResetHistory();
    SetModifiedFlag(true);
    WatchImage();
    UpdateAllViews(nullptr);
    return true;
}

bool CSkimblerDoc::ReloadImage()
{
    m_reloadTimer.stop();
    if (m_imagePath.isEmpty())
        return false;
    // The open under way replaces the picture anyway.
    if (m_pending && m_pending->kind != PendingLoad::Reload)
        return false;
    m_imageStamp = FileStamp(m_imagePath);
    PendingLoad load;
    load.kind = PendingLoad::Reload;
    load.asked = load.path = load.imagePath = m_imagePath;
    StartLoad(std::move(load));
    return true;
}

ImageReader::SizeCheck CSkimblerDoc::TextureSizeCheck() const
{
    // A copy of the limit: the check may run on a worker.
    const int maxSide = m_maxTextureSide;
    return [maxSide](int width, int height, int) { return ImageReader::SideRefusal(width, height, maxSide); };
}

void CSkimblerDoc::WatchImage()
{
    // A reload of the image there was must not land on this one.
    m_reloadTimer.stop();
    if (m_pending && m_pending->kind == PendingLoad::Reload)
        CancelLoad();
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    m_imageStamp = FileStamp(m_imagePath);
    if (m_imagePath.isEmpty())
        return;
    const QString folder = QFileInfo(m_imagePath).absolutePath();
    if (QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    if (QFileInfo::exists(m_imagePath))
        m_watcher->addPath(m_imagePath);
}

void CSkimblerDoc::OnWatchedPathChanged()
{
    // A file replaced by renaming another over it, or removed and written
    // anew, has lost its watch: the new file needs one of its own.
    if (!m_watcher->files().contains(m_imagePath) && QFileInfo::exists(m_imagePath))
        m_watcher->addPath(m_imagePath);
}

bool CSkimblerDoc::OnSaveDocument(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::string error;
    if (!SurfaceFile::Write(QFile::encodeName(absolute).toStdString(), surface, surface.Width, surface.Height,
                            QFile::encodeName(m_imagePath).toStdString(), &error)) {
        Q_EMIT tellUser(FileError("save", absolute, QString::fromLocal8Bit(error.c_str())));
        return false;
    }
    SetPathName(absolute);
    m_diskStamp = FileStamp(absolute);
    SetModifiedFlag(false);
    return true;
}

bool CSkimblerDoc::ChangedOnDisk() const
{
    if (m_pathName.isEmpty())
        return false;
    const QString now = FileStamp(m_pathName);
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
    static_cast<SurfaceSettings &>(surface) = settings;
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
