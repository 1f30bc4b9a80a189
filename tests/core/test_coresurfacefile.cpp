// The surface file on its own: the bytes a save gives, what reads back, what
// is refused and why, and saves that fail part way.

#include "common/FailingFileSystem.h"
#include "common/SurfaceFileSamples.h"

#include <skimbler/GltfExport.h>
#include <skimbler/SurfaceFile.h>
#include <skimbler/WholeFile.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace SurfaceFile = skimbler::SurfaceFile;
using skimbler::SurfaceSettings;

namespace {

std::string Native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool Touch(const QString &path, const QByteArray &bytes = QByteArray())
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const SurfaceFileSamples::Sample &OddFloats()
{
    static const SurfaceFileSamples::Sample sample = SurfaceFileSamples::All().at(1);
    return sample;
}

QJsonObject ValidRoot()
{
    std::string data;
    std::string error;
    SurfaceFile::Serialise(skimbler::DefaultSettings(), 0, 0, std::string(), Native(QDir::tempPath()), &data, &error);
    return QJsonDocument::fromJson(QByteArray::fromStdString(data)).object();
}

QByteArray WithField(const QString &field, const QJsonValue &value)
{
    QJsonObject root = ValidRoot();
    QJsonObject fields = root.value(QStringLiteral("surface")).toObject();
    if (value.isUndefined())
        fields.remove(field);
    else
        fields.insert(field, value);
    root.insert(QStringLiteral("surface"), fields);
    return QJsonDocument(root).toJson();
}

QByteArray WithRoot(const QString &key, const QJsonValue &value)
{
    QJsonObject root = ValidRoot();
    root.insert(key, value);
    return QJsonDocument(root).toJson();
}

} // namespace

class TestCoreSurfaceFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedBytesAreTheKeptFiles_data();
    void savedBytesAreTheKeptFiles();
    void roundTripIsBitExact();
    void imagePathFollowsAMovedFolder();
    void absoluteImagePathIsTheFallback();
    void malformedFilesAreRefused_data();
    void malformedFilesAreRefused();
    void unreadableFilesAreRefused_data();
    void unreadableFilesAreRefused();
    void failedWriteKeepsTheOldFile();
    void nonFinitePointsAreNotWritten();
    void failingCallsKeepTheOldFile_data();
    void failingCallsKeepTheOldFile();
    void permissionsAreKept_data();
    void permissionsAreKept();
    void savingThroughALinkReplacesItsTarget();
    void gltfExtrasGiveTheSettingsBack_data();
    void gltfExtrasGiveTheSettingsBack();
};

void TestCoreSurfaceFile::savedBytesAreTheKeptFiles_data()
{
    QTest::addColumn<int>("index");
    const auto samples = SurfaceFileSamples::All();
    for (std::size_t i = 0; i < samples.size(); ++i)
        QTest::newRow(samples[i].name) << int(i);
}

// Byte for byte what earlier saves wrote, and each reads back to the same
// settings (-0 as 0, the only sign a file does not keep).
void TestCoreSurfaceFile::savedBytesAreTheKeptFiles()
{
    QFETCH(int, index);
    const SurfaceFileSamples::Sample sample = SurfaceFileSamples::All().at(std::size_t(index));
    std::string data;
    std::string error;
    QVERIFY2(SurfaceFile::Serialise(sample.settings, sample.width, sample.height, sample.imagePath,
                                    sample.fileDirectory, &data, &error),
             error.c_str());
    const QByteArray kept = Bytes(QStringLiteral(SKIMBLER_SURFACE_FILES_DIR "/%1.skimbler")
                                      .arg(QString::fromLatin1(sample.name)));
    QCOMPARE(QByteArray::fromStdString(data), kept);

    SurfaceFile::Contents contents;
    QVERIFY2(SurfaceFile::Parse(data, sample.fileDirectory, &contents, &error), error.c_str());
    SurfaceSettings expected = sample.settings;
    for (int i = 0; i < 4; ++i) {
        for (float &v : expected.Points[i])
            v += 0.0f;
        for (float &v : expected.Colors[i])
            v += 0.0f;
    }
    QVERIFY(contents.Settings == expected);
    QCOMPARE(contents.Width, sample.width);
    QCOMPARE(contents.Height, sample.height);
}

void TestCoreSurfaceFile::roundTripIsBitExact()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.skimbler"));
    const SurfaceFileSamples::Sample &original = OddFloats();
    std::string error;
    QVERIFY2(SurfaceFile::Write(Native(path), original.settings, original.width, original.height,
                                Native(dir.filePath(QStringLiteral("a.tga"))), &error),
             error.c_str());

    SurfaceFile::Contents contents;
    QVERIFY2(SurfaceFile::Read(Native(path), &contents, &error), error.c_str());
    QCOMPARE(contents.Width, 256u);
    QCOMPARE(contents.Height, 128u);
    QVERIFY(contents.Settings == original.settings);
    QCOMPARE(contents.relativeImagePath, std::string("a.tga"));
}

void TestCoreSurfaceFile::imagePathFollowsAMovedFolder()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("before/images")));
    const QString image = root.filePath(QStringLiteral("before/images/card.tga"));
    QVERIFY(Touch(image));

    std::string error;
    QVERIFY(SurfaceFile::Write(Native(root.filePath(QStringLiteral("before/s.skimbler"))), skimbler::DefaultSettings(),
                               0, 0, Native(image), &error));
    QVERIFY(QDir(root.path()).rename(QStringLiteral("before"), QStringLiteral("after")));

    SurfaceFile::Contents contents;
    QVERIFY2(SurfaceFile::Read(Native(root.filePath(QStringLiteral("after/s.skimbler"))), &contents, &error),
             error.c_str());
    QCOMPARE(contents.relativeImagePath, std::string("images/card.tga"));
    QCOMPARE(contents.imagePath, Native(root.filePath(QStringLiteral("after/images/card.tga"))));
}

void TestCoreSurfaceFile::absoluteImagePathIsTheFallback()
{
    QTemporaryDir images;
    QTemporaryDir documents;
    const QString image = images.filePath(QStringLiteral("card.tga"));
    QVERIFY(Touch(image));
    std::string error;
    const QString path = documents.filePath(QStringLiteral("s.skimbler"));
    QVERIFY(SurfaceFile::Write(Native(path), SurfaceSettings{}, 0, 0, Native(image), &error));
    // Moving the document alone breaks the relative path.
    const QString moved = documents.filePath(QStringLiteral("deeper/s.skimbler"));
    QVERIFY(QDir(documents.path()).mkpath(QStringLiteral("deeper")));
    QVERIFY(QFile::rename(path, moved));
    SurfaceFile::Contents contents;
    QVERIFY(SurfaceFile::Read(Native(moved), &contents, &error));
    QCOMPARE(contents.imagePath, Native(image));
}

void TestCoreSurfaceFile::malformedFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");  // ending in "JSON: ": the parser's own words follow
    const QByteArray valid = QJsonDocument(ValidRoot()).toJson();
    const QString notJson = QStringLiteral("it is not a Skimbler surface (not valid JSON: ");
    const QString version = QStringLiteral("its format version is missing or invalid");
    const auto whole = [](const char *field) {
        return QStringLiteral("the field \"%1\" must be a whole number from 0 to 4294967295")
            .arg(QString::fromLatin1(field));
    };
    const auto outOfRange = [](const char *field) {
        return QStringLiteral("entry 0 of \"%1\" holds a number out of range").arg(QString::fromLatin1(field));
    };
    QTest::newRow("empty") << QByteArray() << QStringLiteral("the file is empty");
    QTest::newRow("only blanks") << QByteArray(" \n\t\r\n") << QStringLiteral("the file is empty");
    QTest::newRow("not JSON") << QByteArray("Skimbler surface\n") << notJson;
    QTest::newRow("a TGA header") << QByteArray("\0\0\x02\0\0\0\0\0\0\0\0\0", 12) << notJson;
    QTest::newRow("truncated") << valid.left(valid.size() / 2) << notJson;
    QTest::newRow("nested too deeply") << QByteArray(5000, '[') + QByteArray(5000, ']')
                                       << notJson + QStringLiteral("too deeply nested)");
    QTest::newRow("JSON array") << QByteArray("[1, 2, 3]")
                                << notJson + QStringLiteral("the document is not an object)");
    QTest::newRow("other format") << WithRoot(QStringLiteral("format"), QStringLiteral("something-else"))
                                  << QStringLiteral("it is not a Skimbler surface");
    QTest::newRow("no format") << QByteArray("{}") << QStringLiteral("it is not a Skimbler surface");
    QTest::newRow("newer version")
        << WithRoot(QStringLiteral("version"), 2)
        << QStringLiteral("it was written by a newer Skimbler (format version 2; this one reads up to 1)");
    QTest::newRow("version 0") << WithRoot(QStringLiteral("version"), 0) << version;
    QTest::newRow("version -1") << WithRoot(QStringLiteral("version"), -1) << version;
    QTest::newRow("version as text") << WithRoot(QStringLiteral("version"), QStringLiteral("1")) << version;
    QTest::newRow("fractional version") << WithRoot(QStringLiteral("version"), 1.5) << version;
    QTest::newRow("no fields") << WithRoot(QStringLiteral("surface"), QStringLiteral("none"))
                               << QStringLiteral("the surface's fields are missing");
    QTest::newRow("image path a number") << WithRoot(QStringLiteral("image"), 5)
                                         << QStringLiteral("the field \"image\" must be an object");
    QTest::newRow("relative path a number")
        << WithRoot(QStringLiteral("image"), QJsonObject{{QStringLiteral("relative"), 5}})
        << QStringLiteral("the image path \"relative\" must be text");
    QTest::newRow("image path holding a NUL")
        << WithRoot(QStringLiteral("image"), QJsonObject{{QStringLiteral("relative"), QString::fromUtf8("a.png\0.tga", 10)}})
        << QStringLiteral("the image path \"relative\" holds a NUL character");
    QByteArray digits = valid;
    digits.replace("\"Width\": ", "\"Width\": " + QByteArray(900000, '9'));
    QTest::newRow("a number of 900,000 digits") << digits << notJson;
    QTest::newRow("PerspectiveCorrect as a number") << WithField(QStringLiteral("PerspectiveCorrect"), 1)
        << QStringLiteral("the field \"PerspectiveCorrect\" must be true or false");
    QTest::newRow("PerspectiveCorrect as text") << WithField(QStringLiteral("PerspectiveCorrect"), QStringLiteral("true"))
        << QStringLiteral("the field \"PerspectiveCorrect\" must be true or false");
    QTest::newRow("missing Flags") << WithField(QStringLiteral("Flags"), QJsonValue(QJsonValue::Undefined))
                                   << QStringLiteral("the field \"Flags\" is missing");
    QTest::newRow("Flags as text") << WithField(QStringLiteral("Flags"), QStringLiteral("62")) << whole("Flags");
    QTest::newRow("negative Width") << WithField(QStringLiteral("Width"), -1) << whole("Width");
    QTest::newRow("fractional MagFilter") << WithField(QStringLiteral("MagFilter"), 9728.5) << whole("MagFilter");
    QTest::newRow("ColorKey beyond 32 bits") << WithField(QStringLiteral("ColorKey"), 4294967296.0)
                                             << whole("ColorKey");
    QTest::newRow("huge Height") << WithField(QStringLiteral("Height"), 1e300) << whole("Height");
    QTest::newRow("null Type") << WithField(QStringLiteral("Type"), QJsonValue()) << whole("Type");
    QTest::newRow("three points") << WithField(QStringLiteral("Points"),
                                               QJsonArray{QJsonArray{0, 0, 0}, QJsonArray{0, 0, 0},
                                                          QJsonArray{0, 0, 0}})
                                  << QStringLiteral("the field \"Points\" must hold 4 entries");
    QTest::newRow("point with two numbers")
        << WithField(QStringLiteral("Points"), QJsonArray{QJsonArray{0, 0}, QJsonArray{0, 0, 0},
                                                          QJsonArray{0, 0, 0}, QJsonArray{0, 0, 0}})
        << QStringLiteral("entry 0 of \"Points\" must hold 3 numbers");
    QTest::newRow("point beyond a float")
        << WithField(QStringLiteral("Points"), QJsonArray{QJsonArray{1e39, 0, 0}, QJsonArray{0, 0, 0},
                                                          QJsonArray{0, 0, 0}, QJsonArray{0, 0, 0}})
        << outOfRange("Points");
    QTest::newRow("point as text (NaN)")
        << WithField(QStringLiteral("Points"), QJsonArray{QJsonArray{QStringLiteral("NaN"), 0, 0},
                                                          QJsonArray{0, 0, 0}, QJsonArray{0, 0, 0},
                                                          QJsonArray{0, 0, 0}})
        << outOfRange("Points");
    QByteArray nan = valid;
    nan.replace("\"Points\": [", "\"Points\": [[NaN, 0, 0],");
    QTest::newRow("bare NaN") << nan << notJson;
    QTest::newRow("colour above 1")
        << WithField(QStringLiteral("Colors"), QJsonArray{QJsonArray{1.5, 0, 0, 1}, QJsonArray{0, 0, 0, 1},
                                                          QJsonArray{0, 0, 0, 1}, QJsonArray{0, 0, 0, 1}})
        << outOfRange("Colors");
    QTest::newRow("negative colour")
        << WithField(QStringLiteral("Colors"), QJsonArray{QJsonArray{-0.1, 0, 0, 1}, QJsonArray{0, 0, 0, 1},
                                                          QJsonArray{0, 0, 0, 1}, QJsonArray{0, 0, 0, 1}})
        << outOfRange("Colors");
}

// The first fault found is named, in the editor's words; what was there is
// left alone.
void TestCoreSurfaceFile::malformedFilesAreRefused()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    SurfaceFile::Contents contents;
    contents.Settings.Flags = 0x1234;
    contents.Settings.Points[2][1] = 9.0f;
    std::string error;
    QVERIFY(!SurfaceFile::Parse(data.toStdString(), Native(QDir::tempPath()), &contents, &error));
    const QString said = QString::fromStdString(error);
    QVERIFY2(said.size() < 200, qPrintable(said.left(200)));
    if (message.endsWith(QLatin1String("JSON: ")))
        QVERIFY2(said.startsWith(message) && said.size() > message.size() + 1 && said.endsWith(QLatin1Char(')')),
                 qPrintable(said));
    else
        QCOMPARE(said, message);
    QCOMPARE(contents.Settings.Flags, 0x1234u);
    QCOMPARE(contents.Settings.Points[2][1], 9.0f);
}

void TestCoreSurfaceFile::unreadableFilesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QStringLiteral("missing.skimbler") << QString::fromLocal8Bit(std::strerror(ENOENT));
    QTest::newRow("a folder") << QStringLiteral("folder") << QStringLiteral("it is not a regular file");
    QTest::newRow("a named pipe") << QStringLiteral("pipe") << QStringLiteral("it is not a regular file");
    QTest::newRow("over 1 MiB") << QStringLiteral("large.skimbler")
                                << QStringLiteral("the file is too large to be a Skimbler surface");
}

void TestCoreSurfaceFile::unreadableFilesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QCOMPARE(::mkfifo(Native(dir.filePath(QStringLiteral("pipe"))).c_str(), 0600), 0);
    // A valid file padded past the limit: its size alone refuses it.
    QVERIFY(Touch(dir.filePath(QStringLiteral("large.skimbler")),
                  QJsonDocument(ValidRoot()).toJson() + QByteArray(int(SurfaceFile::MaxFileSize), ' ')));
    SurfaceFile::Contents contents;
    std::string error;
    QVERIFY(!SurfaceFile::Read(Native(dir.filePath(name)), &contents, &error));
    QCOMPARE(QString::fromStdString(error), message);
}

void TestCoreSurfaceFile::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    const SurfaceSettings s = skimbler::DefaultSettings();
    std::string error;

    // A folder where the file should be: nothing can replace it.
    const QString folder = dir.filePath(QStringLiteral("taken.skimbler"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.skimbler")));
    QVERIFY(!SurfaceFile::Write(Native(folder), s, 0, 0, std::string(), &error));
    QVERIFY(!error.empty());
    QVERIFY(QFileInfo(folder).isDir());

    // A named pipe is neither opened (it would wait for a reader) nor
    // replaced; a path holding a NUL is not cut short at it.
    const QString pipe = dir.filePath(QStringLiteral("pipe.png"));
    QCOMPARE(::mkfifo(Native(pipe).c_str(), 0600), 0);
    QCOMPARE(skimbler::WriteWhole(Native(pipe), "bytes"), std::string("not a regular file"));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    QCOMPARE(skimbler::WriteWhole(Native(dir.filePath(QStringLiteral("cut"))) + std::string(1, '\0') + "x", "bytes"),
             std::string(std::strerror(EINVAL)));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("cut"))));

    // A read-only folder keeps the old file as it was (root may write anyway).
    const QString path = dir.filePath(QStringLiteral("locked/s.skimbler"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    QVERIFY(Touch(path, "old contents"));
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(path, QFile::ReadOwner);
    const bool ok = SurfaceFile::Write(Native(path), s, 0, 0, std::string(), &error);
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (ok)
        QSKIP("this user can write into read-only folders");
    QCOMPARE(Bytes(path), QByteArray("old contents"));
}

void TestCoreSurfaceFile::nonFinitePointsAreNotWritten()
{
    QTemporaryDir dir;
    SurfaceSettings s;
    s.Points[1][2] = std::numeric_limits<float>::infinity();
    std::string error;
    QVERIFY(!SurfaceFile::Write(Native(dir.filePath(QStringLiteral("s.skimbler"))), s, 0, 0, std::string(), &error));
    QCOMPARE(error, std::string("a corner point or colour is not a finite number"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("s.skimbler"))));
}

void TestCoreSurfaceFile::failingCallsKeepTheOldFile_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("nth");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("replaced");
    // The first open makes the unnamed file, the first fsync syncs it, the
    // second syncs the folder once the new file has its name.
    QTest::newRow("rename across file systems") << QStringLiteral("rename") << 1 << EXDEV << false << false;
    QTest::newRow("rename refused") << QStringLiteral("rename") << 1 << EACCES << false << false;
    QTest::newRow("file sync fails") << QStringLiteral("fsync") << 1 << EIO << false << false;
    QTest::newRow("disk full") << QStringLiteral("write") << 1 << ENOSPC << false << false;
    QTest::newRow("permissions refused") << QStringLiteral("fchmod") << 1 << EPERM << false << false;
    QTest::newRow("folder refuses new files") << QStringLiteral("open") << 1 << EACCES << false << false;
    QTest::newRow("close reports a late error") << QStringLiteral("close") << 1 << EIO << false << false;
    QTest::newRow("naming the new file fails") << QStringLiteral("linkat") << 1 << EDQUOT << false << false;
    // The file is in place but its name may not survive a crash: said so.
    QTest::newRow("folder sync fails") << QStringLiteral("fsync") << 2 << EIO << false << true;
    QTest::newRow("folder cannot be synced here") << QStringLiteral("fsync") << 2 << EINVAL << true << true;
    // Without unnamed files, or without /proc to name them by, a named
    // temporary file does the same.
    QTest::newRow("no unnamed files") << QStringLiteral("open") << 1 << EOPNOTSUPP << true << true;
    QTest::newRow("no /proc") << QStringLiteral("linkat") << 1 << ENOENT << true << true;
}

// A save that fails says the system's reason, leaves the old file byte for
// byte and no temporary file beside it.
void TestCoreSurfaceFile::failingCallsKeepTheOldFile()
{
    QFETCH(QString, call);
    QFETCH(int, nth);
    QFETCH(int, code);
    QFETCH(bool, saved);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.skimbler"));
    std::string error;
    QVERIFY(SurfaceFile::Write(Native(path), OddFloats().settings, 1, 1, std::string(), &error));
    const QByteArray before = Bytes(path);

    bool ok = false;
    {
        const FailingFileSystem::Scope failing(call.toStdString(), code, nth);
        ok = SurfaceFile::Write(Native(path), skimbler::DefaultSettings(), 2, 2, std::string(), &error);
    }
    QCOMPARE(ok, saved);
    if (!saved)
        QCOMPARE(QString::fromStdString(error), QString::fromLocal8Bit(std::strerror(code)));
    QCOMPARE(Bytes(path) != before, replaced);

    // Any other output (a rendered picture, an export) is written the same way.
    const QString picture = dir.filePath(QStringLiteral("picture.png"));
    QVERIFY(Touch(picture, "good picture"));
    std::string reason;
    {
        const FailingFileSystem::Scope failing(call.toStdString(), code, nth);
        reason = skimbler::WriteWhole(Native(picture), "new picture");
    }
    QCOMPARE(QString::fromStdString(reason), saved ? QString() : QString::fromLocal8Bit(std::strerror(code)));
    QCOMPARE(Bytes(picture), replaced ? QByteArray("new picture") : QByteArray("good picture"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             (QStringList{QStringLiteral("picture.png"), QStringLiteral("s.skimbler")}));
}

void TestCoreSurfaceFile::permissionsAreKept_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("private 0600") << 0600;
    QTest::newRow("group-readable 0640") << 0640;
    QTest::newRow("everyone 0666") << 0666;
    QTest::newRow("read-only 0444") << 0444;
}

void TestCoreSurfaceFile::permissionsAreKept()
{
    QFETCH(int, mode);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.skimbler"));
    QVERIFY(Touch(path, "old contents"));
    QCOMPARE(::chmod(Native(path).c_str(), mode_t(mode)), 0);
    std::string error;
    QVERIFY2(SurfaceFile::Write(Native(path), skimbler::DefaultSettings(), 0, 0, std::string(), &error),
             error.c_str());
    struct stat info;
    QCOMPARE(::stat(Native(path).c_str(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), mode);
    QVERIFY(Bytes(path) != QByteArray("old contents"));
}

// A link stays a link; the file it names gets the new contents.
void TestCoreSurfaceFile::savingThroughALinkReplacesItsTarget()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString target = dir.filePath(QStringLiteral("real/s.skimbler"));
    const QString link = dir.filePath(QStringLiteral("link.skimbler"));
    QVERIFY(Touch(target, "old contents"));
    QCOMPARE(::symlink("real/s.skimbler", Native(link).c_str()), 0);
    std::string error;
    QVERIFY2(SurfaceFile::Write(Native(link), skimbler::DefaultSettings(), 0, 0, std::string(), &error),
             error.c_str());
    QVERIFY(QFileInfo(link).isSymLink());
    SurfaceFile::Contents contents;
    QVERIFY2(SurfaceFile::Read(Native(target), &contents, &error), error.c_str());
    QVERIFY(contents.Settings == skimbler::DefaultSettings());
}

void TestCoreSurfaceFile::gltfExtrasGiveTheSettingsBack_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("binary");
    const auto samples = SurfaceFileSamples::All();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        QTest::addRow("%s gltf", samples[i].name) << int(i) << false;
        QTest::addRow("%s glb", samples[i].name) << int(i) << true;
    }
}

// An exported asset keeps every setting in its extras, bit for bit (-0
// too, which a surface file does not keep), as .gltf and as .glb alike;
// other bytes give nothing back.
void TestCoreSurfaceFile::gltfExtrasGiveTheSettingsBack()
{
    QFETCH(int, index);
    QFETCH(bool, binary);
    const SurfaceFileSamples::Sample sample = SurfaceFileSamples::All().at(std::size_t(index));
    skimbler::GltfInput input;
    input.Settings = sample.settings;
    input.ImageWidth = 3;
    input.ImageHeight = 2;
    input.Options.ViewWidth = 160;
    input.Options.ViewHeight = 120;
    const std::vector<std::uint8_t> bytes = skimbler::ExportGltf(input, binary).Bytes;
    const std::string file(bytes.begin(), bytes.end());
    SurfaceSettings back = skimbler::DefaultSettings();
    back.Points[0][0] = 9.0f;  // unlike every sample
    QVERIFY(skimbler::SettingsFromGltf(file, &back));
    QVERIFY(back == sample.settings);

    SurfaceSettings untouched = back;
    QVERIFY(!skimbler::SettingsFromGltf("{\"asset\": {\"version\": \"2.0\"}}", &untouched));
    QVERIFY(!skimbler::SettingsFromGltf(file.substr(0, file.size() / 2), &untouched));
    QVERIFY(untouched == back);
}

QTEST_GUILESS_MAIN(TestCoreSurfaceFile)
#include "test_coresurfacefile.moc"
