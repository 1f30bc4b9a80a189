// The surface record without a rendering context: construction, a load
// without an image, and the document's view notification.

#include "common/MessageRecorder.h"

#include "surface/CSkimblerDoc.h"
#include <skimbler/SurfaceSettings.h>
#include "surface/DocumentView.h"
#include "surface/Surface.h"

#include <QtTest>

#include <cstring>

using skimbler::SurfaceSettings;
using skimbler::SURFACE_FLAG_COLORKEY;

namespace {

struct RecordingView : DocumentView
{
    void OnUpdate(DocumentView *sender, long hint, QObject *hintObject) override
    {
        ++updates;
        lastSender = sender;
        lastHint = hint;
        lastHintObject = hintObject;
    }
    int updates = 0;
    DocumentView *lastSender = reinterpret_cast<DocumentView *>(1);
    long lastHint = -1;
    QObject *lastHintObject = reinterpret_cast<QObject *>(1);
};

} // namespace

class TestSurface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void constructedZero();
    void loadWithoutImage();
    void updateAllViewsReachesEveryViewButSender();
    void removedViewHearsNothing();
    void changeOfAnyOneValueIsAnEdit_data();
    void changeOfAnyOneValueIsAnEdit();
};

void TestSurface::constructedZero()
{
    const Surface surface;
    // Every setting, bit for bit, and the image's part: nothing was forgotten.
    QVERIFY(static_cast<const skimbler::SurfaceSettings &>(surface) == skimbler::SurfaceSettings{});
    QVERIFY(!surface.Image);
    QCOMPARE(surface.Width, 0u);
    QCOMPARE(surface.Height, 0u);
}

// Without an image no OpenGL call is needed: the failure is reported, the
// size is 0 x 0 and the defaults still apply.
void TestSurface::loadWithoutImage()
{
    QTemporaryDir dir;
    MessageRecorder recorder;
    Surface surface;
    surface.Width = 5;
    surface.Height = 6;
    surface.Flags = SURFACE_FLAG_COLORKEY;
    UserMessages told;
    QVERIFY(surface.Load(dir.filePath(QStringLiteral("absent.tga")), 0, &told));
    recorder.Hear(told);
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("Could not open texture file")});
    QVERIFY(!surface.Image);
    QCOMPARE(surface.Width, 0u);
    QCOMPARE(surface.Height, 0u);
    QCOMPARE(surface.Flags, 0x3Fu);
    QCOMPARE(surface.MagFilter, 9729u);
}

void TestSurface::updateAllViewsReachesEveryViewButSender()
{
    CSkimblerDoc document;
    RecordingView first, second, third;
    document.AddView(&first);
    document.AddView(&second);
    document.AddView(&second);  // added twice, told once
    document.AddView(&third);
    QSignalSpy updated(&document, &CSkimblerDoc::viewsUpdated);

    document.UpdateAllViews(nullptr);
    QCOMPARE(first.updates, 1);
    QCOMPARE(second.updates, 1);
    QCOMPARE(third.updates, 1);
    QCOMPARE(first.lastSender, nullptr);
    QCOMPARE(first.lastHint, 0L);
    QCOMPARE(first.lastHintObject, nullptr);
    QCOMPARE(updated.count(), 1);

    document.UpdateAllViews(&second, 4);
    QCOMPARE(first.updates, 2);
    QCOMPARE(second.updates, 1);
    QCOMPARE(third.updates, 2);
    QCOMPARE(third.lastSender, &second);
    QCOMPARE(third.lastHint, 4L);
}

void TestSurface::removedViewHearsNothing()
{
    CSkimblerDoc document;
    RecordingView view;
    document.AddView(&view);
    document.RemoveView(&view);
    QSignalSpy modified(&document, &CSkimblerDoc::modifiedChanged);
    document.SetModifiedFlag();
    document.SetModifiedFlag();
    QCOMPARE(modified.count(), 1);
    QVERIFY(document.IsModified());
    document.UpdateAllViews(nullptr);
    QCOMPARE(view.updates, 0);
}

// No value is left out of the comparison that decides whether an edit changes
// anything: one that is would see its edits dropped as no-ops.
void TestSurface::changeOfAnyOneValueIsAnEdit_data()
{
    QTest::addColumn<int>("word");
    const char *const scalars[] = {"Version", "BPP", "Type", "DataFormat", "ColorKey",
                                   "MagFilter", "MinFilter", "SrcFactor", "DestFactor", "Flags"};
    int word = 0;
    for (const char *name : scalars)
        QTest::newRow(name) << word++;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            QTest::addRow("Points[%d][%d]", i, j) << word++;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            QTest::addRow("Colors[%d][%d]", i, j) << word++;
    QTest::newRow("PerspectiveCorrect") << word++;
    QCOMPARE(word * 4, int(sizeof(SurfaceSettings)));
}

void TestSurface::changeOfAnyOneValueIsAnEdit()
{
    QFETCH(int, word);
    CSkimblerDoc document;
    SurfaceSettings changed = document.Settings();
    if (word < 10) {
        std::uint32_t *scalars[] = {&changed.Version, &changed.BPP, &changed.Type, &changed.DataFormat,
                                    &changed.ColorKey, &changed.MagFilter, &changed.MinFilter,
                                    &changed.SrcFactor, &changed.DestFactor, &changed.Flags};
        *scalars[word] = 7;
    } else if (word < 22) {
        changed.Points[(word - 10) / 3][(word - 10) % 3] = 0.3f;
    } else if (word < 38) {
        changed.Colors[(word - 22) / 4][(word - 22) % 4] = 0.3f;
    } else {
        changed.PerspectiveCorrect = 1;
    }
    QVERIFY(document.ChangeSettings(changed, QStringLiteral("Edit")));
    QCOMPARE(document.UndoStack()->count(), 1);
    QVERIFY(!document.ChangeSettings(changed, QStringLiteral("Again")));
    QCOMPARE(document.UndoStack()->count(), 1);
}

QTEST_MAIN(TestSurface)
#include "test_surface.moc"
