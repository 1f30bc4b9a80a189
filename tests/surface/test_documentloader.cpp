// The loader on a document with no window: what ends an open whose picture
// a drawer is still preparing, and which image file the watch follows as
// the document's picture changes.

#include "common/MessageRecorder.h"
#include "common/TgaTestFiles.h"

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"
#include "surface/ImagePreparer.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <functional>
#include <utility>

namespace {

// A drawer whose preparation ends when the test says so.
class HeldPreparer : public ImagePreparer
{
public:
    bool PrepareImage(std::shared_ptr<const PixelImage>, std::function<void()> ready) override
    {
        m_ready = std::move(ready);
        return true;
    }
    void DropPreparedImage() override
    {
        ++dropped;
        m_ready = nullptr;
    }
    std::function<void()> m_ready;
    int dropped = 0;
};

// Lets every worker finish and every delivery arrive.
void Settle()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestDocumentLoader : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString Path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(TgaTestFiles::WriteSolid(Path(QStringLiteral("old.tga")), 4, 4, qRgba(0, 80, 0, 255)));
        QVERIFY(TgaTestFiles::WriteSolid(Path(QStringLiteral("new.tga")), 6, 2, qRgba(80, 0, 0, 255)));
    }

    void preparedOpenEnds_data();
    void preparedOpenEnds();
    void watchFollowsShownImage_data();
    void watchFollowsShownImage();
};

void TestDocumentLoader::preparedOpenEnds_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QStringList>("heard");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("dropped");
    const QStringList ended{QStringLiteral("started new.tga"), QStringLiteral("ended")};
    QTest::newRow("prepared") << QStringLiteral("ready") << ended + QStringList{QStringLiteral("opened new.tga")}
                              << QStringLiteral("new.tga") << 0;
    QTest::newRow("cancelled") << QStringLiteral("cancel") << ended << QStringLiteral("old.tga") << 1;
    // The document's own resets reach the loader.
    QTest::newRow("new document") << QStringLiteral("new") << ended << QString() << 1;
    QTest::newRow("recovered document") << QStringLiteral("recover") << ended << QStringLiteral("old.tga") << 1;
    QTest::newRow("preparer gone") << QStringLiteral("no preparer") << ended << QStringLiteral("old.tga") << 1;
    QTest::newRow("another preparer") << QStringLiteral("other preparer") << ended << QStringLiteral("old.tga") << 1;
    // A `ready` that comes after the load was dropped changes nothing.
    QTest::newRow("late ready") << QStringLiteral("late ready") << ended << QStringLiteral("old.tga") << 1;
}

void TestDocumentLoader::preparedOpenEnds()
{
    QFETCH(QString, then);
    QFETCH(QStringList, heard);
    QFETCH(QString, shown);
    QFETCH(int, dropped);
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    document.SetNewDocumentsEmpty(true);
    DocumentLoader loader(&document);
    QVERIFY(loader.Open(Path(QStringLiteral("old.tga"))));
    HeldPreparer preparer;
    HeldPreparer other;
    document.SetImagePreparer(&preparer);

    QStringList events;
    const auto name = [](const QString &path) { return QFileInfo(path).fileName(); };
    connect(&loader, &DocumentLoader::loadStarted, this,
            [&](const QString &path, bool) { events << QStringLiteral("started ") + name(path); });
    connect(&loader, &DocumentLoader::loadEnded, this, [&] { events << QStringLiteral("ended"); });
    connect(&loader, &DocumentLoader::documentOpened, this,
            [&](const QString &path) { events << QStringLiteral("opened ") + name(path); });
    connect(&loader, &DocumentLoader::openFailed, this,
            [&](const QString &path) { events << QStringLiteral("failed ") + name(path); });

    QVERIFY(loader.BeginOpen(Path(QStringLiteral("new.tga"))));
    Settle();
    // Decoded, still being prepared: under way, nothing changed yet.
    QVERIFY(preparer.m_ready);
    QVERIFY(loader.IsLoading());
    QCOMPARE(name(document.GetImagePath()), QStringLiteral("old.tga"));

    const std::function<void()> ready = preparer.m_ready;
    if (then == QLatin1String("ready")) {
        ready();
    } else if (then == QLatin1String("cancel")) {
        loader.Cancel();
    } else if (then == QLatin1String("new")) {
        document.OnNewDocument();
    } else if (then == QLatin1String("recover")) {
        document.OnRecoverDocument(document.Settings(), Path(QStringLiteral("old.tga")), QString());
    } else if (then == QLatin1String("no preparer")) {
        document.SetImagePreparer(nullptr);
    } else if (then == QLatin1String("other preparer")) {
        document.SetImagePreparer(&other);
    } else if (then == QLatin1String("late ready")) {
        loader.Cancel();
        ready();
    }
    Settle();
    QCOMPARE(events, heard);
    QVERIFY(!loader.IsLoading());
    QCOMPARE(name(document.GetImagePath()), shown);
    QCOMPARE(preparer.dropped, dropped);
    QCOMPARE(other.dropped, 0);
    QVERIFY2(recorder.messages.isEmpty(), qPrintable(recorder.texts().join(QLatin1Char('\n'))));
}

void TestDocumentLoader::watchFollowsShownImage_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("watched");
    QTest::newRow("opened") << QStringLiteral("open") << QStringLiteral("new.tga");
    QTest::newRow("replaced") << QStringLiteral("replace") << QStringLiteral("new.tga");
    // The command's undo and redo move the watch with the picture.
    QTest::newRow("replacement undone") << QStringLiteral("undo") << QStringLiteral("old.tga");
    QTest::newRow("replacement redone") << QStringLiteral("redo") << QStringLiteral("new.tga");
    // A loader made for a document that already shows an image.
    QTest::newRow("loader made later") << QStringLiteral("later") << QStringLiteral("new.tga");
}

void TestDocumentLoader::watchFollowsShownImage()
{
    QFETCH(QString, how);
    QFETCH(QString, watched);
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    std::unique_ptr<DocumentLoader> loader;
    if (how == QLatin1String("later")) {
        QVERIFY(DocumentLoader(&document).Open(Path(QStringLiteral("new.tga"))));
        loader = std::make_unique<DocumentLoader>(&document);
    } else {
        loader = std::make_unique<DocumentLoader>(&document);
        QVERIFY(loader->Open(Path(how == QLatin1String("open") ? QStringLiteral("new.tga") : QStringLiteral("old.tga"))));
    }
    if (how != QLatin1String("open") && how != QLatin1String("later"))
        QVERIFY(loader->Replace(Path(QStringLiteral("new.tga"))));
    if (how == QLatin1String("undo") || how == QLatin1String("redo"))
        document.UndoStack()->undo();
    if (how == QLatin1String("redo"))
        document.UndoStack()->redo();
    QCOMPARE(QFileInfo(document.GetImagePath()).fileName(), watched);
    QSignalSpy reloaded(loader.get(), &DocumentLoader::imageReloaded);

    // Both files rewritten at another size: only the one shown is read again.
    QVERIFY(TgaTestFiles::WriteSolid(Path(QStringLiteral("old.tga")), 3, 5, qRgba(0, 0, 80, 255)));
    QVERIFY(TgaTestFiles::WriteSolid(Path(QStringLiteral("new.tga")), 3, 5, qRgba(0, 0, 80, 255)));
    QTRY_COMPARE(document.GetSurface().Width, 3u);
    QCOMPARE(document.GetSurface().Height, 5u);
    QVERIFY(!reloaded.isEmpty());
    for (const QList<QVariant> &path : reloaded)
        QCOMPARE(path.first().toString(), Path(watched));
    QVERIFY2(recorder.messages.isEmpty(), qPrintable(recorder.texts().join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestDocumentLoader)
#include "test_documentloader.moc"
