#include "app/AppStyle.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyle>
#include <QToolBar>
#include <QtTest>

// The style the program starts with: the platform's, with its extension
// arrows drawn, so that a window with a menu bar and tool bars comes up
// without loading the image-format plug-ins.
class TestAppStyle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowComesUpWithoutImagePlugins();
    void extensionArrowsAreDrawn_data();
    void extensionArrowsAreDrawn();
};

void TestAppStyle::windowComesUpWithoutImagePlugins()
{
    const QString base = QApplication::style()->name();
    AppStyle::Install();
    auto *proxy = qobject_cast<QProxyStyle *>(QApplication::style());
    QVERIFY(proxy);
    QCOMPARE(proxy->baseStyle()->name(), base);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.addToolBar(QStringLiteral("bar"))->addAction(QStringLiteral("action"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY2(!maps.readAll().contains("/imageformats/"), "an image-format plug-in was loaded");
}

void TestAppStyle::extensionArrowsAreDrawn_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("horizontal bar") << int(QStyle::SP_ToolBarHorizontalExtensionButton);
    QTest::newRow("vertical bar") << int(QStyle::SP_ToolBarVerticalExtensionButton);
}

void TestAppStyle::extensionArrowsAreDrawn()
{
    QFETCH(int, which);
    AppStyle::Install();
    const QImage image = QApplication::style()->standardIcon(QStyle::StandardPixmap(which)).pixmap(16, 16).toImage();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += qAlpha(image.pixel(x, y)) > 128;
    QVERIFY2(inked > 8 && inked < 16 * 16 / 2, qPrintable(QString::number(inked)));
}

QTEST_MAIN(TestAppStyle)
#include "test_appstyle.moc"
