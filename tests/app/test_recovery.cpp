#include "app/RecoveryManager.h"
#include "common/FailingFileSystem.h"
#include "common/MessageBoxRecorder.h"
#include "common/TgaTestFiles.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <unistd.h>

using skimbler::SurfaceSettings;

namespace {

constexpr int kIntervalMs = 40;

SurfaceSettings Moved(SurfaceSettings settings, float x)
{
    settings.Points[2][0] = x;
    return settings;
}

QStringList Listing()
{
    return QDir(RecoveryManager::Folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<MessageBoxRecorder> m_messages;
    QString m_oldCwd;

    QString Work(const char *name) const { return m_work->filePath(QString::fromLatin1(name)); }
    // A document saved as s.skimbler, then edited.
    std::unique_ptr<CSkimblerDoc> EditedDocument(float x)
    {
        auto document = std::make_unique<CSkimblerDoc>();
        document->OnNewDocument();
        document->OnSaveDocument(Work("s.skimbler"));
        document->ChangeSettings(Moved(document->Settings(), x), QStringLiteral("Move"));
        return document;
    }
    // What an instance that died leaves: its copy under a name nobody locks.
    void LeaveOrphan(float x)
    {
        auto document = EditedDocument(x);
        RecoveryManager manager(document.get(), kIntervalMs);
        QTRY_VERIFY(QFile::exists(manager.CopyPath()));
        const QDir folder(RecoveryManager::Folder());
        QVERIFY(QFile::copy(manager.CopyPath(), folder.filePath(QStringLiteral("gone.skimbler"))));
        QString facts = manager.CopyPath();
        facts.replace(QStringLiteral(".skimbler"), QStringLiteral(".json"));
        QVERIFY(QFile::copy(facts, folder.filePath(QStringLiteral("gone.json"))));
    }

private Q_SLOTS:
    void init()
    {
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(Work("data")));
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_work->path()));
        QVERIFY(TgaTestFiles::WriteSolid(Work("a.tga"), 4, 4, qRgba(0, 0, 255, 255)));
        m_messages = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup()
    {
        m_messages.reset();
        QDir::setCurrent(m_oldCwd);
        m_work.reset();
    }

    // The copy exists exactly while the document differs from what is saved.
    void copyFollowsTheModifiedMark_data();
    void copyFollowsTheModifiedMark();
    void unchangedDocumentIsNotWrittenAgain();
    void answersToTheOffer_data();
    void answersToTheOffer();
    void twoInstancesKeepTheirOwnCopies();
    void newestCopyIsOfferedFirst();
    void unreadableCopyIsReportedAndKept_data();
    void unreadableCopyIsReportedAndKept();
    void failedCopyKeepsTheLastOneAndIsToldOnce_data();
    void failedCopyKeepsTheLastOneAndIsToldOnce();
    void unwritableDataFolderIsTold();
};

void TestRecovery::copyFollowsTheModifiedMark_data()
{
    QTest::addColumn<QString>("step");
    QTest::newRow("save") << QStringLiteral("save");
    QTest::newRow("undo to the saved state") << QStringLiteral("undo");
    QTest::newRow("new") << QStringLiteral("new");
    QTest::newRow("open") << QStringLiteral("open");
    QTest::newRow("clean exit") << QStringLiteral("exit");
}

void TestRecovery::copyFollowsTheModifiedMark()
{
    QFETCH(QString, step);
    auto document = EditedDocument(0.25f);
    auto manager = std::make_unique<RecoveryManager>(document.get(), kIntervalMs);
    const QString copy = manager->CopyPath();
    QTRY_VERIFY(QFile::exists(copy));

    if (step == QLatin1String("save"))
        QVERIFY(document->OnSaveDocument(Work("t.skimbler")));
    else if (step == QLatin1String("undo"))
        document->UndoStack()->undo();
    else if (step == QLatin1String("new"))
        QVERIFY(document->OnNewDocument());
    else if (step == QLatin1String("open"))
        QVERIFY(DocumentLoader(document.get()).Open(Work("s.skimbler")));
    else
        manager.reset();
    QVERIFY(!QFile::exists(copy));
    QTest::qWait(3 * kIntervalMs);
    QVERIFY(!QFile::exists(copy));
    QCOMPARE(Listing().filter(QStringLiteral(".json")), QStringList());
    if (step == QLatin1String("exit"))
        QCOMPARE(Listing(), QStringList());
}

void TestRecovery::unchangedDocumentIsNotWrittenAgain()
{
    auto document = EditedDocument(0.25f);
    RecoveryManager manager(document.get(), kIntervalMs);
    QTRY_VERIFY(QFile::exists(manager.CopyPath()));
    // Gone behind its back: only a change brings it back.
    QVERIFY(QFile::remove(manager.CopyPath()));
    QTest::qWait(4 * kIntervalMs);
    QVERIFY(!QFile::exists(manager.CopyPath()));
    document->ChangeSettings(Moved(document->Settings(), 0.5f), QStringLiteral("Move"));
    QTRY_VERIFY(QFile::exists(manager.CopyPath()));
}

void TestRecovery::answersToTheOffer_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("recovered");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("pictureGone");  // a.tga removed after the crash
    QTest::newRow("recover") << int(MessageBox::ResultRecover) << true << false << false;
    QTest::newRow("recover, picture gone") << int(MessageBox::ResultRecover) << true << false << true;
    QTest::newRow("discard") << int(MessageBox::ResultDiscard) << false << false << false;
    QTest::newRow("later") << int(MessageBox::ResultLater) << false << true << false;
    QTest::newRow("box closed") << int(MessageBox::ResultCancel) << false << true << false;
}

void TestRecovery::answersToTheOffer()
{
    QFETCH(int, answer);
    QFETCH(bool, recovered);
    QFETCH(bool, kept);
    QFETCH(bool, pictureGone);
    LeaveOrphan(0.25f);
    if (pictureGone)
        QVERIFY(QFile::remove(Work("a.tga")));
    const QString orphan = QDir(RecoveryManager::Folder()).filePath(QStringLiteral("gone.skimbler"));

    CSkimblerDoc document;
    document.OnNewDocument();
    const SurfaceSettings fresh = document.Settings();
    RecoveryManager manager(&document, 0);
    m_messages->answers = {MessageBox::Result(answer)};
    QCOMPARE(manager.OfferOrphans(), recovered);
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages[0].buttons, MessageBox::RecoverDiscardLater);
    QVERIFY2(m_messages->messages[0].text.contains(QStringLiteral("\"s.skimbler\"")), qPrintable(m_messages->messages[0].text));
    QCOMPARE(m_messages->messages[0].detail, QDir::toNativeSeparators(Work("s.skimbler")));
    QCOMPARE(QFile::exists(orphan), kept);
    if (recovered) {
        QCOMPARE(document.Settings().Points[2][0], 0.25f);
        QCOMPARE(document.GetPathName(), Work("s.skimbler"));
        QVERIFY(document.IsModified());
        // Taken over before the old copy went.
        QVERIFY(QFile::exists(manager.CopyPath()));
        // The file is still as the crashed instance saved it; once another
        // program writes it, a save would lose that.
        QVERIFY(!document.ChangedOnDisk());
        QFile theirs(Work("s.skimbler"));
        QVERIFY(theirs.open(QIODevice::Append) && theirs.write("\n") == 1);
        theirs.close();
        QVERIFY(document.ChangedOnDisk());
        QVERIFY(document.OnSaveDocument(document.GetPathName()));
        CSkimblerDoc reopened;
        QVERIFY(DocumentLoader(&reopened).Open(Work("s.skimbler")));
        QCOMPARE(reopened.Settings().Points[2][0], 0.25f);
        // Without its picture the surface keeps the size the copy stored.
        QCOMPARE(reopened.GetSurface().Width, 4u);
        QCOMPARE(reopened.GetSurface().Height, 4u);
    } else {
        QVERIFY(document.Settings() == fresh);
        QVERIFY(!document.IsModified());
    }
    // A copy kept for later is offered again at the next start, and only then.
    RecoveryManager next(&document, 0);
    QCOMPARE(next.OfferOrphans(), false);
    QCOMPARE(m_messages->messages.size(), kept ? 2 : 1);
}

void TestRecovery::twoInstancesKeepTheirOwnCopies()
{
    auto first = EditedDocument(0.25f);
    auto second = EditedDocument(-0.5f);
    auto firstManager = std::make_unique<RecoveryManager>(first.get(), kIntervalMs);
    RecoveryManager secondManager(second.get(), kIntervalMs);
    QVERIFY(firstManager->CopyPath() != secondManager.CopyPath());
    QTRY_VERIFY(QFile::exists(firstManager->CopyPath()) && QFile::exists(secondManager.CopyPath()));

    // A third start sees two live instances: nothing to offer.
    CSkimblerDoc third;
    RecoveryManager thirdManager(&third, 0);
    QCOMPARE(thirdManager.OfferOrphans(), false);
    QCOMPARE(m_messages->messages.size(), 0);

    const QString firstCopy = firstManager->CopyPath();
    firstManager.reset();
    QVERIFY(!QFile::exists(firstCopy));
    CSkimblerDoc check;
    QVERIFY(DocumentLoader(&check).Open(secondManager.CopyPath()));
    QCOMPARE(check.Settings().Points[2][0], -0.5f);
}

// Two instances died: the work of the later one is the one the user most
// likely wants back, so it is asked about first.
void TestRecovery::newestCopyIsOfferedFirst()
{
    LeaveOrphan(0.25f);
    const QDir folder(RecoveryManager::Folder());
    QVERIFY(QFile::rename(folder.filePath(QStringLiteral("gone.skimbler")), folder.filePath(QStringLiteral("old.skimbler"))));
    QFile facts(folder.filePath(QStringLiteral("gone.json")));
    QVERIFY(facts.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(facts.readAll()).object();
    facts.close();
    root.insert(QStringLiteral("time"), QStringLiteral("2020-01-02T03:04:05.000Z"));
    QVERIFY(facts.remove());
    QFile older(folder.filePath(QStringLiteral("old.json")));
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write(QJsonDocument(root).toJson());
    older.close();
    LeaveOrphan(-0.5f);

    CSkimblerDoc document;
    document.OnNewDocument();
    RecoveryManager manager(&document, 0);
    m_messages->answers = {MessageBox::ResultLater, MessageBox::ResultRecover};
    QVERIFY(manager.OfferOrphans());
    QCOMPARE(m_messages->messages.size(), 2);
    QVERIFY(!m_messages->messages[0].text.contains(QStringLiteral("2020-01-0")));
    QVERIFY(m_messages->messages[1].text.contains(QStringLiteral("2020-01-0")));
    QCOMPARE(document.Settings().Points[2][0], 0.25f);
}

void TestRecovery::unreadableCopyIsReportedAndKept_data()
{
    QTest::addColumn<QString>("damaged");
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("surface not JSON") << QStringLiteral("gone.skimbler") << QByteArray("{\"format\": ");
    QTest::newRow("surface of another program") << QStringLiteral("gone.skimbler") << QByteArray("{}");
    QTest::newRow("description damaged") << QStringLiteral("gone.json") << QByteArray("[1, 2]");
    QTest::newRow("description empty") << QStringLiteral("gone.json") << QByteArray();
}

void TestRecovery::unreadableCopyIsReportedAndKept()
{
    QFETCH(QString, damaged);
    QFETCH(QByteArray, contents);
    LeaveOrphan(0.25f);
    const QDir folder(RecoveryManager::Folder());
    QFile file(folder.filePath(damaged));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
    file.close();
    const QStringList before = Listing();

    CSkimblerDoc document;
    document.OnNewDocument();
    RecoveryManager manager(&document, 0);
    QCOMPARE(manager.OfferOrphans(), false);
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages[0].buttons, MessageBox::Ok);
    QCOMPARE(m_messages->messages[0].detail, QDir::toNativeSeparators(folder.filePath(QStringLiteral("gone.skimbler"))));
    QVERIFY(!document.IsModified());
    for (const QString &name : before)
        QVERIFY2(QFile::exists(folder.filePath(name)) || name.endsWith(QLatin1String(".lock")), qPrintable(name));
}

void TestRecovery::failedCopyKeepsTheLastOneAndIsToldOnce_data()
{
    QTest::addColumn<QString>("call");
    QTest::newRow("disk full") << QStringLiteral("write");
    QTest::newRow("renames refused") << QStringLiteral("rename");
    // The small description would still fit: it must not tell of a newer copy.
    QTest::newRow("disk full for the copy alone") << QStringLiteral("write copy");
}

// While copies cannot be written the last good one stays whole and
// offerable, and the failure is said once however many intervals fail.
void TestRecovery::failedCopyKeepsTheLastOneAndIsToldOnce()
{
    QFETCH(QString, call);
    auto document = EditedDocument(0.25f);
    RecoveryManager manager(document.get(), kIntervalMs);
    QSignalSpy failed(&manager, &RecoveryManager::autosaveFailed);
    QTRY_VERIFY(QFile::exists(manager.CopyPath()));
    QString facts = manager.CopyPath();
    facts.replace(QStringLiteral(".skimbler"), QStringLiteral(".json"));
    const auto read = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray copyBefore = read(manager.CopyPath()), factsBefore = read(facts);

    skimbler::FileSystem::Calls failing = skimbler::FileSystem::System();
    if (call == QLatin1String("write"))
        failing.write = [](int, const void *, size_t) -> ssize_t { errno = ENOSPC; return -1; };
    else if (call == QLatin1String("write copy"))
        failing.write = [](int fd, const void *data, size_t size) -> ssize_t {
            if (QByteArray::fromRawData(static_cast<const char *>(data), qsizetype(size)).contains("skimbler-surface")) {
                errno = ENOSPC;
                return -1;
            }
            return ::write(fd, data, size);
        };
    else
        failing.rename = [](const char *, const char *) { errno = EACCES; return -1; };
    const skimbler::FileSystem::Calls previous = skimbler::FileSystem::Replace(failing);
    document->ChangeSettings(Moved(document->Settings(), 0.5f), QStringLiteral("Move"));
    QTest::qWait(3 * kIntervalMs);
    document->ChangeSettings(Moved(document->Settings(), 0.75f), QStringLiteral("Move"));
    QTest::qWait(3 * kIntervalMs);
    skimbler::FileSystem::Replace(previous);

    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.first().first().toString(),
             QString::fromLocal8Bit(std::strerror(call.startsWith(QLatin1String("write")) ? ENOSPC : EACCES)));
    QCOMPARE(read(manager.CopyPath()), copyBefore);
    QCOMPARE(read(facts), factsBefore);
}

// A data folder that cannot be written is said, not silently the end of
// every copy.
void TestRecovery::unwritableDataFolderIsTold()
{
    QFile blocker(Work("blocked"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", QFile::encodeName(Work("blocked")));
    auto document = EditedDocument(0.25f);
    RecoveryManager manager(document.get(), kIntervalMs);
    QSignalSpy failed(&manager, &RecoveryManager::autosaveFailed);
    QTRY_COMPARE(failed.size(), 1);
    // Which folder, and the system's reason: here a file stands where a folder should.
    const QString said = failed.first().first().toString();
    QVERIFY2(said.contains(QDir::toNativeSeparators(RecoveryManager::Folder()))
                 && said.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))),
             qPrintable(said));
    QTest::qWait(4 * kIntervalMs);
    QCOMPARE(failed.size(), 1);
}

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
