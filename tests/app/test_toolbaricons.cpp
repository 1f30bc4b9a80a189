#include "app/ToolBarIcons.h"
#include "res/Resource.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QTest>

using namespace Resource;

class TestToolBarIcons : public QObject
{
    Q_OBJECT

private slots:
    void sharpAtOneAndTwo_data();
    void sharpAtOneAndTwo();
    void disabledIsGrey();
    void separatorsAndFieldsHaveNoImage();
};

void TestToolBarIcons::sharpAtOneAndTwo_data()
{
    QTest::addColumn<int>("commandId");
    const int ids[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE,
                       ID_FILE_PRINT, ID_APP_ABOUT, ID_SHOW_AXES, ID_SHOW_HANDLES, ID_ZOOM_IN, ID_ZOOM_OUT,
                       ID_ZOOM_100, ID_POINT_FULL, ID_POINT_NONE, ID_POINT_0, ID_POINT_1, ID_POINT_2,
                       ID_POINT_3};
    for (int id : ids)
        QTest::newRow(QByteArray::number(id).constData()) << id;
}

void TestToolBarIcons::sharpAtOneAndTwo()
{
    QFETCH(int, commandId);
    const QIcon icon = ToolBarIcons::Icon(commandId);
    QVERIFY(!icon.isNull());

    const QImage single = icon.pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QImage twice = icon.pixmap(QSize(16, 16), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(twice.devicePixelRatio(), 2.0);
    twice.setDevicePixelRatio(1.0);
    QCOMPARE(single.size(), QSize(16, 16));
    QCOMPARE(twice.size(), QSize(32, 32));

    int opaque = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int alpha = qAlpha(single.pixel(x, y));
            // No half-covered pixels: every edge falls on a pixel border.
            QVERIFY2(alpha == 0 || alpha == 255, qPrintable(QStringLiteral("blurred at %1,%2").arg(x).arg(y)));
            opaque += alpha == 255;
        }
    }
    QVERIFY(opaque > 8);
    // The 2x image is the 1x image with each pixel doubled: nothing smeared.
    QCOMPARE(twice, single.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void TestToolBarIcons::disabledIsGrey()
{
    const QIcon icon = ToolBarIcons::Icon(ID_EDIT_CUT);
    const QImage normal = icon.pixmap(QSize(16, 16), 1.0, QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled).toImage();
    QVERIFY(normal != disabled);
    bool anyPixel = false;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb pixel = disabled.pixel(x, y);
            if (qAlpha(pixel) == 0)
                continue;
            anyPixel = true;
            QCOMPARE(qRed(pixel), qBlue(pixel));
            QCOMPARE(qGreen(pixel), qBlue(pixel));
        }
    }
    QVERIFY(anyPixel);
}

void TestToolBarIcons::separatorsAndFieldsHaveNoImage()
{
    for (int id : {ID_ZOOM_SLOT, ID_POINT_SEPARATOR, ID_EDIT_X_SLOT, ID_LABEL_X_SLOT, 0})
        QVERIFY(ToolBarIcons::Icon(id).isNull());
}

QTEST_MAIN(TestToolBarIcons)
#include "test_toolbaricons.moc"
