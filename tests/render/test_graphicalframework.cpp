#include "common/MessageRecorder.h"
#include "render/DriverPreload.h"
#include "render/GraphicalFramework.h"

#include <QOpenGLContext>
#include <QWindow>
#include <QtTest>

#include <GL/gl.h>

namespace {

// Lets a test make any one platform step fail.
class FailingFramework : public GraphicalFramework
{
public:
    QString failStep;
    QStringList calls;

protected:
    DeviceContext GetDC(QWindow *window) override
    {
        calls << QStringLiteral("GetDC");
        return failStep == QLatin1String("GetDC") ? nullptr : GraphicalFramework::GetDC(window);
    }
    int ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor &descriptor) override
    {
        calls << QStringLiteral("Choose");
        return failStep == QLatin1String("Choose") ? 0 : GraphicalFramework::ChoosePixelFormat(dc, descriptor);
    }
    bool SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor &descriptor) override
    {
        calls << QStringLiteral("Set");
        return failStep != QLatin1String("Set") && GraphicalFramework::SetPixelFormat(dc, format, descriptor);
    }
    QOpenGLContext *CreateContext(DeviceContext dc) override
    {
        calls << QStringLiteral("CreateContext");
        return failStep == QLatin1String("CreateContext") ? nullptr : GraphicalFramework::CreateContext(dc);
    }
    bool MakeCurrent(DeviceContext dc, QOpenGLContext *context) override
    {
        calls << (context ? QStringLiteral("MakeCurrent") : QStringLiteral("MakeNoneCurrent"));
        if (context && failStep == QLatin1String("MakeCurrent"))
            return false;
        const bool ok = GraphicalFramework::MakeCurrent(dc, context);
        return !context && failStep == QLatin1String("Release") ? false : ok;
    }
    bool DeleteContext(QOpenGLContext *context) override
    {
        calls << QStringLiteral("Delete");
        const bool ok = GraphicalFramework::DeleteContext(context);
        return failStep == QLatin1String("Release") ? false : ok;
    }
};

} // namespace

class TestGraphicalFramework : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void descriptor_data();
    void descriptor();
    void createMakesContextCurrent();
    void driverPath_data();
    void driverPath();
    void createFailure_data();
    void createFailure();
    void releaseIsRepeatable();
    void releaseFailuresAreReportedAndCleared();
    void windowMadeBeforeItsSizeDrawsAtItsShownSize();
};

void TestGraphicalFramework::descriptor_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("colorBits");
    QTest::newRow("32") << 32 << 32;
    QTest::newRow("24") << 24 << 24;
    QTest::newRow("only the low byte counts") << 0x120 << 32;
}

void TestGraphicalFramework::descriptor()
{
    QFETCH(int, depth);
    QFETCH(int, colorBits);
    GraphicalFramework framework;
    framework.Depth = depth;
    const PixelFormatDescriptor d = framework.GetPixelFormatDescriptor();
    QCOMPARE(d.nSize, 40);
    QCOMPARE(d.nVersion, 1);
    QCOMPARE(d.dwFlags, 0x25u);
    QCOMPARE(d.iPixelType, 0);
    QCOMPARE(int(d.cColorBits), colorBits);
    QCOMPARE(int(d.cDepthBits), 16);
    QCOMPARE(int(d.cAlphaBits + d.cAccumBits + d.cStencilBits + d.cAuxBuffers + d.iLayerType), 0);
    QCOMPARE(d.dwLayerMask + d.dwVisibleMask + d.dwDamageMask, 0u);

    const QSurfaceFormat format = GraphicalFramework::FormatFor(d);
    QCOMPARE(format.swapBehavior(), QSurfaceFormat::DoubleBuffer);
    QCOMPARE(format.depthBufferSize(), 16);
    QCOMPARE(format.redBufferSize(), 8);
}

void TestGraphicalFramework::createMakesContextCurrent()
{
    // As the main window makes it: while the driver may still be loading
    // on another thread.
    const DriverPreload driver;
    MessageRecorder messages;
    QWindow window;
    GraphicalFramework framework;
    QVERIFY(framework.Create(800, 600, 32, &window, &window));
    messages.Hear(framework.TakeMessages());
    QVERIFY(messages.messages.isEmpty());
    QVERIFY(framework.RenderContext);
    QCOMPARE(QOpenGLContext::currentContext(), framework.RenderContext);
    QCOMPARE(framework.Width, 800);
    QCOMPARE(framework.Height, 600);
    QCOMPARE(framework.Depth, 32);
    QCOMPARE(framework.DeviceContextHandle, static_cast<QSurface *>(&window));
    QCOMPARE(window.format().depthBufferSize() >= 16, true);

    framework.Release();
    QVERIFY(!framework.RenderContext);
    QVERIFY(!QOpenGLContext::currentContext());
}

void TestGraphicalFramework::driverPath_data()
{
    QTest::addColumn<QString>("driversPath");
    QTest::addColumn<QString>("glxLibrary");
    QTest::addColumn<QString>("expected");
    const QString glx = QStringLiteral("/usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0");
    QTest::newRow("beside the GLX library") << QString() << glx
                                            << QStringLiteral("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so");
    QTest::newRow("the user's folder wins") << QStringLiteral("/opt/mesa/dri") << glx
                                            << QStringLiteral("/opt/mesa/dri/swrast_dri.so");
    QTest::newRow("first of several folders") << QStringLiteral("/a:/b") << glx << QStringLiteral("/a/swrast_dri.so");
    QTest::newRow("empty first folder") << QStringLiteral(":/b") << glx << QString();
    QTest::newRow("no GLX library") << QString() << QString() << QString();
    QTest::newRow("a bare library name") << QString() << QStringLiteral("libGLX_mesa.so.0") << QString();
}

void TestGraphicalFramework::driverPath()
{
    QFETCH(QString, driversPath);
    QFETCH(QString, glxLibrary);
    QFETCH(QString, expected);
    const QByteArray folders = driversPath.toUtf8();
    const QByteArray library = glxLibrary.toUtf8();
    const std::string path = DriverPreload::DriverPath(driversPath.isNull() ? nullptr : folders.constData(),
                                                       glxLibrary.isNull() ? nullptr : library.constData());
    QCOMPARE(QString::fromStdString(path), expected);
}

void TestGraphicalFramework::createFailure_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("callsMade");
    QTest::newRow("device context") << "GetDC" << "Can't Create A GL Device Context." << 1;
    QTest::newRow("choose format") << "Choose" << "Can't Find A Suitable PixelFormat." << 2;
    QTest::newRow("set format") << "Set" << "Can't Set The PixelFormat." << 3;
    QTest::newRow("create context") << "CreateContext" << "Can't Create A GL Rendering Context." << 4;
    // The failed activation releases the half-made context again.
    QTest::newRow("activate") << "MakeCurrent" << "Can't Activate The GL Rendering Context." << 7;
}

void TestGraphicalFramework::createFailure()
{
    QFETCH(QString, step);
    QFETCH(QString, message);
    QFETCH(int, callsMade);

    MessageRecorder messages;
    QWindow window;
    FailingFramework framework;
    framework.failStep = step;
    QVERIFY(!framework.Create(800, 600, 32, &window, &window));
    messages.Hear(framework.TakeMessages());

    QCOMPARE(messages.messages.size(), 1);
    QCOMPARE(messages.messages.first().text, message);
    QCOMPARE(messages.messages.first().caption, QStringLiteral("ERROR"));
    QCOMPARE(messages.messages.first().icon, UserMessage::Exclamation);
    QVERIFY(!framework.RenderContext);
    QCOMPARE(framework.Width + framework.Height + framework.Depth, 0);
    QCOMPARE(framework.Window, &window);
    QCOMPARE(framework.calls.size(), callsMade);
}

void TestGraphicalFramework::releaseIsRepeatable()
{
    MessageRecorder messages;
    GraphicalFramework never;
    never.Width = 5;
    never.Release();
    never.Release();
    QCOMPARE(never.Width, 0);

    QWindow window;
    GraphicalFramework framework;
    QVERIFY(framework.Create(800, 600, 32, &window, &window));
    framework.Release();
    framework.Release();
    messages.Hear(never.TakeMessages());
    messages.Hear(framework.TakeMessages());
    QVERIFY(messages.messages.isEmpty());
    QCOMPARE(framework.Window, &window);
    QCOMPARE(framework.DeviceContextHandle, static_cast<QSurface *>(&window));
}

void TestGraphicalFramework::releaseFailuresAreReportedAndCleared()
{
    MessageRecorder messages;
    QWindow window;
    FailingFramework framework;
    QVERIFY(framework.Create(800, 600, 32, &window, &window));
    framework.failStep = QStringLiteral("Release");
    framework.Release();
    messages.Hear(framework.TakeMessages());
    QCOMPARE(messages.texts(),
             (QStringList{QStringLiteral("Release Of DC And RC Failed."),
                          QStringLiteral("Release Rendering Context Failed.")}));
    for (const UserMessage &m : messages.messages) {
        QCOMPARE(m.caption, QStringLiteral("SHUTDOWN ERROR"));
        QCOMPARE(m.icon, UserMessage::Information);
    }
    QVERIFY(!framework.RenderContext);
    framework.Release();
    messages.Hear(framework.TakeMessages());
    QCOMPARE(messages.messages.size(), 2);
}

// The view makes its context while the frame is still being built, long
// before the window has the size it is shown at. The first frame must fill
// the window as shown, not the size the window had when the context came.
void TestGraphicalFramework::windowMadeBeforeItsSizeDrawsAtItsShownSize()
{
    MessageRecorder messages;
    QWindow window;
    window.resize(64, 48);
    GraphicalFramework framework;
    QVERIFY(framework.Create(800, 600, 32, &window, &window));
    QVERIFY(framework.MakeWindowCurrent());
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    window.resize(320, 240);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(framework.MakeWindowCurrent());
    const int width = qRound(window.width() * window.devicePixelRatio());
    const int height = qRound(window.height() * window.devicePixelRatio());
    glViewport(0, 0, width, height);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    unsigned char far[4] = {0, 0, 0, 0};
    glReadPixels(width - 2, height - 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, far);
    QCOMPARE((QList<int>{far[0], far[1], far[2]}), (QList<int>{255, 0, 0}));
    messages.Hear(framework.TakeMessages());
    QVERIFY(messages.messages.isEmpty());
}

QTEST_MAIN(TestGraphicalFramework)
#include "test_graphicalframework.moc"
