// The settings value without any editor: the defaults a new image gets and
// the names of the stored OpenGL values.

#include <skimbler/SurfaceSettings.h>
#include <skimbler/ValueTable.h>

#include <QtTest>

#include <cstring>
#include <string>

namespace ValueTable = skimbler::ValueTable;
using skimbler::SurfaceSettings;

namespace {

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

class TestCoreSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void defaultsKeepOtherFlagBits_data();
    void defaultsKeepOtherFlagBits();
    void defaultsLeaveShownOnlyFields();
    void valueNames_data();
    void valueNames();
    void valueLookupRoundTrips();
};

void TestCoreSettings::defaults()
{
    SurfaceSettings surface;
    surface.Points[2][1] = 7.0f;
    surface.Colors[1][0] = 0.5f;
    skimbler::ApplyDefaults(&surface);

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
    skimbler::ResetPoints(&surface);
    QVERIFY(std::memcmp(surface.Points, points, sizeof points) == 0);

    SurfaceSettings fresh;
    skimbler::ApplyDefaults(&fresh);
    QVERIFY(skimbler::DefaultSettings() == fresh);
}

void TestCoreSettings::defaultsKeepOtherFlagBits_data()
{
    QTest::addColumn<unsigned>("before");
    QTest::addColumn<unsigned>("after");
    QTest::newRow("fresh") << 0u << 0x3Eu;
    QTest::newRow("colour key kept") << 0x01u << 0x3Fu;
    QTest::newRow("all six") << 0x3Fu << 0x3Fu;
    QTest::newRow("high bits kept") << 0xF0000101u << 0xF000013Fu;
    QTest::newRow("bits 6 and 7 kept") << 0xC0u << 0xFEu;
}

void TestCoreSettings::defaultsKeepOtherFlagBits()
{
    QFETCH(unsigned, before);
    QFETCH(unsigned, after);
    SurfaceSettings surface;
    surface.Flags = before;
    skimbler::ApplyDefaults(&surface);
    QCOMPARE(surface.Flags, after);
}

void TestCoreSettings::defaultsLeaveShownOnlyFields()
{
    SurfaceSettings surface;
    surface.Version = 3;
    surface.BPP = 24;
    surface.Type = 1;
    surface.DataFormat = 5;
    surface.ColorKey = 0xFF00FF;
    skimbler::ApplyDefaults(&surface);
    QCOMPARE(surface.Version, 3u);
    QCOMPARE(surface.BPP, 24u);
    QCOMPARE(surface.Type, 1u);
    QCOMPARE(surface.DataFormat, 5u);
    QCOMPARE(surface.ColorKey, 0xFF00FFu);
}

void TestCoreSettings::valueNames_data()
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

void TestCoreSettings::valueNames()
{
    QFETCH(QString, table);
    QFETCH(unsigned, value);
    QFETCH(QString, name);
    QCOMPARE(QString::fromLatin1(ValueTable::NameOf(TableNamed(table), value)), name);
}

void TestCoreSettings::valueLookupRoundTrips()
{
    QCOMPARE(ValueTable::BlendFactor().size(), std::size_t(11));
    QCOMPARE(ValueTable::MinFilter().size(), std::size_t(6));
    QCOMPARE(ValueTable::MagFilter().size(), std::size_t(2));
    for (const QString &table : {QStringLiteral("Type"), QStringLiteral("DataFormat"), QStringLiteral("MagFilter"),
                                 QStringLiteral("MinFilter"), QStringLiteral("Blend")}) {
        for (const ValueTable::Entry &entry : TableNamed(table)) {
            std::uint32_t value = 12345;
            QVERIFY(ValueTable::ValueOf(TableNamed(table), std::string(entry.name), &value));
            QCOMPARE(value, entry.value);
        }
    }
    std::uint32_t untouched = 7;
    QVERIFY(!ValueTable::ValueOf(ValueTable::BlendFactor(), "Unknow", &untouched));
    QCOMPARE(untouched, 7u);
}

QTEST_GUILESS_MAIN(TestCoreSettings)
#include "test_coresettings.moc"
