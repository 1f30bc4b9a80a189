#include "surface/DocumentLoader.h"

#include "surface/CSkimblerDoc.h"
#include "surface/ImageLoadJob.h"
#include "surface/ImagePreparer.h"
#include "surface/ImageReader.h"
#include "surface/PixelImage.h"

#include <skimbler/SurfaceFile.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace SurfaceFile = skimbler::SurfaceFile;

namespace {

// Editors write a file in several steps; one reload after the last of them.
constexpr int kReloadDelayMs = 150;

// The document's words: the texts are translated under its name.
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

// Why `absolute` cannot be opened before anything reads it, in words that
// say what really happened; empty when there is a file of some kind there.
QString MissingReason(const QString &absolute)
{
    // A dropped "%00" or an edited list of recent files: the system would
    // read the name only up to the NUL, which is another file.
    if (absolute.contains(QChar(u'\0')))
        return QCoreApplication::translate("CSkimblerDoc", "its name holds a NUL character");
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

QString DocumentLoader::FileStamp(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    return QStringLiteral("%1 %2 %3")
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(info.metadataChangeTime().toMSecsSinceEpoch());
}

DocumentLoader::DocumentLoader(CSkimblerDoc *document, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_watcher(new QFileSystemWatcher(this))
    , m_loadJob(new ImageLoadJob(this))
{
    connect(m_loadJob, &ImageLoadJob::loaded, this,
            [this](const QString &, const std::shared_ptr<PixelImage> &image) { OnLoadArrived(image, ImageError()); });
    connect(m_loadJob, &ImageLoadJob::failed, this,
            [this](const QString &, const ImageError &error) { OnLoadArrived(nullptr, error); });
    connect(m_loadJob, &ImageLoadJob::progress, this, &DocumentLoader::loadProgress);
    connect(m_document->UndoStack(), &QUndoStack::indexChanged, this, [this] { ++m_historyMoves; });
    connect(m_document, &CSkimblerDoc::resetting, this, &DocumentLoader::Cancel);
    connect(m_document, &CSkimblerDoc::imageShown, this, &DocumentLoader::WatchImage);
    connect(m_document, &CSkimblerDoc::imagePreparerChanged, this, &DocumentLoader::OnPreparerChanged);
    m_reloadTimer.setSingleShot(true);
    m_reloadTimer.setInterval(kReloadDelayMs);
    connect(&m_reloadTimer, &QTimer::timeout, this, &DocumentLoader::Reload);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this] {
        OnWatchedPathChanged();
        m_reloadTimer.start();
    });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        OnWatchedPathChanged();
        // Other files of the folder come and go too.
        if (FileStamp(m_document->GetImagePath()) != m_imageStamp)
            m_reloadTimer.start();
    });
    // The image the document shows already is followed too.
    WatchImage();
}

DocumentLoader::~DocumentLoader() = default;

bool DocumentLoader::Open(const QString &path)
{
    PendingLoad load;
    return PrepareOpen(path, &load) && LoadNow(load);
}

bool DocumentLoader::BeginOpen(const QString &path)
{
    PendingLoad load;
    if (!PrepareOpen(path, &load))
        return false;
    StartLoad(std::move(load));
    return true;
}

bool DocumentLoader::Replace(const QString &path)
{
    PendingLoad load;
    return PrepareReplace(path, &load) && LoadNow(load);
}

bool DocumentLoader::BeginReplace(const QString &path)
{
    PendingLoad load;
    if (!PrepareReplace(path, &load))
        return false;
    StartLoad(std::move(load));
    return true;
}

bool DocumentLoader::LoadNow(const PendingLoad &load)
{
    auto image = std::make_shared<PixelImage>();
    ImageError error;
    if (!ImageReader::Read(load.imagePath, TextureSizeCheck(), image.get(), &error))
        image.reset();
    return FinishLoad(load, std::move(image), error);
}

bool DocumentLoader::PrepareOpen(const QString &path, PendingLoad *load)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Anything other than a regular file is refused by the reader, without
    // blocking on a named pipe or a device.
    const QString missing = MissingReason(absolute);
    if (!missing.isEmpty()) {
        m_document->Tell(FileError("open", absolute, missing));
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
        m_document->Tell(FileError("open", absolute, QString::fromLocal8Bit(error.c_str())));
        return false;
    }
    load->kind = PendingLoad::OpenSurface;
    load->imagePath = QFile::decodeName(QByteArray::fromStdString(contents.imagePath));
    load->settings = contents.Settings;
    load->width = contents.Width;
    load->height = contents.Height;
    return true;
}

bool DocumentLoader::PrepareReplace(const QString &path, PendingLoad *load)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString missing = MissingReason(absolute);
    if (!missing.isEmpty()) {
        m_document->Tell(FileError("open", absolute, missing));
        return false;
    }
    load->kind = PendingLoad::Replace;
    load->asked = path;
    load->path = absolute;
    load->imagePath = absolute;
    return true;
}

bool DocumentLoader::FinishLoad(const PendingLoad &load, std::shared_ptr<PixelImage> image, const ImageError &error)
{
    if (load.kind == PendingLoad::Reload) {
        // Said in the status bar, never in a box that would stop the user
        // painting in their image editor; the old picture stays.
        if (!image) {
            Q_EMIT imageReloadFailed(error.text);
            return false;
        }
        m_document->TakeReloadedImage(std::move(image));
        Q_EMIT imageReloaded(load.imagePath);
        return true;
    }
    // An image that cannot be used is reported before anything changes;
    // a surface file still opens, without its picture.
    if (!image) {
        m_document->Tell(error.Message());
        if (load.kind != PendingLoad::OpenSurface)
            return false;
    }
    // This one wins over any load still under way.
    Cancel();
    if (load.kind == PendingLoad::Replace) {
        m_document->PushImage(load.imagePath, std::move(image));
    } else if (load.kind == PendingLoad::OpenImage) {
        m_document->TakeOpened(QString(), load.imagePath, std::move(image), nullptr);
    } else {
        const CSkimblerDoc::StoredSurface stored{load.settings, load.width, load.height, load.diskStamp};
        m_document->TakeOpened(load.path, load.imagePath, std::move(image), &stored);
    }
    return true;
}

void DocumentLoader::StartLoad(PendingLoad load)
{
    // A newer open supersedes the one under way, which ends unheard.
    Cancel();
    ++m_loadNumber;
    load.historyMark = m_historyMoves;
    m_pending = std::move(load);
    m_loadJob->Start(m_pending->imagePath, TextureSizeCheck());
    Q_EMIT loadStarted(m_pending->asked, m_pending->kind == PendingLoad::Reload);
}

void DocumentLoader::Cancel()
{
    if (!m_pending)
        return;
    ++m_loadNumber;
    m_loadJob->Cancel();
    if (m_preparing) {
        m_preparing.reset();
        // The one asked, also when the document has another by now.
        if (m_preparingWith)
            m_preparingWith->DropPreparedImage();
    }
    m_preparingWith = nullptr;
    m_pending.reset();
    Q_EMIT loadEnded();
}

void DocumentLoader::OnPreparerChanged()
{
    // What the old one was making will never be ready.
    if (m_preparing && m_document->GetImagePreparer() != m_preparingWith)
        Cancel();
}

void DocumentLoader::OnLoadArrived(std::shared_ptr<PixelImage> image, const ImageError &error)
{
    if (!m_pending)
        return;
    ImagePreparer *preparer = m_document->GetImagePreparer();
    if (image && preparer) {
        const quint64 number = m_loadNumber;
        const QPointer<DocumentLoader> self(this);
        const auto ready = [self, number] {
            if (!self || self->m_loadNumber != number || !self->m_preparing)
                return;
            self->ApplyArrived(std::move(self->m_preparing), ImageError());
        };
        if (preparer->PrepareImage(image, ready)) {
            m_preparing = std::move(image);
            m_preparingWith = preparer;
            return;
        }
    }
    ApplyArrived(std::move(image), error);
}

void DocumentLoader::ApplyArrived(std::shared_ptr<PixelImage> image, const ImageError &error)
{
    if (!m_pending)
        return;
    m_preparing.reset();
    m_preparingWith = nullptr;
    const PendingLoad load = std::move(*m_pending);
    m_pending.reset();
    Q_EMIT loadEnded();
    // Edits made while the picture was decoding would be lost without a word.
    const bool replacesDocument
        = (load.kind == PendingLoad::OpenImage && image) || load.kind == PendingLoad::OpenSurface;
    if (replacesDocument && m_historyMoves != load.historyMark && m_openGate && !m_openGate()) {
        if (ImagePreparer *preparer = m_document->GetImagePreparer())
            preparer->DropPreparedImage();
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

bool DocumentLoader::Reload()
{
    m_reloadTimer.stop();
    const QString imagePath = m_document->GetImagePath();
    if (imagePath.isEmpty())
        return false;
    // The open under way replaces the picture anyway.
    if (m_pending && m_pending->kind != PendingLoad::Reload)
        return false;
    m_imageStamp = FileStamp(imagePath);
    PendingLoad load;
    load.kind = PendingLoad::Reload;
    load.asked = load.path = load.imagePath = imagePath;
    StartLoad(std::move(load));
    return true;
}

ImageReader::SizeCheck DocumentLoader::TextureSizeCheck() const
{
    // A copy of the limit: the check may run on a worker.
    const int maxSide = m_document->MaxTextureSide();
    return [maxSide](int width, int height, int) { return ImageReader::SideRefusal(width, height, maxSide); };
}

void DocumentLoader::WatchImage()
{
    // A reload of the image there was must not land on this one.
    m_reloadTimer.stop();
    if (m_pending && m_pending->kind == PendingLoad::Reload)
        Cancel();
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    const QString imagePath = m_document->GetImagePath();
    m_imageStamp = FileStamp(imagePath);
    if (imagePath.isEmpty())
        return;
    const QString folder = QFileInfo(imagePath).absolutePath();
    if (QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    if (QFileInfo::exists(imagePath))
        m_watcher->addPath(imagePath);
}

void DocumentLoader::OnWatchedPathChanged()
{
    // A file replaced by renaming another over it, or removed and written
    // anew, has lost its watch: the new file needs one of its own.
    const QString imagePath = m_document->GetImagePath();
    if (!m_watcher->files().contains(imagePath) && QFileInfo::exists(imagePath))
        m_watcher->addPath(imagePath);
}
