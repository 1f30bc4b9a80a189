#include "SurfaceFileCheck.h"
#include "common/MessageRecorder.h"
#include "surface/CSkimblerDoc.h"
#include "surface/Surface.h"
#include "surface/SurfaceFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void FillUnusual(Surface &s)
{
    s.Version = 7;
    s.BPP = 32;
    s.Type = 2;  // not a named type: still kept
    s.DataFormat = 1;
    s.Width = 256;
    s.Height = 128;
    s.ColorKey = 4294967295u;
    s.MagFilter = 9728;
    s.MinFilter = 9987;
    s.SrcFactor = 776;
    s.DestFactor = 0;
    s.Flags = 0xFFFFFFC1u;
    const float points[12] = {-4.0f / 3.0f, 1.0f / 3.0f, 0.1f, 1e-40f, -3.4e38f, 3.4e38f,
                              0.7f, 0.0f, 123456.789f, -1.0f, 2.5e-7f, 42.0f};
    std::memcpy(&s.Points[0][0], points, sizeof points);
    const float colors[16] = {0.0f, 1.0f, 0.1f, 0.3f, 1.0f / 3.0f, 0.999999f, 1e-30f, 0.5f,
                              0.25f, 0.75f, 0.2f, 0.9f, 0.01f, 0.02f, 0.03f, 1.0f};
    std::memcpy(&s.Colors[0][0], colors, sizeof colors);
}

QJsonObject ValidRoot()
{
    Surface s;
    s.ApplyDefaults();
    QString error;
    return QJsonDocument::fromJson(SurfaceFile::Serialise(s, QString(), QDir::tempPath(), &error)).object();
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

class TestSurfaceFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTripIsBitExact();
    void imagePathFollowsAMovedFolder();
    void absoluteImagePathIsTheFallback();
    void malformedFilesAreRefused_data();
    void malformedFilesAreRefused();
    void failedWriteKeepsTheOldFile();
    void saveCutShortKeepsTheOldFileAndSaysWhy();
    void nonFinitePointsAreNotWritten();
    void onlyRegularFilesAreOpened_data();
    void onlyRegularFilesAreOpened();
    void seedCorpus_data();
    void seedCorpus();
};

void TestSurfaceFile::roundTripIsBitExact()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.skimbler"));
    Surface original;
    FillUnusual(original);
    QString error;
    QVERIFY2(SurfaceFile::Write(path, original, dir.filePath(QStringLiteral("a.tga")), &error), qPrintable(error));

    SurfaceFile::Contents contents;
    QVERIFY2(SurfaceFile::Read(path, &contents, &error), qPrintable(error));
    Surface restored;
    restored.Width = 11;
    restored.Height = 12;
    SurfaceFile::Apply(contents, &restored);

    QCOMPARE(contents.Width, 256u);
    QCOMPARE(contents.Height, 128u);
    // The image decides the size of what is shown.
    QCOMPARE(restored.Width, 11u);
    QCOMPARE(restored.Height, 12u);
    restored.Width = original.Width;
    restored.Height = original.Height;
    QCOMPARE(restored.Version, original.Version);
    QCOMPARE(restored.BPP, original.BPP);
    QCOMPARE(restored.Type, original.Type);
    QCOMPARE(restored.DataFormat, original.DataFormat);
    QCOMPARE(restored.ColorKey, original.ColorKey);
    QCOMPARE(restored.MagFilter, original.MagFilter);
    QCOMPARE(restored.MinFilter, original.MinFilter);
    QCOMPARE(restored.SrcFactor, original.SrcFactor);
    QCOMPARE(restored.DestFactor, original.DestFactor);
    QCOMPARE(restored.Flags, original.Flags);
    QCOMPARE(std::memcmp(restored.Points, original.Points, sizeof original.Points), 0);
    QCOMPARE(std::memcmp(restored.Colors, original.Colors, sizeof original.Colors), 0);
    QCOMPARE(contents.relativeImagePath, QStringLiteral("a.tga"));
}

void TestSurfaceFile::imagePathFollowsAMovedFolder()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("before/images")));
    const QString image = root.filePath(QStringLiteral("before/images/card.tga"));
    QFile touch(image);
    QVERIFY(touch.open(QIODevice::WriteOnly));
    touch.close();

    Surface s;
    s.ApplyDefaults();
    QString error;
    QVERIFY(SurfaceFile::Write(root.filePath(QStringLiteral("before/s.skimbler")), s, image, &error));
    QVERIFY(QDir(root.path()).rename(QStringLiteral("before"), QStringLiteral("after")));

    SurfaceFile::Contents contents;
    QVERIFY2(SurfaceFile::Read(root.filePath(QStringLiteral("after/s.skimbler")), &contents, &error),
             qPrintable(error));
    QCOMPARE(contents.relativeImagePath, QStringLiteral("images/card.tga"));
    QCOMPARE(contents.imagePath, root.filePath(QStringLiteral("after/images/card.tga")));
}

void TestSurfaceFile::absoluteImagePathIsTheFallback()
{
    QTemporaryDir images;
    QTemporaryDir documents;
    const QString image = images.filePath(QStringLiteral("card.tga"));
    QFile touch(image);
    QVERIFY(touch.open(QIODevice::WriteOnly));
    touch.close();
    Surface s;
    QString error;
    const QString path = documents.filePath(QStringLiteral("s.skimbler"));
    QVERIFY(SurfaceFile::Write(path, s, image, &error));
    // Moving the document alone breaks the relative path.
    const QString moved = documents.filePath(QStringLiteral("deeper/s.skimbler"));
    QVERIFY(QDir(documents.path()).mkpath(QStringLiteral("deeper")));
    QVERIFY(QFile::rename(path, moved));
    SurfaceFile::Contents contents;
    QVERIFY(SurfaceFile::Read(moved, &contents, &error));
    QCOMPARE(contents.imagePath, image);
}

void TestSurfaceFile::malformedFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray valid = QJsonDocument(ValidRoot()).toJson();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not JSON") << QByteArray("Skimbler surface\n");
    QTest::newRow("a TGA header") << QByteArray("\0\0\x02\0\0\0\0\0\0\0\0\0", 12);
    QTest::newRow("truncated") << valid.left(valid.size() / 2);
    QTest::newRow("JSON array") << QByteArray("[1, 2, 3]");
    QTest::newRow("other format") << WithRoot(QStringLiteral("format"), QStringLiteral("something-else"));
    QTest::newRow("newer version") << WithRoot(QStringLiteral("version"), 2);
    QTest::newRow("version 0") << WithRoot(QStringLiteral("version"), 0);
    QTest::newRow("version -1") << WithRoot(QStringLiteral("version"), -1);
    QTest::newRow("version as text") << WithRoot(QStringLiteral("version"), QStringLiteral("1"));
    QTest::newRow("fractional version") << WithRoot(QStringLiteral("version"), 1.5);
    QTest::newRow("no fields") << WithRoot(QStringLiteral("surface"), QStringLiteral("none"));
    QTest::newRow("image path a number") << WithRoot(QStringLiteral("image"), 5);
    QTest::newRow("missing Flags") << WithField(QStringLiteral("Flags"), QJsonValue(QJsonValue::Undefined));
    QTest::newRow("Flags as text") << WithField(QStringLiteral("Flags"), QStringLiteral("62"));
    QTest::newRow("negative Width") << WithField(QStringLiteral("Width"), -1);
    QTest::newRow("fractional MagFilter") << WithField(QStringLiteral("MagFilter"), 9728.5);
    QTest::newRow("ColorKey beyond 32 bits") << WithField(QStringLiteral("ColorKey"), 4294967296.0);
    QTest::newRow("huge Height") << WithField(QStringLiteral("Height"), 1e300);
    QTest::newRow("null Type") << WithField(QStringLiteral("Type"), QJsonValue());
    QTest::newRow("three points") << WithField(QStringLiteral("Points"),
                                               QJsonArray{QJsonArray{0, 0, 0}, QJsonArray{0, 0, 0},
                                                          QJsonArray{0, 0, 0}});
    QTest::newRow("point with two numbers")
        << WithField(QStringLiteral("Points"), QJsonArray{QJsonArray{0, 0}, QJsonArray{0, 0, 0},
                                                          QJsonArray{0, 0, 0}, QJsonArray{0, 0, 0}});
    QTest::newRow("point beyond a float")
        << WithField(QStringLiteral("Points"), QJsonArray{QJsonArray{1e39, 0, 0}, QJsonArray{0, 0, 0},
                                                          QJsonArray{0, 0, 0}, QJsonArray{0, 0, 0}});
    QTest::newRow("point as text (NaN)")
        << WithField(QStringLiteral("Points"), QJsonArray{QJsonArray{QStringLiteral("NaN"), 0, 0},
                                                          QJsonArray{0, 0, 0}, QJsonArray{0, 0, 0},
                                                          QJsonArray{0, 0, 0}});
    QByteArray nan = valid;
    nan.replace("\"Points\": [", "\"Points\": [[NaN, 0, 0],");
    QTest::newRow("bare NaN") << nan;
    QTest::newRow("colour above 1")
        << WithField(QStringLiteral("Colors"), QJsonArray{QJsonArray{1.5, 0, 0, 1}, QJsonArray{0, 0, 0, 1},
                                                          QJsonArray{0, 0, 0, 1}, QJsonArray{0, 0, 0, 1}});
    QTest::newRow("negative colour")
        << WithField(QStringLiteral("Colors"), QJsonArray{QJsonArray{-0.1, 0, 0, 1}, QJsonArray{0, 0, 0, 1},
                                                          QJsonArray{0, 0, 0, 1}, QJsonArray{0, 0, 0, 1}});
}

void TestSurfaceFile::malformedFilesAreRefused()
{
    QFETCH(QByteArray, data);
    SurfaceFile::Contents contents;
    contents.Flags = 0x1234;
    contents.Points[2][1] = 9.0f;
    QString error;
    QVERIFY(!SurfaceFile::Parse(data, QDir::tempPath(), &contents, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(contents.Flags, 0x1234u);
    QCOMPARE(contents.Points[2][1], 9.0f);
}

void TestSurfaceFile::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    Surface s;
    s.ApplyDefaults();
    QString error;

    // A folder where the file should be: nothing can replace it.
    const QString folder = dir.filePath(QStringLiteral("taken.skimbler"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.skimbler")));
    QVERIFY(!SurfaceFile::Write(folder, s, QString(), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(folder).isDir());

    // A read-only folder keeps the old file as it was (root may write anyway).
    const QString path = dir.filePath(QStringLiteral("locked/s.skimbler"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(path, QFile::ReadOwner);
    const bool ok = SurfaceFile::Write(path, s, QString(), &error);
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (ok)
        QSKIP("this user can write into read-only folders");
    QFile check(path);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("old contents"));
}

// Under a file-size limit (the way a full disk shows up to a writer) the old
// file stays byte for byte with no temporary file beside it, the message names
// the file and the system's reason, and the document stays modified; once the
// limit is lifted the same save goes through.
void TestSurfaceFile::saveCutShortKeepsTheOldFileAndSaysWhy()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.skimbler"));
    Surface previous;
    FillUnusual(previous);
    QString error;
    QVERIFY(SurfaceFile::Write(path, previous, QString(), &error));
    QFile oldFile(path);
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    const QByteArray oldBytes = oldFile.readAll();
    oldFile.close();
    QVERIFY(oldBytes.size() > 1024);

    CSkimblerDoc doc;
    doc.surface.ApplyDefaults();
    doc.SetPathName(path);
    doc.SetModifiedFlag(true);
    MessageRecorder messages;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit unlimited = limit;
    limit.rlim_cur = 512;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool saved = doc.OnSaveDocument(path);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!saved);
    QVERIFY(doc.IsModified());
    QCOMPARE(messages.messages.size(), 1);
    const QString message = messages.messages.first().text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY2(message.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(message));
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    QCOMPARE(oldFile.readAll(), oldBytes);
    oldFile.close();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.skimbler")});

    QVERIFY(doc.OnSaveDocument(path));
    QVERIFY(!doc.IsModified());
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    QVERIFY(oldFile.readAll() != oldBytes);
}

void TestSurfaceFile::nonFinitePointsAreNotWritten()
{
    QTemporaryDir dir;
    Surface s;
    s.Points[1][2] = std::numeric_limits<float>::infinity();
    QString error;
    QVERIFY(!SurfaceFile::Write(dir.filePath(QStringLiteral("s.skimbler")), s, QString(), &error));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("s.skimbler"))));
}

void TestSurfaceFile::onlyRegularFilesAreOpened_data()
{
    QTest::addColumn<QString>("opened");     // file name in the test folder, or an absolute path
    QTest::addColumn<QString>("image");      // the image a surface file names, if one is opened
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    const QString texture = QStringLiteral("Could not open texture file");
    const QString notRegular = QStringLiteral("it is not a regular file");
    QTest::newRow("surface file is a named pipe") << QStringLiteral("pipe") << QString() << false << notRegular;
    QTest::newRow("surface file is a folder") << QStringLiteral("folder") << QString() << false << notRegular;
    QTest::newRow("surface file is a device") << QStringLiteral("/dev/zero") << QString() << false << notRegular;
    QTest::newRow("image is a named pipe") << QStringLiteral("s.skimbler") << QStringLiteral("pipe") << true << texture;
    QTest::newRow("image is a device") << QStringLiteral("s.skimbler") << QStringLiteral("/dev/zero") << true << texture;
    QTest::newRow("image opened is a named pipe") << QStringLiteral("pipe.tga") << QString() << false << texture;
}

// Named pipes and devices are refused at once, with the loader's message for
// an image and one naming the file for a surface file; a refused file leaves
// the document as it was.
void TestSurfaceFile::onlyRegularFilesAreOpened()
{
    QFETCH(QString, opened);
    QFETCH(QString, image);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    QTemporaryDir dir;
    for (const char *pipe : {"pipe", "pipe.tga"})
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QLatin1String(pipe))).constData(), 0600), 0);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString path = QDir(dir.path()).absoluteFilePath(opened);
    if (!image.isEmpty()) {
        Surface s;
        s.ApplyDefaults();
        QString error;
        QVERIFY(SurfaceFile::Write(path, s, QDir(dir.path()).absoluteFilePath(image), &error));
    }

    CSkimblerDoc doc;
    doc.SetPathName(dir.filePath(QStringLiteral("before.skimbler")));
    doc.SetModifiedFlag(true);
    doc.surface.Points[3][0] = 0.625f;
    MessageRecorder messages;
    ::alarm(30);  // a blocked open ends the test instead of hanging it
    const bool ok = doc.OnOpenDocument(path);
    ::alarm(0);
    QCOMPARE(ok, accepted);
    QCOMPARE(messages.messages.size(), 1);
    const QString text = messages.messages.first().text;
    if (message == QLatin1String("Could not open texture file")) {
        QCOMPARE(text, message);
    } else {
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)) && text.contains(message), qPrintable(text));
    }
    if (accepted) {
        QCOMPARE(doc.GetPathName(), path);
        QCOMPARE(doc.surface.Texture, 0u);
        QVERIFY(!doc.IsModified());
    } else {
        QCOMPARE(doc.GetPathName(), dir.filePath(QStringLiteral("before.skimbler")));
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.surface.Points[3][0], 0.625f);
    }
}

void TestSurfaceFile::seedCorpus_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QString::fromUtf8(SKIMBLER_SURFACE_SEED_DIR));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 20);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

// The fuzz target's seeds, opened with the same checks: files named ok_ are
// taken, files named bad_ refused, and every one keeps the checks.
void TestSurfaceFile::seedCorpus()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    SurfaceFileCheck::Workspace workspace;
    QVERIFY(SurfaceFileCheck::CreateWorkspace(dir.path(), &workspace));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    bool accepted = false;
    const QString failure = SurfaceFileCheck::Check(workspace, file.readAll(), &accepted);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QString name = QFileInfo(path).fileName();
    if (name.startsWith(QLatin1String("ok_")))
        QVERIFY(accepted);
    else if (name.startsWith(QLatin1String("bad_")))
        QVERIFY(!accepted);
}

QTEST_MAIN(TestSurfaceFile)
#include "test_surfacefile.moc"
