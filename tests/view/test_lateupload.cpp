// A large picture's texture is made on a thread while the view goes on
// drawing what it showed: one the document opens (and takes once it is
// made), and one the view meets on its own (an undo of Replace Image).
// Whatever the user does before that texture is whole (cancel, another
// open, a redo, New), and an upload OpenGL refuses, leaves the window
// showing what the user expects: never an older picture over a newer one.

#include "common/ViewHost.h"
#include "common/MessageRecorder.h"

#include "render/SurfaceTexture.h"
#include "render/TextureUpload.h"
#include "surface/DocumentLoader.h"

#include <QFileInfo>
#include <QThreadPool>
#include <QtTest>

using namespace ViewTest;

namespace {

// Every picture here, however small, goes through the thread.
constexpr long long kAlwaysPrepare = 1;

} // namespace

class TestLateUpload : public BareViewTest
{
    Q_OBJECT

private:
    std::unique_ptr<DocumentLoader> m_loader;
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    // The frame the view draws for `path` opened the plain way, at once.
    std::vector<unsigned char> frameOf(const QString &path)
    {
        if (path.isEmpty())
            m_document->OnNewDocument();
        else
            m_loader->Open(path);
        return RenderShown(m_view.get()).rgba;
    }
    // The decode done and its picture handed to the upload.
    void decodeArrives()
    {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(TgaTestFiles::WriteSolid(file("shown.tga"), 8, 8, qRgba(0, 70, 0, 255)));
        QVERIFY(TgaTestFiles::WriteSolid(file("first.tga"), 8, 8, qRgba(70, 0, 0, 255)));
        QVERIFY(TgaTestFiles::WriteSolid(file("second.tga"), 6, 6, qRgba(0, 0, 70, 255)));
        QVERIFY(openView(320, 240));
        m_loader = std::make_unique<DocumentLoader>(m_document.get());
        m_view->SetShowAxes(false);
        m_view->SetShowHandles(false);
        SurfaceTexture::SetPrepareFrom(kAlwaysPrepare);
    }
    void cleanup()
    {
        UploadThread::Hold(false);
        TextureUpload::SetMaxSideOverride(0);
        SurfaceTexture::SetPrepareFrom(0);
        m_loader.reset();
        closeView();
    }

    void userWinsOverTheUpload_data();
    void userWinsOverTheUpload();
    void firstDrawElsewhere_data();
    void firstDrawElsewhere();
};

void TestLateUpload::userWinsOverTheUpload_data()
{
    // How first.tga comes to be uploaded: opened ("open"), or shown again
    // by undoing its replacement by shown.tga ("undo").
    QTest::addColumn<QString>("via");
    QTest::addColumn<QString>("then");       // what the user does while first.tga uploads
    QTest::addColumn<bool>("uploadRuns");    // the upload under way (true) or not begun when they do it
    QTest::addColumn<QString>("expected");   // the picture then shown: the file opened, "" for New
    QTest::addColumn<QString>("image");     // the picture the document then holds
    const QString open = QStringLiteral("open"), undo = QStringLiteral("undo");
    QTest::newRow("nothing") << open << QString() << false << "first.tga" << "first.tga";
    QTest::newRow("cancel before it runs") << open << "cancel" << false << "shown.tga" << "shown.tga";
    QTest::newRow("cancel while it runs") << open << "cancel" << true << "shown.tga" << "shown.tga";
    QTest::newRow("newer open before it runs") << open << "open" << false << "second.tga" << "second.tga";
    QTest::newRow("newer open while it runs") << open << "open" << true << "second.tga" << "second.tga";
    QTest::newRow("new before it runs") << open << "new" << false << "" << "a.tga";
    QTest::newRow("new while it runs") << open << "new" << true << "" << "a.tga";
    // Refused: the surface is opened as before, its picture not made; the
    // texture shown stays the one before, and the user is told.
    QTest::newRow("texture refused") << open << "refuse" << false << "shown.tga" << "first.tga";
    QTest::newRow("undo") << undo << QString() << false << "first.tga" << "first.tga";
    QTest::newRow("undo, redo before it runs") << undo << "redo" << false << "shown.tga" << "shown.tga";
    QTest::newRow("undo, redo while it runs") << undo << "redo" << true << "shown.tga" << "shown.tga";
    QTest::newRow("undo, open while it runs") << undo << "open" << true << "second.tga" << "second.tga";
    QTest::newRow("undo, new while it runs") << undo << "new" << true << "" << "a.tga";
    // The document holds the picture undone to; the window keeps the
    // texture it has, and says why.
    QTest::newRow("undo, texture refused") << undo << "refuse" << false << "shown.tga" << "first.tga";
}

void TestLateUpload::userWinsOverTheUpload()
{
    QFETCH(QString, via);
    QFETCH(QString, then);
    QFETCH(bool, uploadRuns);
    QFETCH(QString, expected);
    QFETCH(QString, image);
    MessageRecorder recorder(m_view.get());
    recorder.Listen(m_document.get());

    // What each picture looks like when it is simply opened.
    const std::vector<unsigned char> expectedFrame
        = frameOf(expected.isEmpty() ? QString() : file(expected.toLatin1().constData()));
    const std::vector<unsigned char> firstFrame = frameOf(file("first.tga"));
    const std::vector<unsigned char> shownFrame = frameOf(file("shown.tga"));
    QVERIFY(firstFrame != shownFrame);

    if (via == QLatin1String("undo")) {
        frameOf(file("first.tga"));
        QVERIFY(m_loader->Replace(file("shown.tga")));
        QVERIFY(RenderShown(m_view.get()).rgba == shownFrame);
        UploadThread::Hold(true);
        m_document->UndoStack()->undo();
        // The document holds first.tga again; the window, until its
        // texture is whole, the picture it showed.
        QCOMPARE(QFileInfo(m_document->GetImagePath()).fileName(), QStringLiteral("first.tga"));
    } else {
        UploadThread::Hold(true);
        QVERIFY(m_loader->BeginOpen(file("first.tga")));
        decodeArrives();
        // Decoded, not yet a texture: still loading, the old picture drawn.
        QVERIFY(m_loader->IsLoading());
        QCOMPARE(QFileInfo(m_document->GetImagePath()).fileName(), QStringLiteral("shown.tga"));
    }
    QVERIFY(RenderAndRead(m_view.get()).rgba == shownFrame);

    if (uploadRuns)
        UploadThread::Hold(false);
    if (then == QLatin1String("cancel")) {
        m_loader->Cancel();
    } else if (then == QLatin1String("open")) {
        QVERIFY(m_loader->BeginOpen(file("second.tga")));
    } else if (then == QLatin1String("redo")) {
        m_document->UndoStack()->redo();
    } else if (then == QLatin1String("new")) {
        m_document->OnNewDocument();
    } else if (then == QLatin1String("refuse")) {
        TextureUpload::SetMaxSideOverride(4);
    }
    UploadThread::Hold(false);
    decodeArrives();
    QTRY_VERIFY(!m_loader->IsLoading());
    // A late texture would arrive within this.
    QTest::qWait(200);
    QCOMPARE(QFileInfo(m_document->GetImagePath()).fileName(), image);
    QVERIFY(RenderShown(m_view.get()).rgba == expectedFrame);
    if (then == QLatin1String("refuse")) {
        QTRY_COMPARE(recorder.texts().size(), 1);
        QVERIFY2(recorder.texts().first().contains(QStringLiteral("8 x 8")), qPrintable(recorder.texts().first()));
    } else {
        QVERIFY2(recorder.texts().isEmpty(), qPrintable(recorder.texts().join(QLatin1Char('\n'))));
    }
}

void TestLateUpload::firstDrawElsewhere_data()
{
    // The window's paint lends its context for the first draw of a texture
    // made on the thread; what the user does while it is away.
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing") << QString() << "first.tga";
    QTest::newRow("paint again") << "paint" << "first.tga";
    QTest::newRow("read the frame") << "read" << "first.tga";
    QTest::newRow("newer open") << "open" << "second.tga";
    QTest::newRow("new") << "new" << "";
}

void TestLateUpload::firstDrawElsewhere()
{
    QFETCH(QString, then);
    QFETCH(QString, expected);
    const std::vector<unsigned char> expectedFrame
        = frameOf(expected.isEmpty() ? QString() : file(expected.toLatin1().constData()));
    frameOf(file("shown.tga"));
    QVERIFY(m_loader->BeginOpen(file("first.tga")));
    decodeArrives();
    QTRY_VERIFY(!m_loader->IsLoading());
    m_view->OnPaint();
    if (then == QLatin1String("paint"))
        m_view->OnPaint();
    else if (then == QLatin1String("read"))
        QVERIFY(RenderAndRead(m_view.get()).rgba == expectedFrame);
    else if (then == QLatin1String("open"))
        QVERIFY(m_loader->BeginOpen(file("second.tga")));
    else if (then == QLatin1String("new"))
        m_document->OnNewDocument();
    decodeArrives();
    QTRY_VERIFY(!m_loader->IsLoading());
    QTest::qWait(100);
    QVERIFY(RenderShown(m_view.get()).rgba == expectedFrame);
}

QTEST_MAIN(TestLateUpload)
#include "test_lateupload.moc"
