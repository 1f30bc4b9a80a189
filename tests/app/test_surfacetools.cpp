#include "common/SettingsThroughCommand.h"
#include "common/SurfaceTestAccess.h"
#include "common/FrameWidgets.h"
#include "app/CMainFrame.h"
#include "app/CNumberEdit.h"
#include "app/PixelProbeTool.h"
#include "app/SurfaceClipboard.h"
#include "app/SurfaceTools.h"
#include "common/CliRunner.h"
#include "common/MessageBoxRecorder.h"
#include "common/OutputKinds.h"
#include "common/ScriptedDialogs.h"
#include "render/GraphicalInterface.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"
#include "view/CSkimblerView.h"
#include "common/ViewHost.h"

#include <skimbler/SurfaceFile.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace SurfaceFile = skimbler::SurfaceFile;
using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MAG;
using skimbler::SURFACE_FLAG_MIN;
using skimbler::SURFACE_FLAG_POINTS;
using skimbler::SurfaceFlags;
using skimbler::SurfaceSettings;

using namespace Resource;
using namespace ViewTest;

namespace {

// Black, opaque, with one white column.
bool WriteStripeTga(const QString &path, int size, int stripeColumn)
{
    return TgaTestFiles::WritePainted(path, size, size, [stripeColumn](int column, int) {
        return column == stripeColumn ? qRgba(255, 255, 255, 255) : qRgba(0, 0, 0, 255);
    });
}

// Mean x of the bright pixels of each row; -1 where there are none.
QList<double> StripeCentres(const Pixels &pixels, int top, int bottom)
{
    QList<double> centres;
    for (int y = top; y <= bottom; ++y) {
        double sum = 0;
        int count = 0;
        for (int x = 0; x < pixels.width; ++x) {
            if (pixels.at(x, y)[0] > 128) {
                sum += x;
                ++count;
            }
        }
        centres.append(count ? sum / count : -1.0);
    }
    return centres;
}

} // namespace

// The frame's probe, projective texturing, export and clipboard commands, as
// a user reaches them.
class TestSurfaceTools : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_work;
    QString m_oldCwd;
    std::unique_ptr<CSkimblerDoc> m_document;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<MessageBoxRecorder> m_messages;

    CSkimblerView *view() const { return m_frame->GetActiveView(); }
    SurfaceTools *tools() const { return FrameWidget<SurfaceTools>(m_frame, "surfaceTools"); }
    void trigger(int commandId) { m_frame->CommandAction(commandId)->trigger(); }
    // Alpha blending, a lifted corner, nearest magnification and corner
    // colours with alpha, saved as the editor saves.
    QString saveEditedSurface()
    {
        SurfaceSettings settings = m_document->Settings();
        settings.Flags = 0x3F;
        settings.SrcFactor = GL_SRC_ALPHA;
        settings.DestFactor = GL_ONE_MINUS_SRC_ALPHA;
        settings.MagFilter = GL_NEAREST;
        settings.Points[1][0] = -0.9f;
        settings.Points[2][2] = 0.4f;
        settings.Colors[0][3] = 0.5f;
        settings.Colors[3][2] = 0.25f;
        m_document->ChangeSettings(settings, QStringLiteral("test"));
        const QString path = m_work.filePath(QStringLiteral("edited.skimbler"));
        return m_document->OnSaveDocument(path) ? path : QString();
    }
    void createFrame()
    {
        m_frame.reset();
        m_document = std::make_unique<CSkimblerDoc>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_frame = std::make_unique<CMainFrame>(m_document.get(), *m_dialogs);
        QCOMPARE(m_frame->OnCreate(), 0);
        QVERIFY(view()->MakeCurrent());
        QVERIFY(m_document->OnNewDocument());
        m_frame->resize(1200, 700);
        m_frame->show();
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        QTRY_VERIFY(view()->isExposed());
        QTRY_COMPARE(view()->Interface()->Width, view()->ClientWidth());
        QTRY_COMPARE(view()->Interface()->Height, view()->ClientHeight());
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void projectiveKeepsImageLinesStraight_data();
    void projectiveKeepsImageLinesStraight();
    void perspectiveTravelsWithTheSurface();
    void exportAtViewSizeIsTheViewWithoutHandles();
    void exportWithoutBackgroundHasStraightAlpha();
    void exportAtTypedSize();
    void commandLineRendersTheExport_data();
    void commandLineRendersTheExport();
    void backgroundIsRemembered();
    void copyAsShaderCodeIsTheCommandLinesListing_data();
    void copyAsShaderCodeIsTheCommandLinesListing();
    void gltfExportIsTheCommandLines_data();
    void gltfExportIsTheCommandLines();
    void exportIsNamedAfterTheSurface_data();
    void exportIsNamedAfterTheSurface();
    void exportAsksBeforeReplacingAndFollowsTheSuffix_data();
    void exportAsksBeforeReplacingAndFollowsTheSuffix();
    void copyPutsJsonAndCallsOnTheClipboard_data();
    void copyPutsJsonAndCallsOnTheClipboard();
    void pasteIsOneUndoableStepAndKeepsTheImage();
    void pasteRefusesAnythingElse_data();
    void pasteRefusesAnythingElse();
    void copyAndPasteInAFieldStayText();
    void probeFollowsItsCommand();
};

void TestSurfaceTools::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("SkimblerTests"));
    QCoreApplication::setApplicationName(QStringLiteral("test_surfacetools"));
    m_oldCwd = QDir::currentPath();
    QVERIFY(m_work.isValid());
    QVERIFY(QDir::setCurrent(m_work.path()));
    QVERIFY(WriteStripeTga(m_work.filePath(QStringLiteral("a.tga")), 64, 20));
}

void TestSurfaceTools::init()
{
    QSettings().clear();
    m_messages = std::make_unique<MessageBoxRecorder>();
    createFrame();
}

void TestSurfaceTools::cleanup()
{
    m_frame.reset();
    m_document.reset();
    m_messages.reset();
}

void TestSurfaceTools::cleanupTestCase()
{
    QDir::setCurrent(m_oldCwd);
}

void TestSurfaceTools::projectiveKeepsImageLinesStraight_data()
{
    QTest::addColumn<bool>("projective");
    QTest::newRow("off: kinks at the diagonal") << false;
    QTest::newRow("on: straight") << true;
}

void TestSurfaceTools::projectiveKeepsImageLinesStraight()
{
    QFETCH(bool, projective);
    if (projective != m_frame->IsButtonChecked(ID_PERSPECTIVE_TEXTURE))
        trigger(ID_PERSPECTIVE_TEXTURE);
    QCOMPARE(m_document->GetSurface().PerspectiveCorrect != 0u, projective);

    // A trapezoid, narrow at the top; the texture as it is, nearest texel.
    const float points[4][3] = {{-0.5f, 0.8f, 0}, {-1.2f, -0.8f, 0}, {0.5f, 0.8f, 0}, {1.2f, -0.8f, 0}};
    EditThroughCommand(*m_document, [&](auto &surface) {
        std::memcpy(surface.Points, points, sizeof points);
        surface.Flags = SURFACE_FLAG_POINTS | SURFACE_FLAG_MAG | SURFACE_FLAG_MIN;
        surface.MagFilter = GL_NEAREST;
        surface.MinFilter = GL_NEAREST;
    });
    view()->SetShowAxes(false);
    view()->SetShowHandles(false);
    view()->SetShowBackground(false);  // black around the quad
    const Pixels pixels = RenderAndRead(view());

    const int top = qRound(view()->SurfaceToWindow(0, 0.75f).y());
    const int bottom = qRound(view()->SurfaceToWindow(0, -0.75f).y());
    const QList<double> centres = StripeCentres(pixels, top, bottom);
    QVERIFY(!centres.contains(-1.0));
    // Distance of each row's centre from the chord through the end rows.
    double worst = 0;
    const double first = centres.first();
    const double last = centres.last();
    for (int i = 0; i < centres.size(); ++i) {
        const double onChord = first + (last - first) * i / (centres.size() - 1);
        worst = std::max(worst, std::abs(centres.at(i) - onChord));
    }
    if (projective)
        QVERIFY2(worst <= 1.0, qPrintable(QString::number(worst)));
    else
        QVERIFY2(worst >= 10.0, qPrintable(QString::number(worst)));
}

// The menu item changes the surface, one undo step, and the surface file
// takes it along; another run of the program does not inherit it.
void TestSurfaceTools::perspectiveTravelsWithTheSurface()
{
    const auto on = [this] {
        const bool stored = m_document->GetSurface().PerspectiveCorrect != 0;
        return m_frame->IsButtonChecked(ID_PERSPECTIVE_TEXTURE) == stored ? int(stored) : -1;
    };
    QCOMPARE(on(), 0);
    const int steps = m_document->UndoStack()->count();
    trigger(ID_PERSPECTIVE_TEXTURE);
    QCOMPARE(on(), 1);
    QCOMPARE(m_document->UndoStack()->count(), steps + 1);
    QVERIFY(m_document->IsModified());
    m_document->UndoStack()->undo();
    QCOMPARE(on(), 0);
    m_document->UndoStack()->redo();
    QCOMPARE(on(), 1);

    const QString path = m_work.filePath(QStringLiteral("perspective.skimbler"));
    QVERIFY(m_document->OnSaveDocument(path));
    createFrame();
    QCOMPARE(on(), 0);
    QVERIFY(DocumentLoader(m_document.get()).Open(path));
    QCOMPARE(on(), 1);
    // Turned off again, the file has the bytes of a surface that never had it.
    trigger(ID_PERSPECTIVE_TEXTURE);
    QVERIFY(m_document->OnSaveDocument(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("PerspectiveCorrect"));
}

void TestSurfaceTools::exportAtViewSizeIsTheViewWithoutHandles()
{
    EditThroughCommand(*m_document, [](auto &surface) {
        surface.Points[3][0] = 0.9f;  // not the whole window
        surface.Points[0][1] = 0.6f;
    });
    view()->SetZoom(0.8f);
    // Panned: the picture moves, the checkerboard stays.
    view()->SetPan(37.0f, -23.0f);
    RenderAndRead(view());
    const QString path = m_work.filePath(QStringLiteral("view.png"));
    m_dialogs->exportOptions = [](ExportImage::Options *) { return true; };
    m_dialogs->exportPath = [&](const QString &) { return path; };
    // Handles, axes and the selected corner are on in the view.
    view()->SelectPoint(0);
    trigger(ID_FILE_EXPORT_IMAGE);
    QVERIFY2(m_messages->messages.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('\n'))));

    QImage exported(path);
    QCOMPARE(exported.size(), QSize(view()->ClientWidth(), view()->ClientHeight()));
    exported = exported.convertToFormat(QImage::Format_RGBA8888);
    view()->SetShowAxes(false);
    view()->SetShowHandles(false);
    const Pixels frame = RenderAndRead(view());
    int different = 0;
    for (int y = 0; y < frame.height; ++y) {
        const uchar *line = exported.constScanLine(y);
        for (int x = 0; x < frame.width; ++x) {
            // The window's and the buffer's pixel formats may round a blend
            // apart by one level.
            for (int k = 0; k < 3; ++k)
                different += std::abs(line[x * 4 + k] - frame.at(x, y)[k]) > 1;
            different += line[x * 4 + 3] != 255;
        }
    }
    QCOMPARE(different, 0);
    // The view is back at its own size.
    QCOMPARE(view()->Interface()->Width, view()->ClientWidth());
}

void TestSurfaceTools::exportIsNamedAfterTheSurface_data()
{
    QTest::addColumn<QString>("surfaceFile");  // empty: never saved
    QTest::addColumn<QString>("image");        // empty: the start-up a.tga
    QTest::addColumn<QString>("suggested");
    QTest::addColumn<QString>("chosen");       // empty: take the suggestion
    QTest::addColumn<bool>("saved");

    QTest::newRow("new surface") << QString() << QString() << QStringLiteral("Skimbl-export.png") << QString() << true;
    QTest::newRow("image opened, not saved")
        << QString() << QStringLiteral("pictures/stripes.tga") << QStringLiteral("pictures/Skimbl-export.png") << QString() << true;
    QTest::newRow("saved surface")
        << QStringLiteral("scenes/door.skimbler") << QStringLiteral("pictures/stripes.tga")
        << QStringLiteral("scenes/door-export.png") << QString() << true;
    QTest::newRow("name without suffix gets .png")
        << QString() << QString() << QStringLiteral("Skimbl-export.png") << QStringLiteral("plain") << true;
    QTest::newRow("folder that does not exist")
        << QString() << QString() << QStringLiteral("Skimbl-export.png") << QStringLiteral("missing/x.png") << false;
}

// The suggested name comes from the surface, and the status bar says where
// the picture went, only when it went there.
void TestSurfaceTools::exportIsNamedAfterTheSurface()
{
    QFETCH(QString, surfaceFile);
    QFETCH(QString, image);
    QFETCH(QString, suggested);
    QFETCH(QString, chosen);
    QFETCH(bool, saved);
    const QDir work(m_work.path());
    if (!image.isEmpty()) {
        QVERIFY(work.mkpath(QFileInfo(image).path()));
        QVERIFY(WriteStripeTga(work.filePath(image), 16, 8));
        QVERIFY(DocumentLoader(m_document.get()).Open(work.filePath(image)));
    }
    if (!surfaceFile.isEmpty()) {
        QVERIFY(work.mkpath(QFileInfo(surfaceFile).path()));
        QVERIFY(m_document->OnSaveDocument(work.filePath(surfaceFile)));
    }
    const QString target = work.filePath(chosen.isEmpty() ? suggested : chosen);
    const QString written = QFileInfo(target).suffix().isEmpty() ? target + QStringLiteral(".png") : target;
    QFile::remove(written);
    QString suggestion;
    m_dialogs->exportOptions = [](ExportImage::Options *) { return true; };
    m_dialogs->exportPath = [&](const QString &offered) {
        suggestion = offered;
        return target;
    };
    m_frame->statusBar()->clearMessage();
    trigger(ID_FILE_EXPORT_IMAGE);

    QCOMPARE(suggestion, work.filePath(suggested));
    QCOMPARE(QFileInfo::exists(written), saved);
    QCOMPARE(m_messages->messages.size(), saved ? 0 : 1);
    const QString status = m_frame->statusBar()->currentMessage();
    QCOMPARE(status.contains(QDir::toNativeSeparators(written)), saved);
    QCOMPARE(status.isEmpty(), !saved);
}

void TestSurfaceTools::exportAsksBeforeReplacingAndFollowsTheSuffix_data()
{
    // The surface is the image poster.png opened; old.png is another file.
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("replace");   // the answer to a question, if one comes
    QTest::addColumn<QString>("asked");  // what the one message says; empty: none
    QTest::addColumn<QString>("kind");   // what the chosen file then holds; empty: as it was
    QTest::addColumn<QString>("status"); // in the status bar afterwards
    const QString picture = QStringLiteral("is the picture this surface shows");
    QTest::newRow("the surface's picture, kept") << "poster.png" << false << picture << "" << "";
    QTest::newRow("the surface's picture, replaced") << "poster.png" << true << picture << "png" << "poster.png";
    QTest::newRow("another file, kept") << "old.png" << false << "old.png already exists" << "" << "";
    QTest::newRow("another file, replaced") << "old.png" << true << "old.png already exists" << "png" << "old.png";
    // The image's defaults blend ONE / ONE, which glTF cannot say.
    QTest::newRow("gltf") << "asset.gltf" << false << "" << "gltf" << "GL_ONE / GL_ONE";
    QTest::newRow("glb") << "asset.glb" << false << "" << "glb" << "GL_ONE / GL_ONE";
    QTest::newRow("unknown suffix") << "asset.jpg" << false << "Cannot export to" << "" << "";
    // Refused at once, without asking to replace it.
    QTest::newRow("a folder") << "folder.png" << true << "is not a regular file" << "" << "";
}

void TestSurfaceTools::exportAsksBeforeReplacingAndFollowsTheSuffix()
{
    QFETCH(QString, chosen);
    QFETCH(bool, replace);
    QFETCH(QString, asked);
    QFETCH(QString, kind);
    QFETCH(QString, status);
    QTemporaryDir dir;
    const QString poster = dir.filePath(QStringLiteral("poster.png"));
    QImage image(16, 8, QImage::Format_ARGB32);
    image.fill(qRgba(200, 40, 10, 255));
    QVERIFY(image.save(poster));
    QVERIFY(image.save(dir.filePath(QStringLiteral("old.png"))));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.png")));
    QVERIFY(DocumentLoader(m_document.get()).Open(poster));
    const QString target = dir.filePath(chosen);
    const auto bytes = [&target] {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    QString suggestion;
    m_dialogs->exportOptions = [](ExportImage::Options *) { return true; };
    m_dialogs->exportPath = [&](const QString &offered) {
        suggestion = offered;
        return target;
    };
    m_messages->answers = {replace ? MessageBox::ResultReplace : MessageBox::ResultCancel};
    m_frame->statusBar()->clearMessage();
    trigger(ID_FILE_EXPORT_IMAGE);

    // Never the picture itself on offer: an unsaved surface's name, beside its image.
    QCOMPARE(suggestion, dir.filePath(QStringLiteral("Skimbl-export.png")));
    QCOMPARE(m_messages->messages.size(), asked.isEmpty() ? 0 : 1);
    if (!asked.isEmpty()) {
        QVERIFY2(m_messages->texts().first().contains(asked), qPrintable(m_messages->texts().first()));
        // A question to replace, or a refusal with nothing to choose.
        const bool question = !asked.startsWith(QLatin1String("Cannot")) && !asked.contains(QLatin1String("regular file"));
        QCOMPARE(m_messages->messages.first().buttons, question ? MessageBox::ReplaceCancel : MessageBox::Ok);
    }
    if (kind.isEmpty())
        QCOMPARE(bytes(), before);
    else
        QCOMPARE(OutputKindOf(bytes()), kind);
    const QString shown = m_frame->statusBar()->currentMessage();
    QVERIFY2(status.isEmpty() ? shown.isEmpty() : shown.contains(status), qPrintable(shown));
}

void TestSurfaceTools::exportWithoutBackgroundHasStraightAlpha()
{
    // Half-transparent corners over alpha blending: the surface's own colour
    // and alpha, not premultiplied.
    EditThroughCommand(*m_document, [](auto &surface) {
        surface.Flags = SURFACE_FLAG_POINTS | SURFACE_FLAG_COLORS | SURFACE_FLAG_BLEND | SURFACE_FLAG_MAG;
        surface.MagFilter = GL_NEAREST;
        surface.SrcFactor = GL_SRC_ALPHA;
        surface.DestFactor = GL_ONE_MINUS_SRC_ALPHA;
        for (auto &colour : surface.Colors) {
            colour[0] = 0.2f;
            colour[1] = 0.6f;
            colour[2] = 1.0f;
            colour[3] = 0.4f;
        }
    });
    view()->SetZoom(0.5f);
    QString error;
    const QSize size(view()->ClientWidth(), view()->ClientHeight());
    const QImage image = ExportImage::Render(view(), size, false, &error).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(error));
    // Outside the quad: nothing at all.
    QCOMPARE(image.pixel(2, 2), qRgba(0, 0, 0, 0));
    // Inside, off the stripe (black texels): black at 40 %; on it, the colour.
    const QPoint centre(size.width() / 2, size.height() / 2);
    const PixelProbe::Result probe = tools()->Probe()->ProbeAt(centre.x(), centre.y());
    QVERIFY(probe.OnSurface);
    const QRgb pixel = image.pixel(centre);
    QVERIFY2(std::abs(qAlpha(pixel) - 102) <= 1, qPrintable(QString::number(qAlpha(pixel))));
    for (int k = 0; k < 3; ++k) {
        const int channel = k == 0 ? qRed(pixel) : k == 1 ? qGreen(pixel) : qBlue(pixel);
        QVERIFY2(std::abs(channel - PixelProbe::ToByte(probe.Source[k])) <= 3,
                 qPrintable(QStringLiteral("%1 %2").arg(channel).arg(PixelProbe::ToByte(probe.Source[k]))));
    }
    // Somewhere on the white stripe the straight colour is the corner colour.
    bool stripe = false;
    for (int x = size.width() / 4; x < size.width() * 3 / 4 && !stripe; ++x) {
        const QRgb p = image.pixel(x, centre.y());
        stripe = qAlpha(p) > 90 && std::abs(qRed(p) - 51) <= 3 && std::abs(qGreen(p) - 153) <= 3 && qBlue(p) >= 252;
    }
    QVERIFY(stripe);
}

void TestSurfaceTools::exportAtTypedSize()
{
    view()->SetZoom(0.5f);
    const QString path = m_work.filePath(QStringLiteral("typed"));
    m_dialogs->exportOptions = [](ExportImage::Options *options) {
        options->size = QSize(320, 240);
        options->background = false;
        return true;
    };
    m_dialogs->exportPath = [&](const QString &) { return path; };
    trigger(ID_FILE_EXPORT_IMAGE);
    QVERIFY(m_messages->messages.isEmpty());
    // The extension is added.
    const QImage image = QImage(path + QStringLiteral(".png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(320, 240));
    // The quad fills the middle half of the picture at any size.
    QCOMPARE(qAlpha(image.pixel(40, 30)), 0);
    QCOMPARE(qAlpha(image.pixel(160, 120)), 255);
    QCOMPARE(qAlpha(image.pixel(85, 65)), 255);
    QCOMPARE(qAlpha(image.pixel(75, 55)), 0);
    QCOMPARE(view()->Interface()->Width, view()->ClientWidth());
}

void TestSurfaceTools::commandLineRendersTheExport_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<bool>("projective");
    QTest::addColumn<QString>("background");  // View > Background, and --background
    const QString checker = QStringLiteral("checker");
    QTest::newRow("320 x 240") << QSize(320, 240) << false << false << checker;
    QTest::newRow("203 x 97") << QSize(203, 97) << false << false << checker;
    QTest::newRow("transparent") << QSize(256, 192) << true << false << checker;
    QTest::newRow("projective") << QSize(256, 192) << false << true << checker;
    QTest::newRow("dark grey") << QSize(256, 192) << false << false << QStringLiteral("dark");
    QTest::newRow("black") << QSize(203, 97) << false << false << QStringLiteral("black");
    QTest::newRow("a chosen colour") << QSize(256, 192) << false << false << QStringLiteral("#1e90ff");
}

void TestSurfaceTools::commandLineRendersTheExport()
{
    QFETCH(QSize, size);
    QFETCH(bool, transparent);
    QFETCH(bool, projective);
    QFETCH(QString, background);
    // The surface file carries the choice: the command line is not told.
    tools()->SetProjective(projective);
    ViewBackground chosen;
    QVERIFY(ViewBackground::Parse(background, &chosen));
    view()->SetBackground(chosen);
    const QString surface = saveEditedSurface();
    QVERIFY(!surface.isEmpty());
    QString error;
    const QImage exported = ExportImage::Render(view(), size, !transparent, &error);
    view()->SetBackground(ViewBackground());
    QVERIFY2(!exported.isNull(), qPrintable(error));
    // The bottom-left corner is outside the edited quad: the background itself.
    if (!chosen.Checker)
        QCOMPARE(exported.pixel(0, size.height() - 1), qRgb(chosen.Red, chosen.Green, chosen.Blue));

    const QString out = m_work.filePath(QStringLiteral("cli.png"));
    QStringList arguments = RenderArguments(surface, out, size, transparent, false);
    if (!transparent)
        arguments << QStringLiteral("--background") << background;
    const CliRun run = RunCli(arguments);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    // The window's and the buffer's pixel formats may round a blend apart by
    // one level.
    QVERIFY(LargestDifference(QImage(out), exported) <= 1);
}

// View > Background's choice comes back, checked, in the next window.
void TestSurfaceTools::backgroundIsRemembered()
{
    const auto entries = [this] { return FrameWidget<QMenu>(m_frame, "backgroundMenu")->actions(); };
    QVERIFY(entries().first()->isChecked());
    QCOMPARE(view()->Background(), ViewBackground());
    entries().at(1)->trigger();
    QCOMPARE(view()->Background(), ViewBackground::Dark());
    createFrame();
    QCOMPARE(view()->Background(), ViewBackground::Dark());
    QVERIFY(entries().at(1)->isChecked());
    QVERIFY(!entries().first()->isChecked());
}

void TestSurfaceTools::copyAsShaderCodeIsTheCommandLinesListing_data()
{
    QTest::addColumn<bool>("projective");
    QTest::newRow("affine") << false;
    QTest::newRow("projective") << true;
}

void TestSurfaceTools::copyAsShaderCodeIsTheCommandLinesListing()
{
    QFETCH(bool, projective);
    tools()->SetProjective(projective);
    const QString surface = saveEditedSurface();
    QVERIFY(!surface.isEmpty());
    QApplication::clipboard()->clear();
    trigger(ID_EDIT_COPY_SHADER);
    const QString copied = QApplication::clipboard()->text();
    QVERIFY(copied.contains(QStringLiteral("#version 330 core")));

    QStringList arguments = {QStringLiteral("code"), QStringLiteral("--api"), QStringLiteral("gl33"),
                             QStringLiteral("--size"),
                             QStringLiteral("%1x%2").arg(view()->Interface()->Width).arg(view()->Interface()->Height),
                             surface};
    const CliRun run = RunCli(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(copied, QString::fromUtf8(run.out));
}

void TestSurfaceTools::gltfExportIsTheCommandLines_data()
{
    QTest::addColumn<bool>("screen");  // at a target screen, and --true-shape
    QTest::addColumn<float>("zoom");   // the view's, and --zoom
    QTest::addColumn<bool>("panned");  // the view panned: said, and left out
    QTest::newRow("in the window") << false << 1.0f << false;
    QTest::newRow("at a target screen") << true << 1.0f << false;
    QTest::newRow("zoomed in the window") << false << 2.5f << false;
    QTest::newRow("zoomed and panned at a target screen") << true << 0.5f << true;
}

// File > Export's glTF is skimbler-cli export's of the saved surface, byte
// for byte; without its points the quad's size follows the projection's
// shape, the true shape at a target screen.
void TestSurfaceTools::gltfExportIsTheCommandLines()
{
    QFETCH(bool, screen);
    QFETCH(float, zoom);
    QFETCH(bool, panned);
    QVERIFY(!saveEditedSurface().isEmpty());
    SurfaceSettings settings = m_document->Settings();
    settings.Flags &= ~SURFACE_FLAG_POINTS;
    m_document->ChangeSettings(settings, QStringLiteral("test"));
    const QString surface = m_work.filePath(QStringLiteral("edited.skimbler"));
    QVERIFY(m_document->OnSaveDocument(surface));
    if (screen)
        view()->SetScreenShape(2, 1);
    view()->SetZoom(zoom);
    view()->SetPan(panned ? 30.0f : 0.0f, panned ? -20.0f : 0.0f);
    m_frame->statusBar()->clearMessage();
    const QString exported = m_work.filePath(QStringLiteral("editor.gltf"));
    const QString out = m_work.filePath(QStringLiteral("cli.gltf"));
    QFile::remove(exported);
    QFile::remove(out);
    m_dialogs->exportOptions = [](ExportImage::Options *options) {
        options->size = QSize(300, 150);
        return true;
    };
    m_dialogs->exportPath = [&](const QString &) { return exported; };
    trigger(ID_FILE_EXPORT_IMAGE);
    QVERIFY(m_messages->messages.isEmpty());
    const QString panLeftOut = QCoreApplication::translate(
        "Outputs", "the view's pan is left out: a glTF camera cannot shift its picture");
    QCOMPARE(m_frame->statusBar()->currentMessage().contains(panLeftOut), panned);

    QStringList arguments = {QStringLiteral("export"), surface, QStringLiteral("-o"), out, QStringLiteral("--size"),
                             QStringLiteral("300x150"), QStringLiteral("--zoom"), QString::number(double(zoom))};
    if (screen)
        arguments << QStringLiteral("--true-shape");
    const CliRun run = RunCli(arguments);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const auto bytes = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY(!bytes(out).isEmpty());
    QVERIFY(bytes(exported) == bytes(out));
}

void TestSurfaceTools::copyPutsJsonAndCallsOnTheClipboard_data()
{
    QTest::addColumn<SurfaceFlags>("flags");
    QTest::addColumn<bool>("projective");
    QTest::newRow("every flag") << SurfaceFlags(0x3F) << false;
    QTest::newRow("no flags: defaults in force") << SurfaceFlags(SURFACE_FLAG_POINTS) << false;
    QTest::newRow("projective") << SurfaceFlags(0x3F) << true;
}

void TestSurfaceTools::copyPutsJsonAndCallsOnTheClipboard()
{
    QFETCH(SurfaceFlags, flags);
    QFETCH(bool, projective);
    tools()->SetProjective(projective);
    SurfaceSettings settings = m_document->Settings();
    settings.Flags = flags;
    settings.MagFilter = GL_NEAREST;
    settings.MinFilter = GL_LINEAR_MIPMAP_NEAREST;
    settings.SrcFactor = GL_DST_COLOR;
    settings.DestFactor = GL_ONE_MINUS_SRC_ALPHA;
    settings.Points[1][0] = -1.1f;
    settings.Points[2][2] = 0.1f;
    settings.Colors[3][1] = 0.25f;
    m_document->ChangeSettings(settings, QStringLiteral("test"));
    m_frame->centralWidget()->setFocus();
    QApplication::clipboard()->clear();
    trigger(ID_EDIT_COPY);

    const QMimeData *mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime);
    // The JSON is the surface file's.
    SurfaceFile::Contents contents;
    std::string error;
    QVERIFY2(SurfaceFile::Parse(mime->data(QString::fromLatin1(SurfaceClipboard::MimeType)).toStdString(),
                                std::string(), &contents, &error),
             error.c_str());
    QCOMPARE(contents.Settings.Flags, flags);
    QCOMPARE(contents.Settings.SrcFactor, std::uint32_t(GL_DST_COLOR));
    QCOMPARE(contents.Settings.PerspectiveCorrect != 0u, projective);
    QCOMPARE(contents.Width, m_document->GetSurface().Width);
    QCOMPARE(QFileInfo(QString::fromStdString(contents.absoluteImagePath)).fileName(), QStringLiteral("a.tga"));
    QCOMPARE(mime->data(QStringLiteral("application/json")),
             mime->data(QString::fromLatin1(SurfaceClipboard::MimeType)));

    // The text is the calls, with the values in force and the vertices in
    // strip order, exact to the bit.
    const QString text = mime->text();
    const bool all = flags & SURFACE_FLAG_BLEND;
    QVERIFY(text.contains(all ? QStringLiteral("glBlendFunc(GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA);")
                              : QStringLiteral("glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);")));
    QVERIFY(text.contains(all ? QStringLiteral("GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);")
                              : QStringLiteral("GL_TEXTURE_MIN_FILTER, GL_LINEAR);")));
    QCOMPARE(text.count(QStringLiteral("glColor4f(")), all ? 4 : 1);
    QCOMPARE(text.count(projective ? QStringLiteral("glTexCoord4f(") : QStringLiteral("glTexCoord2f(")), 4);
    const QRegularExpression vertex(QStringLiteral("glVertex3f\\(([^,]+)f, ([^,]+)f, ([^)]+)f\\);"));
    auto match = vertex.globalMatch(text);
    int corner = 0;
    while (match.hasNext()) {
        const QRegularExpressionMatch m = match.next();
        QVERIFY(corner < 4);
        for (int axis = 0; axis < 3; ++axis)
            QCOMPARE(m.captured(axis + 1).toFloat(), settings.Points[corner][axis]);
        ++corner;
    }
    QCOMPARE(corner, 4);
}

void TestSurfaceTools::pasteIsOneUndoableStepAndKeepsTheImage()
{
    SurfaceSettings copied = m_document->Settings();
    copied.Points[0][0] = -0.25f;
    copied.Colors[2][0] = 0.5f;
    copied.MagFilter = GL_NEAREST;
    copied.SrcFactor = GL_ZERO;
    copied.Flags = 0x2B;
    copied.ColorKey = 0x00FF00;
    m_document->ChangeSettings(copied, QStringLiteral("test"));
    m_frame->centralWidget()->setFocus();
    trigger(ID_EDIT_COPY);

    // Another image and other settings; the image must survive the paste.
    const std::uint64_t image = m_document->ImageRevision();
    SurfaceTestAccess::Of(*m_document).Width = 17;
    // Every value a paste carries differs, so none of them can be left out.
    SurfaceSettings other = copied;
    for (auto &point : other.Points)
        for (float &v : point)
            v += 0.125f;
    for (auto &colour : other.Colors)
        for (float &v : colour)
            v = v > 0.5f ? v - 0.25f : v + 0.25f;
    other.ColorKey = 0x0000FF;
    other.MagFilter = GL_LINEAR;
    other.MinFilter = GL_NEAREST_MIPMAP_NEAREST;
    other.SrcFactor = GL_SRC_ALPHA;
    other.DestFactor = GL_ONE_MINUS_SRC_ALPHA;
    other.Flags = ~copied.Flags & 0x3F;
    other.Version = 7;
    m_document->ChangeSettings(other, QStringLiteral("test"));
    const int steps = m_document->UndoStack()->count();

    trigger(ID_EDIT_PASTE);
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(m_document->UndoStack()->count(), steps + 1);
    SurfaceSettings expected = copied;
    expected.Version = 7;  // the image's own header fields stay
    QVERIFY(m_document->Settings() == expected);
    QCOMPARE(m_document->GetSurface().Width, 17u);
    QCOMPARE(m_document->ImageRevision(), image);
    m_document->UndoStack()->undo();
    QVERIFY(m_document->Settings() == other);
}

void TestSurfaceTools::pasteRefusesAnythingElse_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("plain words") << QStringLiteral("hello");
    QTest::newRow("other JSON") << QStringLiteral("{\"format\": \"something-else\", \"version\": 1}");
    QTest::newRow("field missing") << QStringLiteral(
        "{\"format\": \"skimbler-surface\", \"version\": 1, \"surface\": {\"Version\": 0}}");
    QTest::newRow("our call listing") << QStringLiteral("glBlendFunc(GL_ONE, GL_ONE);");
    // Well formed, but padded past what any surface's settings need.
    const QString settings = QStringLiteral(
        "{\"format\": \"skimbler-surface\", \"version\": 1, \"surface\": {\"Version\": 0, \"BPP\": 32, "
        "\"Type\": 2, \"DataFormat\": 0, \"Width\": 1, \"Height\": 1, \"ColorKey\": 0, \"MagFilter\": 9728, "
        "\"MinFilter\": 9728, \"SrcFactor\": 0, \"DestFactor\": 0, \"Flags\": 1, "
        "\"Points\": [[0, 0, 0], [0, 0, 0], [0, 0, 0], [0, 0, 0]], "
        "\"Colors\": [[0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0]]}");
    QTest::newRow("surface settings over 1 MiB") << settings + QString(1 << 20, QLatin1Char(' ')) + QLatin1Char('}');
}

void TestSurfaceTools::pasteRefusesAnythingElse()
{
    QFETCH(QString, text);
    QApplication::clipboard()->setText(text);
    m_frame->centralWidget()->setFocus();
    const SurfaceSettings before = m_document->Settings();
    const int steps = m_document->UndoStack()->count();
    trigger(ID_EDIT_PASTE);
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_document->Settings() == before);
    QCOMPARE(m_document->UndoStack()->count(), steps);
}

void TestSurfaceTools::copyAndPasteInAFieldStayText()
{
    CNumberEdit *field = FrameWidget<CNumberEdit>(m_frame, "xEdit");
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    field->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("elsewhere"));
    trigger(ID_EDIT_COPY);
    QCOMPARE(QApplication::clipboard()->text(), field->text());
    QVERIFY(!QApplication::clipboard()->mimeData()->hasFormat(QString::fromLatin1(SurfaceClipboard::MimeType)));

    const SurfaceSettings before = m_document->Settings();
    QApplication::clipboard()->setText(QStringLiteral("0.5"));
    field->selectAll();
    trigger(ID_EDIT_PASTE);
    QCOMPARE(field->text(), QStringLiteral("0.5"));
    QVERIFY(m_messages->messages.isEmpty());
    QVERIFY(m_document->Settings() == before);
}

void TestSurfaceTools::probeFollowsItsCommand()
{
    PixelProbeTool *probe = tools()->Probe();
    QVERIFY(!probe->IsEnabled());
    trigger(ID_PIXEL_PROBE);
    QVERIFY(probe->IsEnabled());
    Hover(view(), QPoint(30, 40));
    QTRY_VERIFY(probe->ReadoutText().startsWith(QStringLiteral("視窗像素 30, 40")));
    // It follows the document.
    SurfaceSettings after = m_document->Settings();
    after.SrcFactor = GL_SRC_ALPHA_SATURATE;
    m_document->ChangeSettings(after, QStringLiteral("test"));
    QTRY_VERIFY(probe->ReadoutText().contains(QStringLiteral("GL_SRC_ALPHA_SATURATE")));
    trigger(ID_PIXEL_PROBE);
    QVERIFY(!probe->IsEnabled());
    QVERIFY(probe->ReadoutText().isEmpty());

    // The held key works with the focus in a numeric field, which does not
    // get the letter.
    CNumberEdit *field = FrameWidget<CNumberEdit>(m_frame, "zEdit");
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    const QString text = field->text();
    QTest::keyPress(field, Qt::Key_I);
    QTRY_VERIFY(probe->ReadoutText().startsWith(QStringLiteral("視窗像素 30, 40")));
    QTest::keyRelease(field, Qt::Key_I);
    QVERIFY(probe->ReadoutText().isEmpty());
    QCOMPARE(field->text(), text);
    // Leaving the view hides it.
    trigger(ID_PIXEL_PROBE);
    QTRY_VERIFY(!probe->ReadoutText().isEmpty());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(view(), &leave);
    QVERIFY(probe->ReadoutText().isEmpty());
}

QTEST_MAIN(TestSurfaceTools)
#include "test_surfacetools.moc"
