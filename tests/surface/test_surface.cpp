// The surface record without a rendering context: construction, defaults,
// flag handling, value tables, and the document's view notification.

#include "common/MessageRecorder.h"

#include "surface/CSkimblerDoc.h"
#include "surface/SurfaceSettings.h"
#include "surface/DocumentView.h"
#include "surface/Surface.h"
#include "surface/ValueTable.h"

#include <QtTest>

#include <cstring>

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

const std::vector<ValueTable::Entry> &TableNamed(const QString &name)
{
    if (name == QLatin1String("Type"))
        return ValueTable::Type();
    if (name == QLatin1String("DataFormat"))
        return ValueTable::DataFormat();
    if (name == QLatin1String("MagFilter"))
        return ValueTable::MagFilter();
    if (name == QLatin1String("MinFilter"))
        return ValueTable::MinFilter();
    return ValueTable::BlendFactor();
}

} // namespace

class TestSurface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void constructedZero();
    void defaults();
    void defaultsKeepOtherFlagBits_data();
    void defaultsKeepOtherFlagBits();
    void defaultsLeaveShownOnlyFields();
    void valueNames_data();
    void valueNames();
    void valueLookupRoundTrips();
    void loadWithoutImage();
    void updateAllViewsReachesEveryViewButSender();
    void removedViewHearsNothing();
    void changeOfAnyOneValueIsAnEdit_data();
    void changeOfAnyOneValueIsAnEdit();
};

void TestSurface::constructedZero()
{
    const Surface surface;
    // Every byte after the vtable pointer is zero: no field was forgotten.
    const auto *bytes = reinterpret_cast<const unsigned char *>(&surface.Texture);
    const auto *end = reinterpret_cast<const unsigned char *>(&surface.Colors[3][3]) + sizeof(float);
    for (const unsigned char *p = bytes; p != end; ++p)
        QCOMPARE(int(*p), 0);
    QCOMPARE(ValueTable::NameOf(ValueTable::MagFilter(), surface.MagFilter), QStringLiteral("Unknow"));
    QCOMPARE(ValueTable::NameOf(ValueTable::BlendFactor(), surface.SrcFactor), QStringLiteral("GL_ZERO"));
}

void TestSurface::defaults()
{
    Surface surface;
    surface.Points[2][1] = 7.0f;
    surface.Colors[1][0] = 0.5f;
    surface.ApplyDefaults();

    QCOMPARE(surface.MagFilter, 9729u);
    QCOMPARE(surface.MinFilter, 9729u);
    QCOMPARE(surface.SrcFactor, 1u);
    QCOMPARE(surface.DestFactor, 1u);
    QCOMPARE(surface.Flags, 0x3Eu);

    const float w = 1.3333334f;
    QCOMPARE(w, 4.0f / 3.0f);
    const float points[4][3] = {{-w, 1, 0}, {-w, -1, 0}, {w, 1, 0}, {w, -1, 0}};
    const float colors[4][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}};
    QVERIFY(std::memcmp(surface.Points, points, sizeof points) == 0);
    QVERIFY(std::memcmp(surface.Colors, colors, sizeof colors) == 0);

    surface.Points[0][0] = 3.0f;
    surface.Points[3][2] = -1.0f;
    surface.ResetPoints();
    QVERIFY(std::memcmp(surface.Points, points, sizeof points) == 0);
}

void TestSurface::defaultsKeepOtherFlagBits_data()
{
    QTest::addColumn<unsigned>("before");
    QTest::addColumn<unsigned>("after");
    QTest::newRow("fresh") << 0u << 0x3Eu;
    QTest::newRow("colour key kept") << 0x01u << 0x3Fu;
    QTest::newRow("all six") << 0x3Fu << 0x3Fu;
    QTest::newRow("high bits kept") << 0xF0000101u << 0xF000013Fu;
    QTest::newRow("bits 6 and 7 kept") << 0xC0u << 0xFEu;
}

void TestSurface::defaultsKeepOtherFlagBits()
{
    QFETCH(unsigned, before);
    QFETCH(unsigned, after);
    Surface surface;
    surface.Flags = before;
    surface.ApplyDefaults();
    QCOMPARE(surface.Flags, after);
}

void TestSurface::defaultsLeaveShownOnlyFields()
{
    Surface surface;
    surface.Version = 3;
    surface.BPP = 24;
    surface.Type = 1;
    surface.DataFormat = 5;
    surface.ColorKey = 0xFF00FF;
    surface.ApplyDefaults();
    QCOMPARE(surface.Version, 3u);
    QCOMPARE(surface.BPP, 24u);
    QCOMPARE(surface.Type, 1u);
    QCOMPARE(surface.DataFormat, 5u);
    QCOMPARE(surface.ColorKey, 0xFF00FFu);
}

void TestSurface::valueNames_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<unsigned>("value");
    QTest::addColumn<QString>("name");

    QTest::newRow("Type 0") << QStringLiteral("Type") << 0u << QStringLiteral("0 - RGB");
    QTest::newRow("Type 1") << QStringLiteral("Type") << 1u << QStringLiteral("1 - RGBA");
    QTest::newRow("Type 2") << QStringLiteral("Type") << 2u << QStringLiteral("Unknow");
    QTest::newRow("DataFormat 0") << QStringLiteral("DataFormat") << 0u << QStringLiteral("0 - Normal Data");
    QTest::newRow("DataFormat 1") << QStringLiteral("DataFormat") << 1u << QStringLiteral("Unknow");
    QTest::newRow("Mag nearest") << QStringLiteral("MagFilter") << 9728u << QStringLiteral("GL_NEAREST");
    QTest::newRow("Mag mipmap") << QStringLiteral("MagFilter") << 9984u << QStringLiteral("Unknow");
    QTest::newRow("Min mipmap") << QStringLiteral("MinFilter") << 9984u << QStringLiteral("GL_NEAREST_MIPMAP_NEAREST");
    QTest::newRow("Min linear mipmap linear") << QStringLiteral("MinFilter") << 9987u
                                              << QStringLiteral("GL_LINEAR_MIPMAP_LINEAR");
    QTest::newRow("Min 0") << QStringLiteral("MinFilter") << 0u << QStringLiteral("Unknow");
    QTest::newRow("Blend zero") << QStringLiteral("Blend") << 0u << QStringLiteral("GL_ZERO");
    QTest::newRow("Blend dst colour") << QStringLiteral("Blend") << 774u << QStringLiteral("GL_DST_COLOR");
    QTest::newRow("Blend saturate") << QStringLiteral("Blend") << 776u << QStringLiteral("GL_SRC_ALPHA_SATURATE");
    QTest::newRow("Blend 777") << QStringLiteral("Blend") << 777u << QStringLiteral("Unknow");
    QTest::newRow("Blend 2") << QStringLiteral("Blend") << 2u << QStringLiteral("Unknow");
    QTest::newRow("Blend huge") << QStringLiteral("Blend") << 0xFFFFFFFFu << QStringLiteral("Unknow");
}

void TestSurface::valueNames()
{
    QFETCH(QString, table);
    QFETCH(unsigned, value);
    QFETCH(QString, name);
    QCOMPARE(ValueTable::NameOf(TableNamed(table), value), name);
}

void TestSurface::valueLookupRoundTrips()
{
    QCOMPARE(ValueTable::BlendFactor().size(), std::size_t(11));
    QCOMPARE(ValueTable::MinFilter().size(), std::size_t(6));
    QCOMPARE(ValueTable::MagFilter().size(), std::size_t(2));
    for (const QString &table : {QStringLiteral("Type"), QStringLiteral("DataFormat"), QStringLiteral("MagFilter"),
                                 QStringLiteral("MinFilter"), QStringLiteral("Blend")}) {
        for (const ValueTable::Entry &entry : TableNamed(table)) {
            std::uint32_t value = 12345;
            QVERIFY(ValueTable::ValueOf(TableNamed(table), QString::fromLatin1(entry.name), &value));
            QCOMPARE(value, entry.value);
        }
    }
    std::uint32_t untouched = 7;
    QVERIFY(!ValueTable::ValueOf(ValueTable::BlendFactor(), QStringLiteral("Unknow"), &untouched));
    QCOMPARE(untouched, 7u);
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
    QVERIFY(surface.Load(dir.filePath(QStringLiteral("absent.tga"))));
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("Could not open texture file")});
    QCOMPARE(surface.Texture, 0u);
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
    } else {
        changed.Colors[(word - 22) / 4][(word - 22) % 4] = 0.3f;
    }
    QVERIFY(document.ChangeSettings(changed, QStringLiteral("Edit")));
    QCOMPARE(document.UndoStack()->count(), 1);
    QVERIFY(!document.ChangeSettings(changed, QStringLiteral("Again")));
    QCOMPARE(document.UndoStack()->count(), 1);
}

QTEST_MAIN(TestSurface)
#include "test_surface.moc"
