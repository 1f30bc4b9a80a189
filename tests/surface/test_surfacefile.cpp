// Surface files as the document opens and saves them: what the user is
// told, what happens to the document and to the file on disk.

#include "common/SettingsThroughCommand.h"
#include "SurfaceFileCheck.h"
#include "common/FailingFileSystem.h"
#include "common/MessageRecorder.h"
#include "common/SurfaceFileSamples.h"
#include "common/TgaTestFiles.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"
#include "surface/Surface.h"

#include <skimbler/SurfaceFile.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class TestSurfaceFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failedSaveKeepsTheOldFileAndSaysWhy_data();
    void failedSaveKeepsTheOldFileAndSaysWhy();
    void onlyRegularFilesAreOpened_data();
    void onlyRegularFilesAreOpened();
    void namesThatNameAnotherFileAreRefused_data();
    void namesThatNameAnotherFileAreRefused();
    void seedCorpus_data();
    void seedCorpus();
};

void TestSurfaceFile::failedSaveKeepsTheOldFileAndSaysWhy_data()
{
    QTest::addColumn<QString>("call");  // the system call that fails, or "size limit"
    QTest::addColumn<int>("nth");
    QTest::addColumn<int>("code");
    QTest::newRow("file-size limit (a full disk)") << QStringLiteral("size limit") << 1 << EFBIG;
    QTest::newRow("rename across file systems") << QStringLiteral("rename") << 1 << EXDEV;
    QTest::newRow("rename refused") << QStringLiteral("rename") << 1 << EACCES;
    QTest::newRow("file sync fails") << QStringLiteral("fsync") << 1 << EIO;
    QTest::newRow("write fails") << QStringLiteral("write") << 1 << ENOSPC;
}

// When a save fails the old file stays byte for byte with no temporary file
// beside it, the message names the file and the system's reason, and the
// document stays modified; once the fault is gone the same save goes through.
void TestSurfaceFile::failedSaveKeepsTheOldFileAndSaysWhy()
{
    QFETCH(QString, call);
    QFETCH(int, nth);
    QFETCH(int, code);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.skimbler"));
    const SurfaceFileSamples::Sample previous = SurfaceFileSamples::All().at(1);
    std::string error;
    QVERIFY(skimbler::SurfaceFile::Write(QFile::encodeName(path).toStdString(), previous.settings, previous.width,
                                         previous.height, std::string(), &error));
    QFile oldFile(path);
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    const QByteArray oldBytes = oldFile.readAll();
    oldFile.close();
    QVERIFY(oldBytes.size() > 1024);

    CSkimblerDoc doc;
    EditThroughCommand(doc, [](auto &s) { skimbler::ApplyDefaults(&s); });
    doc.SetPathName(path);
    doc.SetModifiedFlag(true);
    MessageRecorder messages(&doc);
    bool saved = true;
    if (call == QLatin1String("size limit")) {
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit unlimited = limit;
        limit.rlim_cur = 512;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        saved = doc.OnSaveDocument(path);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);
        std::signal(SIGXFSZ, previousHandler);
    } else {
        const FailingFileSystem::Scope failing(call.toStdString(), code, nth);
        saved = doc.OnSaveDocument(path);
    }

    QVERIFY(!saved);
    QVERIFY(doc.IsModified());
    QCOMPARE(messages.messages.size(), 1);
    const QString message = messages.messages.first().text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY2(message.contains(QString::fromLocal8Bit(std::strerror(code))), qPrintable(message));
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    QCOMPARE(oldFile.readAll(), oldBytes);
    oldFile.close();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.skimbler")});

    QVERIFY(doc.OnSaveDocument(path));
    QVERIFY(!doc.IsModified());
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    QVERIFY(oldFile.readAll() != oldBytes);
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
    QTest::newRow("image is missing") << QStringLiteral("s.skimbler") << QStringLiteral("gone.tga") << true << texture;
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
        std::string error;
        QVERIFY(skimbler::SurfaceFile::Write(QFile::encodeName(path).toStdString(), skimbler::DefaultSettings(), 512, 256,
                                             QFile::encodeName(QDir(dir.path()).absoluteFilePath(image)).toStdString(),
                                             &error));
    }

    CSkimblerDoc doc;
    doc.SetPathName(dir.filePath(QStringLiteral("before.skimbler")));
    doc.SetModifiedFlag(true);
    EditThroughCommand(doc, [](auto &s) { s.Points[3][0] = 0.625f; });
    MessageRecorder messages(&doc);
    ::alarm(30);  // a blocked open ends the test instead of hanging it
    const bool ok = DocumentLoader(&doc).Open(path);
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
        QVERIFY(!doc.Image());
        QVERIFY(!doc.IsModified());
        // Saved without its picture, the surface keeps the size its file gave.
        const QString resaved = dir.filePath(QStringLiteral("resaved.skimbler"));
        QVERIFY(doc.OnSaveDocument(resaved));
        skimbler::SurfaceFile::Contents contents;
        std::string error;
        QVERIFY(skimbler::SurfaceFile::Read(QFile::encodeName(resaved).toStdString(), &contents, &error));
        QCOMPARE(contents.Width, 512u);
        QCOMPARE(contents.Height, 256u);
    } else {
        QCOMPARE(doc.GetPathName(), dir.filePath(QStringLiteral("before.skimbler")));
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.GetSurface().Points[3][0], 0.625f);
    }
}

void TestSurfaceFile::namesThatNameAnotherFileAreRefused_data()
{
    QTest::addColumn<QString>("name");  // beside a.tga in the test folder
    QTest::addColumn<QString>("said");
    // The system reads a name only up to a NUL (a dropped "%00" decodes to
    // one): the file before it is another file.
    QTest::newRow("name holding a NUL") << QStringLiteral("a.tga") + QChar(u'\0') + QStringLiteral(".png")
                                        << QStringLiteral("its name holds a NUL character");
    // Bytes the locale could not decode became U+FFFD: not "does not exist".
    QTest::newRow("name not valid UTF-8") << QStringLiteral("a\uFFFD.tga")
                                          << QStringLiteral("its name is not valid UTF-8");
}

// Neither opened nor shown, and said in words that tell what happened.
void TestSurfaceFile::namesThatNameAnotherFileAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, said);
    QTemporaryDir dir;
    QVERIFY(TgaTestFiles::WriteSolid(dir.filePath(QStringLiteral("a.tga")), 4, 2, qRgba(90, 0, 0, 255)));
    const QString named = dir.filePath(name);
    CSkimblerDoc doc;
    MessageRecorder messages(&doc);
    DocumentLoader loader(&doc);
    QVERIFY(!loader.Open(named));
    QVERIFY(!loader.Replace(named));
    QCOMPARE(messages.messages.size(), 2);
    for (const QString &text : messages.texts())
        QVERIFY2(text.contains(said), qPrintable(text));
    QVERIFY(!doc.Image());
    QVERIFY(doc.GetImagePath().isEmpty());
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
