#include "common/SettingsThroughCommand.h"
#include "common/FrameWidgets.h"
#include "app/CMainFrame.h"
#include "app/CNumberEdit.h"
#include "app/CSkimblerApp.h"
#include "app/LoadProgress.h"
#include "app/ViewPrinter.h"
#include "common/MessageBoxRecorder.h"
#include "common/ScriptedDialogs.h"
#include "common/TgaTestFiles.h"
#include "panels/CColorsPanel.h"
#include "panels/CFlagsPanel.h"
#include "panels/CPropertyList.h"
#include "panels/CPropertyPanel.h"
#include "render/GraphicalInterface.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"
#include "view/CSkimblerView.h"

#include <skimbler/SurfaceFile.h>

#include <QAction>
#include <QBuffer>
#include <QThreadPool>
#include <QToolButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <GL/gl.h>

namespace SurfaceFile = skimbler::SurfaceFile;
using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORKEY;
using skimbler::SurfaceSettings;

class TestApplication : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<MessageBoxRecorder> m_messages;
    std::unique_ptr<CSkimblerApp> m_app;
    // The application's dialogs, answered by each test.
    ScriptedDialogs *m_dialogs = nullptr;
    QString m_oldCwd;

    bool Start(const QStringList &arguments = {})
    {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        m_dialogs = dialogs.get();
        m_app = std::make_unique<CSkimblerApp>(std::move(dialogs));
        return m_app->InitInstance(arguments) && Settle();
    }
    // Until no picture is being decoded for the document.
    bool Settle() const
    {
        return QTest::qWaitFor([this] { return !Loader()->IsLoading(); }, 20000);
    }
    // File > Open of `path` to its end: whether the surface is now that file's.
    bool Open(const QString &path) const
    {
        QSignalSpy opened(Loader(), &DocumentLoader::documentOpened);
        return m_app->OpenDocumentFile(path) && Settle() && opened.count() == 1;
    }
    CSkimblerDoc *Doc() const { return m_app->GetDocument(); }
    DocumentLoader *Loader() const { return m_app->GetLoader(); }
    CSkimblerView *View() const { return m_app->GetActiveView(); }
    QString Work(const char *name) const { return m_work->filePath(QString::fromLatin1(name)); }
    // Drags `path` onto the main window (or the view's own window, which Qt
    // hands drags over it to) and drops it; true when it was taken.
    bool Drop(const QString &path, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool onView = false) const
    {
        QObject *frame = onView ? static_cast<QObject *>(View()) : m_app->GetMainWnd();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(frame, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(frame, &dropped);
        return dropped.isAccepted();
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startUpShowsTheLoadedSurface();
    void mainWindowIsMaximisedWhateverWasAsked();
    void missingImageStartsUntextured_data();
    void missingImageStartsUntextured();
    void desktopStartIsEmpty_data();
    void desktopStartIsEmpty();
    void fileNewRereadsTheImageAndResetsCorners();
    void recentListKeepsFourNewestFirst();
    void saveQuestion_data();
    void saveQuestion();
    void exitAsksAndCancelKeepsTheWindow();
    void openRestoresEverythingAndPanelsFollow();
    void openOfBrokenFileKeepsTheSurface();
    void failedSaveKeepsTheModifiedFlag();
    void saveAsNeverReplacesTheSurfacesPicture();
    void saveOverAFileChangedOnDiskAsks_data();
    void saveOverAFileChangedOnDiskAsks();
    void savedSurfaceIsCleanAndExitAsksNothing_data();
    void savedSurfaceIsCleanAndExitAsksNothing();
    void recentEntryThatCannotOpenLeavesTheList_data();
    void recentEntryThatCannotOpenLeavesTheList();
    void saveOverAFileSizeLimitIsReportedNotFatal();
    void commandLineOpensAFile();
    void shortcutsWorkAfterClickingTheView();
    void helpKeyOpensTheGuide();
    void quitKey_data();
    void quitKey();
    void printedPictureIsTheViewsPicture();
    void toolWindowsShowAsLeftAfterQuitting_data();
    void toolWindowsShowAsLeftAfterQuitting();
    void hiddenToolWindowsComeBackFromTheMenu_data();
    void hiddenToolWindowsComeBackFromTheMenu();
    void cornerColourIsDrawnUndoneAndSaved();
    void droppedFileOpensAfterTheSaveQuestion();
    void fileDialogsStartWhereTheSurfaceIs();
    void targetScreenIsRememberedAtTheNextStart_data();
    void targetScreenIsRememberedAtTheNextStart();
    void replacedImageKeepsTheSettings_data();
    void replacedImageKeepsTheSettings();
    void rewrittenImageIsRedrawnAndAFailureOnlyInTheStatusBar();
    void cancelledOpenKeepsTheSurface_data();
    void cancelledOpenKeepsTheSurface();
    void lateDecodeLosesToWhatCameSince_data();
    void lateDecodeLosesToWhatCameSince();
    void decodeFailingOnTheWorkerIsReportedAsBefore_data();
    void decodeFailingOnTheWorkerIsReportedAsBefore();
    void pacedProgressEndsOnTheLastValue_data();
    void pacedProgressEndsOnTheLastValue();
};

// Quitting hides the tool windows with the main window; they come back
// the next time as the user left them.
void TestApplication::toolWindowsShowAsLeftAfterQuitting_data()
{
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<QList<int>>("hidden");
    const int colors = Resource::ID_VIEW_COLORS_WINDOW;
    QTest::newRow("File > Exit, all showing") << true << QList<int>{};
    QTest::newRow("close box, all showing") << false << QList<int>{};
    QTest::newRow("File > Exit, Colors hidden") << true << QList<int>{colors};
    QTest::newRow("close box, Colors hidden") << false << QList<int>{colors};
}

void TestApplication::toolWindowsShowAsLeftAfterQuitting()
{
    QFETCH(bool, byMenu);
    QFETCH(QList<int>, hidden);
    const int windows[] = {Resource::ID_VIEW_PROPERTY_WINDOW, Resource::ID_VIEW_FLAGS_WINDOW,
                           Resource::ID_VIEW_COLORS_WINDOW};
    QVERIFY(Start());
    CMainFrame *frame = m_app->GetMainWnd();
    for (int command : hidden) {
        frame->CommandAction(command)->trigger();
        QVERIFY(frame->ToolWindow(command)->isHidden());
    }
    // As in the program: the event loop runs, and closing the main window
    // ends it (with every window still open closed on the way).
    QTimer::singleShot(0, frame, [frame, byMenu] {
        if (byMenu)
            frame->CommandAction(Resource::ID_APP_EXIT)->trigger();
        else
            frame->close();
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
    guard.start(10000);
    QApplication::exec();
    QVERIFY(guard.isActive());
    QVERIFY(!frame->isVisible());
    m_app.reset();

    QVERIFY(Start());
    frame = m_app->GetMainWnd();
    for (int command : windows) {
        const bool shown = !hidden.contains(command);
        QCOMPARE(frame->ToolWindow(command)->isVisible(), shown);
        QCOMPARE(frame->IsButtonChecked(command), shown);
    }
}

void TestApplication::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    // Automatic copies go beside the settings, away from the user's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_settings.path()));
    m_oldCwd = QDir::currentPath();
}

void TestApplication::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir::setCurrent(m_work->path()));
    QVERIFY(TgaTestFiles::WriteSolid(Work("a.tga"), 8, 4, qRgba(0, 0, 255, 255)));
    m_messages = std::make_unique<MessageBoxRecorder>();
    QSettings().remove(QStringLiteral("Recent File List"));
    QSettings().remove(QStringLiteral("Tool Windows"));
}

void TestApplication::cleanup()
{
    m_app.reset();
    m_messages.reset();
    QDir::setCurrent(m_oldCwd);
    m_work.reset();
}

void TestApplication::startUpShowsTheLoadedSurface()
{
    QVERIFY(Start());
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(Doc()->GetSurface().Width, 8u);
    QCOMPARE(Doc()->GetSurface().Height, 4u);
    QCOMPARE(m_app->GetMainWnd()->windowTitle(), QStringLiteral("Skimbl[*] - Skimbler"));

    const CSkimblerView *view = View();
    QVERIFY(view);
    QVERIFY(m_app->GetMainWnd()->PropertyPanel() && m_app->GetMainWnd()->FlagsPanel());
    QVERIFY(m_app->GetMainWnd()->PropertyPanel()->isVisible());
    QVERIFY(m_app->GetMainWnd()->FlagsPanel()->isVisible());
    // The panels read the loaded surface.
    QCOMPARE(m_app->GetMainWnd()->PropertyPanel()->m_list->item(4, 1)->text(), QStringLiteral("8"));
    QCOMPARE(m_app->GetMainWnd()->FlagsPanel()->m_list->item(1, 0)->checkState(), Qt::Checked);
    QCOMPARE(m_app->GetMainWnd()->FlagsPanel()->m_list->item(0, 0)->checkState(), Qt::Unchecked);

    // Flags sits at the screen's left edge, right below Property, and both
    // stay on the screen even where, as here without a window manager, the
    // view's corner is not (test_desktop checks the placement under one).
    const QRect screen = m_app->GetMainWnd()->PropertyPanel()->screen()->availableGeometry();
    const QRect property = m_app->GetMainWnd()->PropertyPanel()->frameGeometry();
    QVERIFY(screen.contains(property));
    QVERIFY(screen.contains(m_app->GetMainWnd()->FlagsPanel()->frameGeometry()));
    QCOMPARE(m_app->GetMainWnd()->FlagsPanel()->frameGeometry().topLeft(), QPoint(0, property.y() + property.height()));
}

void TestApplication::mainWindowIsMaximisedWhateverWasAsked()
{
    // Options that are not file names (the toolkit's own) open no file.
    QVERIFY(Start({QStringLiteral("-style"), QStringLiteral("-reverse")}));
    QVERIFY(m_app->GetMainWnd()->windowState() & Qt::WindowMaximized);
    QVERIFY(m_app->GetMainWnd()->isVisible());
}

void TestApplication::missingImageStartsUntextured_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << QStringLiteral("missing");
    // A pipe without a writer must not hold up the start.
    QTest::newRow("named pipe") << QStringLiteral("pipe");
    QTest::newRow("folder") << QStringLiteral("folder");
}

void TestApplication::missingImageStartsUntextured()
{
    QFETCH(QString, kind);
    QFile::remove(Work("a.tga"));
    if (kind == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(Work("a.tga")).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("a.tga")));
    ::alarm(60);  // a blocked open ends the test instead of hanging it
    const bool started = Start();
    ::alarm(0);
    QVERIFY(started);
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("Could not open texture file")});
    QCOMPARE(m_messages->messages.first().caption, QStringLiteral("ERROR"));
    QVERIFY(!Doc()->Image());
    QCOMPARE(Doc()->GetSurface().Width, 0u);
    QCOMPARE(Doc()->GetSurface().Flags, 0x3Eu);
}

void TestApplication::desktopStartIsEmpty_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("imageThere");
    QTest::addColumn<unsigned>("width");
    // The desktop entry starts the program wherever the launcher stands.
    QTest::newRow("--new, no a.tga") << QStringList{QStringLiteral("--new")} << false << 0u;
    QTest::newRow("--new, a.tga there") << QStringList{QStringLiteral("--new")} << true << 0u;
    QTest::newRow("--new after other options")
        << QStringList{QStringLiteral("-x"), QStringLiteral("--new")} << true << 0u;
    QTest::newRow("by hand in a folder with a.tga") << QStringList{} << true << 8u;
}

// Started and then File > New: the same surface both times, and no message.
void TestApplication::desktopStartIsEmpty()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, imageThere);
    QFETCH(unsigned, width);
    if (!imageThere)
        QFile::remove(Work("a.tga"));
    QVERIFY(Start(arguments));
    for (int pass = 0; pass < 2; ++pass) {
        QCOMPARE(m_messages->texts(), QStringList{});
        QCOMPARE(Doc()->GetSurface().Width, width);
        QCOMPARE(m_app->GetActiveView()->SurfaceTexture() != 0, width != 0);
        QCOMPARE(Doc()->GetImagePath().isEmpty(), width == 0);
        QCOMPARE(Doc()->GetSurface().Flags, 0x3Eu);
        QVERIFY(Doc()->GetPathName().isEmpty());
        QVERIFY(!Doc()->IsModified());
        ArrangeThroughCommand(*Doc(), [](auto &s) { s.Points[0][0] = 0.25f; });
        m_app->OnCommand(Resource::ID_FILE_NEW);
        QCOMPARE(Doc()->GetSurface().Points[0][0], -4.0f / 3.0f);
    }
}

void TestApplication::fileNewRereadsTheImageAndResetsCorners()
{
    QVERIFY(Start());
    ArrangeThroughCommand(*Doc(), [](auto &s) {
        s.Points[0][0] = 0.25f;
        s.Flags |= SURFACE_FLAG_COLORKEY;
    });
    QVERIFY(TgaTestFiles::WriteSolid(Work("a.tga"), 16, 2, qRgba(255, 0, 0, 255)));
    m_app->OnCommand(Resource::ID_FILE_NEW);
    QCOMPARE(Doc()->GetSurface().Width, 16u);
    QCOMPARE(Doc()->GetSurface().Height, 2u);
    QCOMPARE(Doc()->GetSurface().Points[0][0], -4.0f / 3.0f);
    QCOMPARE(Doc()->GetSurface().Flags, 0x3Fu);  // the colour-key bit stays
    QVERIFY(!Doc()->IsModified());
    // The panels follow the new document.
    QCOMPARE(m_app->GetMainWnd()->PropertyPanel()->m_list->item(4, 1)->text(), QStringLiteral("16"));
    QCOMPARE(m_app->GetMainWnd()->FlagsPanel()->m_list->item(0, 0)->checkState(), Qt::Checked);
}

void TestApplication::recentListKeepsFourNewestFirst()
{
    QVERIFY(Start());
    QStringList written;
    for (int i = 0; i < 6; ++i) {
        const QString path = m_work->filePath(QStringLiteral("s%1.skimbler").arg(i));
        QVERIFY(Doc()->OnSaveDocument(path));
        written << path;
    }
    for (const QString &path : written)
        QVERIFY(Open(path));
    QVERIFY(Open(written.at(3)));  // again: moves to the front
    const QStringList expected{written.at(3), written.at(5), written.at(4), written.at(2)};
    QCOMPARE(m_app->RecentFiles().Paths(), expected);
    // Kept for the next start.
    m_app.reset();
    QVERIFY(Start());
    QCOMPARE(m_app->RecentFiles().Paths(), expected);
    m_app->OnCommand(Resource::ID_FILE_MRU_FILE1 + 1);
    QVERIFY(Settle());
    QCOMPARE(Doc()->GetPathName(), written.at(5));
}

void TestApplication::saveQuestion_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("proceeds");
    QTest::addColumn<bool>("saved");
    const int n = Resource::ID_FILE_NEW, o = Resource::ID_FILE_OPEN;
    QTest::newRow("new, cancel") << n << int(MessageBox::ResultCancel) << false << false;
    QTest::newRow("new, discard") << n << int(MessageBox::ResultDiscard) << true << false;
    QTest::newRow("new, save") << n << int(MessageBox::ResultSave) << true << true;
    QTest::newRow("open, cancel") << o << int(MessageBox::ResultCancel) << false << false;
    QTest::newRow("open, discard") << o << int(MessageBox::ResultDiscard) << true << false;
    QTest::newRow("open, save") << o << int(MessageBox::ResultSave) << true << true;
}

void TestApplication::saveQuestion()
{
    QFETCH(int, command);
    QFETCH(int, answer);
    QFETCH(bool, proceeds);
    QFETCH(bool, saved);
    QVERIFY(Start());
    const QString other = Work("other.skimbler");
    EditThroughCommand(*Doc(), [](auto &s) { s.DestFactor = 771; });
    QVERIFY(Doc()->OnSaveDocument(other));
    QVERIFY(m_app->OnCommand(Resource::ID_FILE_NEW));

    EditThroughCommand(*Doc(), [](auto &s) { s.Points[2][1] = 0.5f; });
    Doc()->SetModifiedFlag(true);
    const QString savedPath = Work("mine.skimbler");
    m_dialogs->savePath = [&](const QString &) { return savedPath; };
    m_dialogs->openPath = [&](const QString &) { return other; };
    m_messages->answers << MessageBox::Result(answer);

    m_app->OnCommand(command);
    QVERIFY(Settle());
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages.first().buttons, MessageBox::SaveDiscardCancel);
    QCOMPARE(QFile::exists(savedPath), saved);
    if (proceeds) {
        QVERIFY(!Doc()->IsModified());
        QCOMPARE(Doc()->GetSurface().Points[2][1], 1.0f);
        QCOMPARE(Doc()->GetSurface().DestFactor, command == Resource::ID_FILE_OPEN ? 771u : 1u);
    } else {
        QVERIFY(Doc()->IsModified());
        QCOMPARE(Doc()->GetSurface().Points[2][1], 0.5f);
    }
}

void TestApplication::exitAsksAndCancelKeepsTheWindow()
{
    QVERIFY(Start());
    Doc()->SetModifiedFlag(true);
    m_messages->answers << MessageBox::ResultCancel;
    m_app->OnCommand(Resource::ID_APP_EXIT);
    QVERIFY(m_app->GetMainWnd()->isVisible());
    QCOMPARE(m_messages->messages.size(), 1);

    m_messages->answers << MessageBox::ResultDiscard;
    m_app->OnCommand(Resource::ID_APP_EXIT);
    QVERIFY(!m_app->GetMainWnd()->isVisible());
}

void TestApplication::openRestoresEverythingAndPanelsFollow()
{
    QVERIFY(Start());
    EditThroughCommand(*Doc(), [](auto &s) {
        s.MinFilter = 9984;
        s.SrcFactor = 774;
        s.Flags = 0x2B;
        s.Points[3][0] = 0.75f;
        s.Points[3][2] = -0.5f;
    });
    const Surface &s = Doc()->GetSurface();
    const QString path = Work("kept.skimbler");
    QVERIFY(Doc()->OnSaveDocument(path));
    QCOMPARE(m_app->GetMainWnd()->windowTitle(), QStringLiteral("kept.skimbler[*] - Skimbler"));
    m_app->OnCommand(Resource::ID_FILE_NEW);
    QCOMPARE(s.MinFilter, 9729u);

    m_app->GetMainWnd()->CommandAction(Resource::ID_POINT_3)->trigger();
    QVERIFY(Open(path));
    QCOMPARE(s.MinFilter, 9984u);
    QCOMPARE(s.SrcFactor, 774u);
    QCOMPARE(s.Flags, 0x2Bu);
    QCOMPARE(s.Width, 8u);
    QVERIFY(Doc()->Image());
    QCOMPARE(m_app->GetMainWnd()->PropertyPanel()->m_list->item(8, 1)->text(), QStringLiteral("GL_NEAREST_MIPMAP_NEAREST"));
    QCOMPARE(m_app->GetMainWnd()->FlagsPanel()->m_list->item(2, 0)->checkState(), Qt::Unchecked);
    QCOMPARE(FrameWidget<CNumberEdit>(m_app->GetMainWnd(), "xEdit")->text(), QStringLiteral("0.750000"));
    QCOMPARE(FrameWidget<CNumberEdit>(m_app->GetMainWnd(), "zEdit")->text(), QStringLiteral("-0.500000"));
    QVERIFY(!Doc()->IsModified());

    // A TGA opens as a fresh surface on that image.
    QVERIFY(TgaTestFiles::WriteSolid(Work("wide.tga"), 32, 1, qRgba(1, 2, 3, 4)));
    QVERIFY(Open(Work("wide.tga")));
    QCOMPARE(s.Width, 32u);
    QCOMPARE(s.MinFilter, 9729u);
    QVERIFY(Doc()->GetPathName().isEmpty());
}

void TestApplication::openOfBrokenFileKeepsTheSurface()
{
    QVERIFY(Start());
    EditThroughCommand(*Doc(), [](auto &s) { s.Points[1][1] = 0.125f; });
    QFile broken(Work("broken.skimbler"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{\"format\": \"skimbler-surface\", \"version\": 1, \"surf");
    broken.close();
    const std::uint64_t image = Doc()->ImageRevision();
    QVERIFY(!Open(Work("broken.skimbler")));
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_messages->messages.first().text.contains(QStringLiteral("broken.skimbler")));
    QCOMPARE(Doc()->GetSurface().Points[1][1], 0.125f);
    QCOMPARE(Doc()->ImageRevision(), image);

    QFile notTga(Work("fake.tga"));
    QVERIFY(notTga.open(QIODevice::WriteOnly));
    notTga.write("not an image");
    notTga.close();
    QVERIFY(!Open(Work("fake.tga")));
    QCOMPARE(Doc()->GetSurface().Points[1][1], 0.125f);
    QCOMPARE(Doc()->ImageRevision(), image);
    QVERIFY(m_app->RecentFiles().Paths().isEmpty());
}

void TestApplication::saveOverAFileChangedOnDiskAsks_data()
{
    QTest::addColumn<bool>("theirs");     // another program wrote the file
    QTest::addColumn<bool>("recovered");  // the surface came back from a crash
    QTest::addColumn<int>("answer");
    const int overwrite = MessageBox::ResultOverwrite, elsewhere = MessageBox::ResultSaveAs;
    const int cancel = MessageBox::ResultCancel;
    QTest::newRow("unchanged file") << false << false << cancel;
    QTest::newRow("changed, overwrite") << true << false << overwrite;
    QTest::newRow("changed, save elsewhere") << true << false << elsewhere;
    QTest::newRow("changed, cancel") << true << false << cancel;
    QTest::newRow("recovered, unchanged") << false << true << cancel;
    QTest::newRow("recovered, changed, cancel") << true << true << cancel;
}

void TestApplication::saveOverAFileChangedOnDiskAsks()
{
    QFETCH(bool, theirs);
    QFETCH(bool, recovered);
    QFETCH(int, answer);
    QVERIFY(Start());
    const QString file = Work("mine.skimbler");
    QVERIFY(Doc()->OnSaveDocument(file));
    if (recovered)
        Doc()->OnRecoverDocument(Doc()->Settings(), Doc()->GetImagePath(), file, 0, 0, Doc()->DiskStamp());
    const auto bytes = [&file] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    if (theirs) {
        QFile other(file);
        QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate) && other.write("theirs") == 6);
    }
    const QByteArray before = bytes();
    EditThroughCommand(*Doc(), [](auto &s) { s.Points[2][1] = 0.5f; });
    Doc()->SetModifiedFlag(true);
    const QString elsewhere = Work("elsewhere.skimbler");
    m_dialogs->savePath = [&](const QString &) { return elsewhere; };
    m_messages->answers << MessageBox::Result(answer);

    const bool saved = m_app->OnCommand(Resource::ID_FILE_SAVE) && !Doc()->IsModified();
    QCOMPARE(m_messages->messages.size(), theirs ? 1 : 0);
    if (theirs) {
        QCOMPARE(m_messages->messages.first().buttons, MessageBox::OverwriteSaveAsCancel);
        QCOMPARE(m_messages->messages.first().detail, QDir::toNativeSeparators(file));
        QVERIFY(m_messages->messages.first().text.contains(QStringLiteral("mine.skimbler")));
    }
    const bool overwritten = !theirs || answer == MessageBox::ResultOverwrite;
    QCOMPARE(saved, overwritten || answer == MessageBox::ResultSaveAs);
    QCOMPARE(bytes() == before, !overwritten);
    QCOMPARE(QFile::exists(elsewhere), theirs && answer == MessageBox::ResultSaveAs);
    // Once written here, the next save has nothing to ask.
    if (saved) {
        Doc()->SetModifiedFlag(true);
        QVERIFY(m_app->OnFileSave());
        QCOMPARE(m_messages->messages.size(), theirs ? 1 : 0);
    }
}

void TestApplication::failedSaveKeepsTheModifiedFlag()
{
    QVERIFY(Start());
    Doc()->SetModifiedFlag(true);
    QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("folder.skimbler")));
    m_dialogs->savePath = [&](const QString &) { return Work("folder.skimbler"); };
    QVERIFY(!m_app->OnFileSaveAs());
    QVERIFY(Doc()->IsModified());
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_messages->messages.first().text.contains(QStringLiteral("folder.skimbler")));
    QVERIFY(Doc()->GetPathName().isEmpty());
}

// Qt's dialog asks only whether to replace a file; over the surface's own
// picture the answer would cost the picture, so it is refused in words.
void TestApplication::saveAsNeverReplacesTheSurfacesPicture()
{
    QVERIFY(Start());
    const QString picture = Work("poster.tga");
    QVERIFY(TgaTestFiles::WriteSolid(picture, 4, 2, qRgba(90, 0, 0, 255)));
    QVERIFY(Open(picture));
    QFile file(picture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    Doc()->SetModifiedFlag(true);
    m_dialogs->savePath = [&](const QString &) { return picture; };
    QVERIFY(!m_app->OnFileSaveAs());
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY2(m_messages->messages.first().text.contains(QStringLiteral("poster.tga is the picture this surface shows")),
             qPrintable(m_messages->messages.first().text));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QVERIFY(Doc()->IsModified());
    QVERIFY(Doc()->GetPathName().isEmpty());
}

void TestApplication::savedSurfaceIsCleanAndExitAsksNothing_data()
{
    QTest::addColumn<QString>("named");     // the document's file before the save, if any
    QTest::addColumn<QString>("answered");  // what the user types in the save dialog
    QTest::addColumn<QString>("written");
    QTest::newRow("save as, name without extension") << QString() << QStringLiteral("plain") << QStringLiteral("plain.skimbler");
    QTest::newRow("save as, our extension") << QString() << QStringLiteral("mine.skimbler") << QStringLiteral("mine.skimbler");
    QTest::newRow("save as, another extension") << QString() << QStringLiteral("mine.json") << QStringLiteral("mine.json");
    QTest::newRow("save of a named document") << QStringLiteral("named.skimbler") << QString() << QStringLiteral("named.skimbler");
}

// After a save the title loses its modified mark and leaving asks nothing.
void TestApplication::savedSurfaceIsCleanAndExitAsksNothing()
{
    QFETCH(QString, named);
    QFETCH(QString, answered);
    QFETCH(QString, written);
    QVERIFY(Start());
    if (!named.isEmpty())
        QVERIFY(Doc()->OnSaveDocument(m_work->filePath(named)));
    EditThroughCommand(*Doc(), [](auto &s) { s.Points[2][1] = 0.5f; });
    Doc()->SetModifiedFlag(true);
    CMainFrame *frame = m_app->GetMainWnd();
    QVERIFY(frame->isWindowModified());

    int asked = 0;
    m_dialogs->savePath = [&](const QString &) {
        ++asked;
        return m_work->filePath(answered);
    };
    m_app->OnCommand(Resource::ID_FILE_SAVE);
    QCOMPARE(asked, named.isEmpty() ? 1 : 0);
    QVERIFY(m_messages->messages.isEmpty());
    const QString path = m_work->filePath(written);
    SurfaceFile::Contents contents;
    std::string error;
    QVERIFY2(SurfaceFile::Read(QFile::encodeName(path).toStdString(), &contents, &error), error.c_str());
    QCOMPARE(contents.Settings.Points[2][1], 0.5f);
    if (written != answered && !answered.isEmpty())
        QVERIFY(!QFile::exists(m_work->filePath(answered)));
    QVERIFY(!Doc()->IsModified());
    QVERIFY(!frame->isWindowModified());
    QCOMPARE(frame->windowTitle(), written + QStringLiteral("[*] - Skimbler"));

    m_app->OnCommand(Resource::ID_APP_EXIT);
    QVERIFY(m_messages->messages.isEmpty());
    QVERIFY(!frame->isVisible());
}

// Choosing a recent file that has gone says so and drops it from the menu and
// from what the next start shows.
// Whether the file is refused at once (gone) or only once its picture fails
// to decode on the worker, an entry that cannot be opened leaves the list.
void TestApplication::recentEntryThatCannotOpenLeavesTheList_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("surface gone") << QStringLiteral("gone.skimbler");
    QTest::newRow("picture no longer decodes") << QStringLiteral("spoilt.png");
}

void TestApplication::recentEntryThatCannotOpenLeavesTheList()
{
    QFETCH(QString, name);
    QVERIFY(Start());
    const QString kept = Work("kept.skimbler");
    const QString broken = m_work->filePath(name);
    const bool surface = name.endsWith(QStringLiteral(".skimbler"));
    if (surface)
        QVERIFY(Doc()->OnSaveDocument(broken));
    else
        QVERIFY(QImage(64, 48, QImage::Format_RGB32).save(broken, "PNG"));
    QVERIFY(Doc()->OnSaveDocument(kept));
    QVERIFY(Open(broken));
    QVERIFY(Open(kept));
    QCOMPARE(m_app->RecentFiles().Paths(), (QStringList{kept, broken}));
    if (surface) {
        QVERIFY(QFile::remove(broken));
    } else {
        QFile file(broken);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
    }

    CMainFrame *frame = m_app->GetMainWnd();
    QAction *entry = frame->CommandAction(Resource::ID_FILE_MRU_FILE1 + 1);
    QVERIFY(entry);
    QVERIFY(entry->text().contains(name));
    entry->trigger();
    QVERIFY(Settle());
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_messages->messages.first().text.contains(name)
            || m_messages->messages.first().detail.contains(name));
    QCOMPARE(Doc()->GetPathName(), kept);
    QVERIFY(!frame->CommandAction(Resource::ID_FILE_MRU_FILE1 + 1));
    QVERIFY(frame->CommandAction(Resource::ID_FILE_MRU_FILE1)->text().contains(QStringLiteral("kept.skimbler")));

    m_app.reset();
    QVERIFY(Start());
    QCOMPARE(m_app->RecentFiles().Paths(), QStringList{kept});
}

// A file-size limit (what a nearly full disk looks like to a writer) must
// neither end the program nor cut the saved file: the save says why and the
// document stays modified.
void TestApplication::saveOverAFileSizeLimitIsReportedNotFatal()
{
    QVERIFY(Start());
    const QString path = Work("limited.skimbler");
    QVERIFY(Doc()->OnSaveDocument(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    QVERIFY(saved.size() > 1024);
    Doc()->SetModifiedFlag(true);

    rlimit limit;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit unlimited = limit;
    limit.rlim_cur = 512;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    m_app->OnCommand(Resource::ID_FILE_SAVE);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);

    QCOMPARE(m_messages->messages.size(), 1);
    const QString message = m_messages->messages.first().text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY2(message.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(message));
    QVERIFY(Doc()->IsModified());
    QVERIFY(m_app->GetMainWnd()->isWindowModified());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    QCOMPARE(QDir(m_work->path()).entryList({QStringLiteral("*limited*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("limited.skimbler")});
}

void TestApplication::commandLineOpensAFile()
{
    QVERIFY(TgaTestFiles::WriteSolid(Work("card.tga"), 3, 5, qRgba(9, 9, 9, 255)));
    QVERIFY(Start({Work("card.tga")}));
    QCOMPARE(Doc()->GetSurface().Width, 3u);
    QCOMPARE(Doc()->GetSurface().Height, 5u);
    m_app.reset();
    // A file that cannot be opened ends the start.
    QVERIFY(!Start({Work("missing.skimbler")}));
}

void TestApplication::shortcutsWorkAfterClickingTheView()
{
    QVERIFY(Start());
    CMainFrame *frame = m_app->GetMainWnd();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(View()));
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ArrangeThroughCommand(*Doc(), [](auto &s) { s.Points[0][0] = 0.5f; });
    QTest::keyClick(View(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(Doc()->GetSurface().Points[0][0], -4.0f / 3.0f);

    bool asked = false;
    m_dialogs->openPath = [&](const QString &) {
        asked = true;
        return QString();
    };
    QTest::keyClick(View(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(asked);
}

void TestApplication::helpKeyOpensTheGuide()
{
    QVERIFY(Start());
    CMainFrame *frame = m_app->GetMainWnd();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    for (int press = 0; press < 2; ++press) {
        QTest::keyClick(frame, Qt::Key_F1);
        // One guide window, however often it is asked for.
        const QList<QTextBrowser *> guides = frame->findChildren<QTextBrowser *>();
        QCOMPARE(guides.size(), 1);
        QTRY_VERIFY(guides.first()->window()->isVisible());
        QVERIFY(guides.first()->window() != frame);
        const QString text = guides.first()->toPlainText();
        for (const char *topic : {"SURFACE_FLAG_BLEND", "DataFormat", "Ctrl+Shift+S", "Pixel probe", "Export Image",
                                  "Copy as shader code", "skimbler-cli render", "SurfaceRenderer", "Recover"})
            QVERIFY2(text.contains(QString::fromLatin1(topic)), topic);
    }
    // Save As has its standard key too.
    bool asked = false;
    m_dialogs->savePath = [&](const QString &) {
        asked = true;
        return QString();
    };
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(asked);
}

void TestApplication::quitKey_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing to save") << false << int(MessageBox::ResultOk) << true;
    QTest::newRow("changes, cancelled") << true << int(MessageBox::ResultCancel) << false;
    QTest::newRow("changes, discarded") << true << int(MessageBox::ResultDiscard) << true;
}

// Ctrl+Q goes the way of File > Exit: the save question first.
void TestApplication::quitKey()
{
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QVERIFY(Start());
    CMainFrame *frame = m_app->GetMainWnd();
    Doc()->SetModifiedFlag(modified);
    m_messages->answers << MessageBox::Result(answer);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(frame, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(frame->isVisible(), !closed);
    QCOMPARE(m_messages->messages.size(), modified ? 1 : 0);
}

void TestApplication::printedPictureIsTheViewsPicture()
{
    QVERIFY(Start());
    QVERIFY(QTest::qWaitForWindowExposed(View()));
    const QImage image = ViewPrinter::Snapshot(View());
    QCOMPARE(image.width(), View()->ClientWidth());
    QCOMPARE(image.height(), View()->ClientHeight());
    // Not blank: the checkerboard and the quad are there.
    QVERIFY(image.pixel(image.width() / 3, image.height() / 3) != image.pixel(0, 0)
            || image.pixel(2, image.height() - 2) != qRgb(255, 255, 255));
    QCOMPARE(ViewPrinter::FitRect(QSize(400, 300), QRect(0, 0, 1000, 1000)), QRect(0, 125, 1000, 750));
    QCOMPARE(ViewPrinter::FitRect(QSize(100, 400), QRect(10, 10, 1000, 1000)), QRect(385, 10, 250, 1000));
}

void TestApplication::hiddenToolWindowsComeBackFromTheMenu_data()
{
    QTest::addColumn<int>("commandId");
    QTest::addColumn<bool>("byEscape");
    const int ids[] = {Resource::ID_VIEW_PROPERTY_WINDOW, Resource::ID_VIEW_FLAGS_WINDOW,
                       Resource::ID_VIEW_COLORS_WINDOW};
    for (int id : ids) {
        QTest::newRow(qPrintable(QStringLiteral("%1, Escape").arg(id))) << id << true;
        QTest::newRow(qPrintable(QStringLiteral("%1, close box").arg(id))) << id << false;
    }
}

void TestApplication::hiddenToolWindowsComeBackFromTheMenu()
{
    QFETCH(int, commandId);
    QFETCH(bool, byEscape);
    QVERIFY(Start());
    CMainFrame *frame = m_app->GetMainWnd();
    QWidget *panel = frame->ToolWindow(commandId);
    QVERIFY(panel && panel->isVisible());
    QVERIFY(frame->IsButtonChecked(commandId));
    const QPoint placed = panel->pos();

    if (byEscape)
        QTest::keyClick(panel->findChild<QTableWidget *>(), Qt::Key_Escape);
    else
        QVERIFY(panel->close());
    QVERIFY(!panel->isVisible());
    QVERIFY(!frame->IsButtonChecked(commandId));

    frame->CommandAction(commandId)->trigger();
    QVERIFY(panel->isVisible());
    QVERIFY(frame->IsButtonChecked(commandId));
    QCOMPARE(panel->pos(), placed);
    // And hidden from the menu too.
    frame->CommandAction(commandId)->trigger();
    QVERIFY(!panel->isVisible());
}

void TestApplication::cornerColourIsDrawnUndoneAndSaved()
{
    QVERIFY(TgaTestFiles::WriteSolid(Work("a.tga"), 8, 8, qRgba(255, 255, 255, 255)));
    QVERIFY(Start());
    QVERIFY(QTest::qWaitForWindowExposed(View()));
    // Room for a corner's own colour, wherever a window manager is missing.
    m_app->GetMainWnd()->showNormal();
    m_app->GetMainWnd()->resize(900, 700);
    QTRY_VERIFY(View()->height() > 300);
    QTRY_COMPARE(View()->Interface()->Height, View()->ClientHeight());
    // Only the quad's own colour: the background is not added.
    SurfaceSettings opaque = Doc()->Settings();
    opaque.DestFactor = GL_ZERO;
    QVERIFY(Doc()->ChangeSettings(opaque, QStringLiteral("opaque")));
    const auto nearCorner0 = [this] {
        const QPointF corner = View()->SurfaceToWindow(Doc()->GetSurface().Points[0][0], Doc()->GetSurface().Points[0][1]);
        const QImage image = ViewPrinter::Snapshot(View());
        return QColor(image.pixel(qRound(corner.x()) + 12, qRound(corner.y()) + 12));
    };
    const QColor before = nearCorner0();

    CColorsPanel *panel = m_app->GetMainWnd()->ColorsPanel();
    const float *stored = Doc()->GetSurface().Colors[0];
    const QColor was = QColor::fromRgbF(stored[0], stored[1], stored[2], stored[3]);
    QColor offered;
    m_dialogs->color = [&offered](const QColor &initial, const QString &) {
        offered = initial;
        return QColor(0, 0, 255, 128);
    };
    QTest::mouseClick(panel->m_list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      panel->m_list->visualItemRect(panel->m_list->item(0, 1)).center());
    QCOMPARE(offered, was);
    QCOMPARE(Doc()->GetSurface().Colors[0][2], 1.0f);
    QCOMPARE(Doc()->GetSurface().Colors[0][3], 128 / 255.0f);
    QCOMPARE(panel->m_list->item(0, 1)->text(), QStringLiteral("0, 0, 255, 128"));
    QVERIFY(Doc()->IsModified());
    const QColor after = nearCorner0();
    QVERIFY2(after.blue() > 200 && after.red() < 40 && after.green() < 40, qPrintable(after.name()));

    // One step back and forth.
    Doc()->UndoStack()->undo();
    QCOMPARE(nearCorner0(), before);
    Doc()->UndoStack()->redo();
    QCOMPARE(nearCorner0(), after);

    // Kept in the file; File New forgets it, opening brings it back.
    QVERIFY(Doc()->OnSaveDocument(Work("blue.skimbler")));
    QVERIFY(m_app->OnCommand(Resource::ID_FILE_NEW));
    QVERIFY(panel->m_list->item(0, 1)->text() != QStringLiteral("0, 0, 255, 128"));
    QVERIFY(Open(Work("blue.skimbler")));
    QCOMPARE(panel->m_list->item(0, 1)->text(), QStringLiteral("0, 0, 255, 128"));
    QCOMPARE(nearCorner0(), after);

    // From the keyboard: Return on a row asks for that corner's colour.
    int askedFor = -1;
    m_dialogs->color = [&askedFor](const QColor &, const QString &title) {
        askedFor = title.right(1).toInt();
        return QColor();
    };
    panel->m_list->setCurrentCell(3, 0);
    QTest::keyClick(panel->m_list, Qt::Key_Return);
    QCOMPARE(askedFor, 3);

    // Cancelling, or taking the colour as it was, is no edit.
    const int steps = Doc()->UndoStack()->count();
    m_dialogs->color = [](const QColor &, const QString &) { return QColor(); };
    panel->EditColor(0);
    m_dialogs->color = [](const QColor &initial, const QString &) { return initial; };
    panel->EditColor(0);
    QCOMPARE(Doc()->UndoStack()->count(), steps);
    // Not even for a value the dialog's 8 bits cannot hold: it stays as stored.
    SurfaceSettings fine = Doc()->Settings();
    std::fill(fine.Colors[1], fine.Colors[1] + 4, 0.3f);
    QVERIFY(Doc()->ChangeSettings(fine, QStringLiteral("fine")));
    panel->EditColor(1);
    QCOMPARE(Doc()->UndoStack()->count(), steps + 1);
    QVERIFY(Doc()->Settings() == fine);
}

void TestApplication::droppedFileOpensAfterTheSaveQuestion()
{
    QVERIFY(Start());
    QImage picture(12, 6, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    QVERIFY(picture.save(Work("dropped.png")));
    QFile text(Work("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("words");
    text.close();

    QVERIFY(!Drop(Work("notes.txt")));

    Doc()->SetModifiedFlag(true);
    m_messages->answers << MessageBox::ResultCancel << MessageBox::ResultDiscard;
    QVERIFY(Drop(Work("dropped.png")));
    // Asked once the drop is over; cancelled, nothing changes.
    QCOMPARE(m_messages->messages.size(), 0);
    QTRY_COMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages.first().buttons, MessageBox::SaveDiscardCancel);
    QCOMPARE(Doc()->GetSurface().Width, 8u);

    QVERIFY(Drop(Work("dropped.png")));
    QTRY_COMPARE(Doc()->GetSurface().Width, 12u);
    QCOMPARE(m_messages->messages.size(), 2);
    QCOMPARE(Doc()->GetImagePath(), Work("dropped.png"));
    QCOMPARE(m_app->RecentFiles().Paths().value(0), Work("dropped.png"));
}

// Open, Replace Image and Save As start in the image's folder until the
// surface has a file, then in the file's.
void TestApplication::fileDialogsStartWhereTheSurfaceIs()
{
    QVERIFY(Start());
    QVERIFY(QDir(m_work->path()).mkpath(QStringLiteral("pictures")));
    QVERIFY(QDir(m_work->path()).mkpath(QStringLiteral("surfaces")));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(200, 10, 30));
    QVERIFY(picture.save(Work("pictures/p.png")));
    QVERIFY(Open(Work("pictures/p.png")));

    QString openIn, replaceIn, suggested;
    m_dialogs->openPath = [&](const QString &folder) { openIn = folder; return QString(); };
    m_dialogs->imagePath = [&](const QString &folder) { replaceIn = folder; return QString(); };
    m_dialogs->savePath = [&](const QString &suggestion) {
        suggested = QFileInfo(suggestion).absolutePath();
        return Work("surfaces/s.skimbler");
    };
    const QString pictures = QDir(Work("pictures")).absolutePath();
    const QString surfaces = QDir(Work("surfaces")).absolutePath();
    for (const QString &expected : {pictures, surfaces}) {
        m_app->OnCommand(Resource::ID_FILE_OPEN);
        m_app->OnCommand(Resource::ID_FILE_REPLACE_IMAGE);
        m_app->OnCommand(Resource::ID_FILE_SAVE_AS);
        QVERIFY(Settle());
        QCOMPARE(openIn, expected);
        QCOMPARE(replaceIn, expected);
        QCOMPARE(suggested, expected);
    }
}

void TestApplication::replacedImageKeepsTheSettings_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("replaces");
    QTest::newRow("File menu") << "menu" << true;
    QTest::newRow("dropped with Shift") << "shift drop" << true;
    QTest::newRow("dropped without Shift opens") << "drop" << false;
    QTest::newRow("dropped with Shift on the view") << "shift drop view" << true;
    QTest::newRow("dropped on the view opens") << "drop view" << false;
}

void TestApplication::replacedImageKeepsTheSettings()
{
    QFETCH(QString, how);
    QFETCH(bool, replaces);
    QVERIFY(Start());
    QImage picture(12, 6, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    QVERIFY(picture.save(Work("other.png")));
    SurfaceSettings edited = Doc()->Settings();
    edited.Points[0][2] = -0.25f;
    edited.SrcFactor = GL_DST_COLOR;
    QVERIFY(Doc()->ChangeSettings(edited, QStringLiteral("edit")));
    const int steps = Doc()->UndoStack()->count();
    m_messages->answers << MessageBox::ResultDiscard;

    if (how == QLatin1String("menu")) {
        QMenu *menu = nullptr;
        for (QObject *owner : m_app->GetMainWnd()->CommandAction(Resource::ID_FILE_OPEN)->associatedObjects())
            if ((menu = qobject_cast<QMenu *>(owner)))
                break;
        QVERIFY(menu);
        const QList<QAction *> entries = menu->actions();
        const int open = entries.indexOf(m_app->GetMainWnd()->CommandAction(Resource::ID_FILE_OPEN));
        QAction *replace = entries.value(open + 1);
        QCOMPARE(replace, m_app->GetMainWnd()->CommandAction(Resource::ID_FILE_REPLACE_IMAGE));
        m_dialogs->imagePath = [&](const QString &) { return Work("other.png"); };
        replace->trigger();
    } else {
        QVERIFY(Drop(Work("other.png"), how.startsWith(QLatin1String("shift")) ? Qt::ShiftModifier : Qt::NoModifier,
                     how.endsWith(QLatin1String("view"))));
    }
    QTRY_COMPARE(Doc()->GetSurface().Width, 12u);
    QCOMPARE(Doc()->GetImagePath(), Work("other.png"));
    QCOMPARE(Doc()->Settings() == edited, replaces);
    // A replacement loses nothing, so nothing is asked.
    QCOMPARE(m_messages->messages.size(), replaces ? 0 : 1);
    QVERIFY(Doc()->IsModified() == replaces);
    if (!replaces)
        return;
    QCOMPARE(Doc()->UndoStack()->count(), steps + 1);
    m_app->GetMainWnd()->CommandAction(Resource::ID_EDIT_UNDO)->trigger();
    QCOMPARE(Doc()->GetSurface().Width, 8u);
    QCOMPARE(Doc()->GetImagePath(), Work("a.tga"));
    QVERIFY(Doc()->Settings() == edited);
}

void TestApplication::rewrittenImageIsRedrawnAndAFailureOnlyInTheStatusBar()
{
    QVERIFY(Start());
    QVERIFY(QTest::qWaitForWindowExposed(View()));
    // Drawn over the background rather than added to it; a reload keeps that.
    SurfaceSettings unblended = Doc()->Settings();
    unblended.Flags &= ~SURFACE_FLAG_BLEND;
    QVERIFY(Doc()->ChangeSettings(unblended, QStringLiteral("flags")));
    // Off the axes, which cross at the centre.
    const QPoint centre(View()->ClientWidth() / 3, View()->ClientHeight() / 3);
    const QRgb blue = ViewPrinter::Snapshot(View()).pixel(centre);
    QVERIFY2(qBlue(blue) > 60 && qRed(blue) < 10, qPrintable(QColor(blue).name()));

    QVERIFY(TgaTestFiles::WriteSolid(Work("a.tga"), 8, 4, qRgba(255, 255, 0, 255)));
    QTRY_VERIFY(qRed(ViewPrinter::Snapshot(View()).pixel(centre)) > 60);
    const QRgb yellow = ViewPrinter::Snapshot(View()).pixel(centre);
    QCOMPARE(qBlue(yellow), 0);

    QFile broken(Work("a.tga"));
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("broken");
    broken.close();
    QStatusBar *status = m_app->GetMainWnd()->statusBar();
    QTRY_VERIFY(status->currentMessage().contains(QStringLiteral("Could not read file header")));
    QVERIFY(status->currentMessage().contains(QStringLiteral("a.tga")));
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(ViewPrinter::Snapshot(View()).pixel(centre), yellow);
}


namespace {

// Large enough that its decode is still running when the test acts.
void WriteBigPng(const QString &path)
{
    static QImage picture = [] {
        QImage image(2048, 2048, QImage::Format_RGB32);
        image.fill(qRgb(200, 40, 90));
        return image;
    }();
    QVERIFY(picture.save(path));
}

} // namespace

// View > Target Screen: the preset chosen is the one in force, and checked,
// at the next start.
void TestApplication::targetScreenIsRememberedAtTheNextStart_data()
{
    QTest::addColumn<int>("preset");  // 0 the window itself, then 4:3, 16:9, 16:10
    QTest::addColumn<QSize>("shape");
    QTest::newRow("16:9") << 2 << QSize(16, 9);
    QTest::newRow("16:10") << 3 << QSize(16, 10);
    QTest::newRow("back to the window") << 0 << QSize(0, 0);
}

void TestApplication::targetScreenIsRememberedAtTheNextStart()
{
    QFETCH(int, preset);
    QFETCH(QSize, shape);
    const auto presets = [this] {
        auto *menu = m_app->GetMainWnd()->findChild<QMenu *>(QStringLiteral("screenShapeMenu"));
        return menu ? menu->actions() : QList<QAction *>();
    };
    QVERIFY(Start());
    // Something else first, so the row's choice is a change.
    QVERIFY(presets().size() > 3);
    presets().at(preset == 1 ? 2 : 1)->trigger();
    presets().at(preset)->trigger();
    QCOMPARE(View()->ScreenShape(), shape);
    m_app.reset();

    QVERIFY(Start());
    QCOMPARE(View()->ScreenShape(), shape);
    QVERIFY(presets().at(preset)->isChecked());
}

void TestApplication::cancelledOpenKeepsTheSurface_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape in the view") << "escape view";
    QTest::newRow("Escape in a tool-bar field") << "escape field";
    QTest::newRow("Cancel button") << "button";
    // Not a cancel: the Escape is the dialog's, and the open goes on.
    QTest::newRow("Escape in a modal dialog") << "escape dialog";
}

void TestApplication::cancelledOpenKeepsTheSurface()
{
    QFETCH(QString, how);
    QVERIFY(Start());
    WriteBigPng(Work("big.png"));
    const std::uint64_t image = Doc()->ImageRevision();
    const SurfaceSettings settings = Doc()->Settings();
    QSignalSpy ended(Loader(), &DocumentLoader::loadEnded);

    QVERIFY(m_app->OpenDocumentFile(Work("big.png")));
    QVERIFY(Loader()->IsLoading());
    if (how == QLatin1String("escape dialog")) {
        QDialog dialog(m_app->GetMainWnd());
        dialog.setModal(true);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(Loader()->IsLoading());
        QVERIFY(Settle());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(Doc()->GetImagePath(), Work("big.png"));
        return;
    }
    if (how == QLatin1String("button")) {
        auto *cancel = m_app->GetMainWnd()->statusBar()->findChild<QToolButton *>();
        QVERIFY(cancel);
        cancel->click();
    } else {
        if (how == QLatin1String("escape view"))
            QTest::keyClick(View(), Qt::Key_Escape);
        else
            QTest::keyClick(FrameWidget<CNumberEdit>(m_app->GetMainWnd(), "xEdit"), Qt::Key_Escape);
    }
    QVERIFY(!Loader()->IsLoading());
    QCOMPARE(ended.count(), 1);
    // The picture the worker may still deliver lands nowhere.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(Doc()->ImageRevision(), image);
    QVERIFY(Doc()->Settings() == settings);
    QCOMPARE(Doc()->GetImagePath(), Work("a.tga"));
    QVERIFY(m_messages->messages.isEmpty());
    QVERIFY(!m_app->RecentFiles().Paths().contains(Work("big.png")));
    // Escape is the view's own again once nothing is loading.
    QVERIFY(!m_app->GetMainWnd()->statusBar()->findChild<LoadProgress *>()->isVisible());
}

void TestApplication::lateDecodeLosesToWhatCameSince_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QList<MessageBox::Result>>("answers");
    QTest::addColumn<unsigned>("width");
    QTest::addColumn<bool>("asked");
    using R = QList<MessageBox::Result>;
    QTest::newRow("another open") << "open" << R{} << 3u << false;
    QTest::newRow("File > New") << "new" << R{} << 8u << false;
    // Edits made while waiting are not thrown away unasked.
    QTest::newRow("edited meanwhile, Cancel keeps them") << "edit" << R{MessageBox::ResultCancel} << 8u << true;
    QTest::newRow("edited meanwhile, Discard opens") << "edit" << R{MessageBox::ResultDiscard} << 2048u << true;
}

void TestApplication::lateDecodeLosesToWhatCameSince()
{
    QFETCH(QString, then);
    QFETCH(QList<MessageBox::Result>, answers);
    QFETCH(unsigned, width);
    QFETCH(bool, asked);
    QVERIFY(Start());
    WriteBigPng(Work("big.png"));
    QVERIFY(TgaTestFiles::WriteSolid(Work("small.tga"), 3, 5, qRgba(9, 9, 9, 255)));
    m_messages->answers = answers;

    QVERIFY(m_app->OpenDocumentFile(Work("big.png")));
    SurfaceSettings edited = Doc()->Settings();
    if (then == QLatin1String("open")) {
        QVERIFY(m_app->OpenDocumentFile(Work("small.tga")));
    } else if (then == QLatin1String("new")) {
        m_app->OnCommand(Resource::ID_FILE_NEW);
    } else {
        edited.Points[2][1] = 0.5f;
        QVERIFY(Doc()->ChangeSettings(edited, QStringLiteral("edit")));
    }
    QThreadPool::globalInstance()->waitForDone();
    QVERIFY(Settle());
    QCOMPARE(Doc()->GetSurface().Width, width);
    QCOMPARE(m_messages->messages.size(), asked ? 1 : 0);
    if (asked && width == 8u)
        QVERIFY(Doc()->Settings() == edited);
}

void TestApplication::decodeFailingOnTheWorkerIsReportedAsBefore_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("name");
    QTest::newRow("not a TGA") << QByteArray("not an image") << "fake.tga";
    QByteArray png;
    {
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(QImage(64, 64, QImage::Format_RGB32).save(&buffer, "PNG"));
    }
    QTest::newRow("cut PNG") << png.left(png.size() / 2) << "cut.png";
    QTest::newRow("empty PNG") << QByteArray() << "empty.png";
}

// The same message as the open that decoded on the GUI thread, and the
// surface, its history and the recent list as they were.
void TestApplication::decodeFailingOnTheWorkerIsReportedAsBefore()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, name);
    QVERIFY(Start());
    QFile file(m_work->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();
    QVERIFY(!Loader()->Open(file.fileName()));
    const QList<MessageBox::Message> before = m_messages->messages;
    QCOMPARE(before.size(), 1);
    m_messages->messages.clear();
    const std::uint64_t image = Doc()->ImageRevision();

    QSignalSpy failed(Loader(), &DocumentLoader::openFailed);
    QVERIFY(!Open(file.fileName()));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(m_messages->texts(), QStringList{before.first().text});
    QCOMPARE(m_messages->messages.first().caption, before.first().caption);
    QCOMPARE(m_messages->messages.first().icon, before.first().icon);
    QCOMPARE(Doc()->ImageRevision(), image);
    QVERIFY(m_app->RecentFiles().Paths().isEmpty());
}

QTEST_MAIN(TestApplication)
#include "test_application.moc"

void TestApplication::pacedProgressEndsOnTheLastValue_data()
{
    QTest::addColumn<QList<int>>("steps");
    QTest::newRow("one step") << QList<int>{40};
    QTest::newRow("a burst") << QList<int>{1, 2, 3, 50, 99, 100};
    QTest::newRow("the same value again") << QList<int>{7, 7, 7};
}

// The bar takes at most a step per pace, but never stops short of the
// reader's last word.
void TestApplication::pacedProgressEndsOnTheLastValue()
{
    QFETCH(QList<int>, steps);
    QVERIFY(Start());
    auto *bar = m_app->GetMainWnd()->statusBar()->findChild<LoadProgress *>()->findChild<QProgressBar *>();
    QVERIFY(bar);
    int painted = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&painted] { ++painted; });
    for (const int percent : steps)
        Q_EMIT Loader()->loadProgress(percent);
    QCOMPARE(bar->value(), steps.first());
    QTRY_COMPARE(bar->value(), steps.last());
    QVERIFY(painted <= 2);
}
