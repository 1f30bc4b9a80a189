#include "app/RecoveryManager.h"

#include "surface/CSkimblerDoc.h"
#include "app/MessageBox.h"
#include "surface/Surface.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>
#include <vector>

#include <skimbler/SurfaceFile.h>
#include <skimbler/WholeFile.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace SurfaceFile = skimbler::SurfaceFile;
using skimbler::SurfaceSettings;

namespace {

const QString kFacts = QStringLiteral("skimbler-recovery");
const QString kLockSuffix = QStringLiteral(".lock");
const QString kFactsSuffix = QStringLiteral(".json");

QString SurfaceSuffix()
{
    return QLatin1Char('.') + QString::fromLatin1(SurfaceFile::Extension);
}

// The surface part of a copy is a surface file like any other, written by the
// same serialiser and atomic writer as Save: these two are the only calls.
bool WriteSurface(const QString &path, const CSkimblerDoc &document, QString *error)
{
    std::string reason;
    if (SurfaceFile::Write(QFile::encodeName(path).toStdString(), document.GetSurface(), document.GetSurface().Width,
                           document.GetSurface().Height, QFile::encodeName(document.GetImagePath()).toStdString(),
                           &reason))
        return true;
    *error = QString::fromLocal8Bit(reason.c_str());
    return false;
}

bool ReadSurface(const QString &path, SurfaceSettings *settings, QString *imagePath, std::uint32_t *width,
                 std::uint32_t *height, QString *error)
{
    SurfaceFile::Contents contents;
    std::string reason;
    if (!SurfaceFile::Read(QFile::encodeName(path).toStdString(), &contents, &reason)) {
        *error = QString::fromLocal8Bit(reason.c_str());
        return false;
    }
    *settings = contents.Settings;
    *imagePath = QFile::decodeName(contents.imagePath.c_str());
    *width = contents.Width;
    *height = contents.Height;
    return true;
}

// What the surface file does not hold: the file the surface belongs to, the
// modified mark, when the copy was made and what that file looked like when
// it was opened or saved (so that a save after recovery sees another
// program's change).
struct Facts
{
    QString pathName;
    QString diskStamp;
    bool modified = true;
    QDateTime time;
};

bool WriteFacts(const QString &path, const Facts &facts, QString *error)
{
    QJsonObject root;
    root.insert(QStringLiteral("format"), kFacts);
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("document"), facts.pathName);
    root.insert(QStringLiteral("modified"), facts.modified);
    root.insert(QStringLiteral("time"), facts.time.toUTC().toString(Qt::ISODateWithMs));
    if (!facts.diskStamp.isEmpty())
        root.insert(QStringLiteral("stamp"), facts.diskStamp);
    // Whole or not at all, as the surface copy: a full disk must not leave
    // an empty description beside a good copy.
    const QByteArray bytes = QJsonDocument(root).toJson();
    const std::string reason = skimbler::WriteWhole(QFile::encodeName(path).toStdString(),
                                                    std::string_view(bytes.constData(), std::size_t(bytes.size())));
    *error = QString::fromLocal8Bit(reason.c_str());
    return reason.empty();
}

bool ReadFacts(const QString &path, Facts *facts, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const QJsonObject root = QJsonDocument::fromJson(file.read(64 * 1024)).object();
    const QDateTime time = QDateTime::fromString(root.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    if (root.value(QStringLiteral("format")).toString() != kFacts || !root.value(QStringLiteral("document")).isString()
        || !time.isValid()) {
        *error = QCoreApplication::translate("RecoveryManager", "its description is damaged");
        return false;
    }
    facts->pathName = root.value(QStringLiteral("document")).toString();
    facts->modified = root.value(QStringLiteral("modified")).toBool(true);
    facts->time = time;
    facts->diskStamp = root.value(QStringLiteral("stamp")).toString();
    return true;
}

// Why nothing can be written in `folder`, in the system's words ("No space
// left on device", "Permission denied"): the lock file's failure does not
// say. A byte is written, since a full disk may still take an empty file.
QString WhyNotWritable(const QString &folder)
{
    const QByteArray probe = QFile::encodeName(
        QDir(folder).filePath(QStringLiteral(".probe-") + QUuid::createUuid().toString(QUuid::Id128)));
    const int fd = ::open(probe.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const bool written = ::write(fd, "-", 1) == 1;
    const int code = errno;
    ::close(fd);
    ::unlink(probe.constData());
    return written ? QCoreApplication::translate("RecoveryManager", "its lock file could not be made")
                   : QString::fromLocal8Bit(std::strerror(code));
}

struct Orphan
{
    QString id;
    std::unique_ptr<QLockFile> lock;  // held while it is offered, so no other start offers it too
    Facts facts;
    SurfaceSettings settings;
    QString imagePath;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

} // namespace

int RecoveryManager::IntervalFromSettings()
{
    return QSettings().value(QStringLiteral("Recovery/IntervalSeconds"), DefaultIntervalSeconds).toInt();
}

QString RecoveryManager::Folder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

RecoveryManager::RecoveryManager(CSkimblerDoc *document, int intervalMs, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_id(QUuid::createUuid().toString(QUuid::Id128))
{
    TakeLock();
    // Back at the saved state (a save, New, Open, an undo): nothing to keep.
    connect(m_document, &CSkimblerDoc::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            RemoveCopy();
    });
    connect(&m_timer, &QTimer::timeout, this, &RecoveryManager::Tick);
    if (intervalMs > 0)
        m_timer.start(intervalMs);
}

RecoveryManager::~RecoveryManager()
{
    RemoveCopy();
}

QString RecoveryManager::CopyPath() const
{
    return QDir(Folder()).filePath(m_id + SurfaceSuffix());
}

RecoveryManager::State RecoveryManager::Current() const
{
    return {m_document->Settings(), m_document->GetImagePath(), m_document->GetPathName()};
}

bool RecoveryManager::TakeLock()
{
    if (m_lock)
        return true;
    QDir().mkpath(Folder());
    auto lock = std::make_unique<QLockFile>(QDir(Folder()).filePath(m_id + kLockSuffix));
    // Without a lock of its own the copy could be taken for an orphan.
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

void RecoveryManager::Failed(const QString &reason)
{
    // Once until a copy is written again: the status bar is not a log.
    if (m_failing)
        return;
    m_failing = true;
    Q_EMIT autosaveFailed(reason);
}

void RecoveryManager::Tick()
{
    if (!m_document->IsModified()) {
        RemoveCopy();
        return;
    }
    const State now = Current();
    if (m_hasCopy && now == m_written)
        return;
    QString error;
    if (WriteCopy(now, &error))
        m_failing = false;
    else
        Failed(error);
}

bool RecoveryManager::WriteCopy(const State &state, QString *error)
{
    // A folder that could not be written at the start may be by now.
    if (!TakeLock()) {
        *error = tr("the folder %1 cannot be written (%2)").arg(QDir::toNativeSeparators(Folder()), WhyNotWritable(Folder()));
        return false;
    }
    const Facts facts{state.pathName, m_document->DiskStamp(), m_document->IsModified(),
                      QDateTime::currentDateTimeUtc()};
    const QString factsPath = QDir(Folder()).filePath(m_id + kFactsSuffix);
    // A new copy's description first, so that no surface copy is ever without
    // one; later the copy first, so that a description never gives the time
    // of work its copy does not hold (the copy's write failing on a full disk).
    const bool written = m_hasCopy
        ? WriteSurface(CopyPath(), *m_document, error) && WriteFacts(factsPath, facts, error)
        : WriteFacts(factsPath, facts, error) && WriteSurface(CopyPath(), *m_document, error);
    if (!written)
        return false;
    m_written = state;
    m_hasCopy = true;
    return true;
}

void RecoveryManager::RemoveCopy()
{
    if (!m_lock)
        return;
    QFile::remove(CopyPath());
    QFile::remove(QDir(Folder()).filePath(m_id + kFactsSuffix));
    m_hasCopy = false;
}

bool RecoveryManager::OfferOrphans()
{
    const QDir folder(Folder());
    QSet<QString> ids;
    const QStringList names = folder.entryList({QStringLiteral("*") + kLockSuffix, QStringLiteral("*") + SurfaceSuffix()},
                                               QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (!name.startsWith(QLatin1Char('.')))
            ids.insert(name.left(name.lastIndexOf(QLatin1Char('.'))));
    }
    ids.remove(m_id);

    std::vector<Orphan> orphans;
    for (const QString &id : std::as_const(ids)) {
        Orphan orphan;
        orphan.id = id;
        orphan.lock = std::make_unique<QLockFile>(folder.filePath(id + kLockSuffix));
        if (!orphan.lock->tryLock(0))
            continue;  // its instance is still running
        const QString surfacePath = folder.filePath(id + SurfaceSuffix());
        if (!QFileInfo::exists(surfacePath)) {
            QFile::remove(folder.filePath(id + kFactsSuffix));  // died before its first copy
            continue;
        }
        QString error;
        if (!ReadFacts(folder.filePath(id + kFactsSuffix), &orphan.facts, &error)
            || !ReadSurface(surfacePath, &orphan.settings, &orphan.imagePath, &orphan.width, &orphan.height,
                            &error)) {
            MessageBox::show(tr("An automatic copy of an unsaved surface cannot be read: %1. "
                                "It is left where it is.")
                                 .arg(error),
                             QStringLiteral("Skimbler"), MessageBox::Exclamation, MessageBox::Ok,
                             QDir::toNativeSeparators(surfacePath));
            continue;
        }
        orphans.push_back(std::move(orphan));
    }
    std::sort(orphans.begin(), orphans.end(),
              [](const Orphan &a, const Orphan &b) { return a.facts.time > b.facts.time; });

    bool recovered = false;
    for (Orphan &orphan : orphans) {
        if (recovered)
            break;  // one document at a time: the others wait for the next start
        const QString title = orphan.facts.pathName.isEmpty() ? QStringLiteral("Skimbl")
                                                              : QFileInfo(orphan.facts.pathName).fileName();
        const QString detail = orphan.facts.pathName.isEmpty() ? orphan.imagePath : orphan.facts.pathName;
        const MessageBox::Result answer = MessageBox::show(
            tr("Skimbler ended before \"%1\" was saved. A copy was kept automatically at %2.")
                .arg(title, orphan.facts.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
            QStringLiteral("Skimbler"), MessageBox::Question, MessageBox::RecoverDiscardLater,
            QDir::toNativeSeparators(detail));
        if (answer == MessageBox::ResultRecover) {
            m_document->OnRecoverDocument(orphan.settings, orphan.imagePath, orphan.facts.pathName, orphan.width,
                                          orphan.height, orphan.facts.diskStamp);
            // Ours before the old one goes: at no moment is there no copy.
            QString error;
            if (!WriteCopy(Current(), &error)) {
                Failed(error);
                recovered = true;
                continue;
            }
            recovered = true;
        } else if (answer != MessageBox::ResultDiscard) {
            continue;  // Later
        }
        QFile::remove(folder.filePath(orphan.id + SurfaceSuffix()));
        QFile::remove(folder.filePath(orphan.id + kFactsSuffix));
    }
    return recovered;
}
