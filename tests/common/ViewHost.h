#pragma once

#include "common/SettingsThroughCommand.h"
#include "common/TgaTestFiles.h"
#include "render/GraphicalInterface.h"
#include "render/SurfaceTexture.h"
#include "surface/CSkimblerDoc.h"
#include "view/CSkimblerView.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QString>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWidget>

#include <GL/gl.h>

#include <memory>
#include <vector>

namespace ViewTest {

// The back buffer, read before the swap; rows bottom to top as GL has them.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    // (x, y) in window pixels, y from the top.
    const unsigned char *at(int x, int y) const
    {
        return &rgba[static_cast<size_t>(((height - 1 - y) * width + x) * 4)];
    }
};

inline Pixels ReadBack(CSkimblerView *view)
{
    Pixels pixels;
    pixels.width = view->ClientWidth();
    pixels.height = view->ClientHeight();
    pixels.rgba.resize(static_cast<size_t>(pixels.width * pixels.height * 4));
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, pixels.width, pixels.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.rgba.data());
    return pixels;
}

// Renders one frame of the view into its back buffer and reads it.
inline Pixels RenderAndRead(CSkimblerView *view)
{
    view->MakeCurrent();
    view->DrawScene();
    return ReadBack(view);
}

// The frame once the surface's picture is shown: a large picture's
// texture is made on a thread and drawn from the frame after it is whole.
inline Pixels RenderShown(CSkimblerView *view)
{
    Pixels frame = RenderAndRead(view);
    QDeadlineTimer deadline(10000);
    while (view->Interface() && view->Interface()->Textures().Waiting() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        frame = RenderAndRead(view);
    }
    return frame;
}

inline void SendMouse(CSkimblerView *view, QEvent::Type type, QPoint position, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(position), view->mapToGlobal(QPointF(position)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
}

inline void Press(CSkimblerView *view, QPoint position)
{
    SendMouse(view, QEvent::MouseMove, position, Qt::NoButton, Qt::NoButton);
    SendMouse(view, QEvent::MouseButtonPress, position, Qt::LeftButton, Qt::LeftButton);
}

inline void Drag(CSkimblerView *view, QPoint position)
{
    SendMouse(view, QEvent::MouseMove, position, Qt::NoButton, Qt::LeftButton);
}

inline void Hover(CSkimblerView *view, QPoint position)
{
    SendMouse(view, QEvent::MouseMove, position, Qt::NoButton, Qt::NoButton);
}

inline void Release(CSkimblerView *view, QPoint position)
{
    SendMouse(view, QEvent::MouseButtonRelease, position, Qt::LeftButton, Qt::NoButton);
}

inline void SendKey(CSkimblerView *view, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QCoreApplication::sendEvent(view, &event);
}

inline void Wheel(CSkimblerView *view, QPoint position, int delta)
{
    QWheelEvent event(QPointF(position), view->mapToGlobal(QPointF(position)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &event);
}

// Window position of a plane point, through the view's own conversion.
inline QPoint ScreenOf(CSkimblerView *view, float x, float y)
{
    view->Interface()->WorldToScreen(x, y);
    return QPoint(qRound(x), qRound(y));
}

// Corner i's window position as `view` shows `document`'s surface.
inline QPointF CornerInWindow(const CSkimblerView &view, const CSkimblerDoc &document, int i)
{
    const float *p = document.GetSurface().Points[i];
    return view.SurfaceToWindow(p[0], p[1], p[2]);
}

// The default layout at half size, so every handle lies inside the view.
inline void HalveLayout(CSkimblerDoc &document)
{
    // A starting state, not an edit: no undo step, not modified.
    ArrangeThroughCommand(document, [](auto &s) {
        for (auto &point : s.Points) {
            point[0] *= 0.5f;
            point[1] *= 0.5f;
        }
    });
}

// A working folder for the whole test case, whose a.tga every new document
// loads; the folder before it is the working one again at the end.
class TgaFolderTest : public QObject
{
    Q_OBJECT

protected:
    QTemporaryDir m_dir;
    QString m_previousDir;

    // What a.tga holds: 4 x 4 white, unless a test needs another picture.
    virtual bool writeImage(const QString &path)
    {
        return TgaTestFiles::WriteSolid(path, 4, 4, qRgba(255, 255, 255, 255));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(writeImage(m_dir.filePath(QStringLiteral("a.tga"))));
        m_previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_previousDir); }
};

// The tests of a view on its own window (no main frame): a new document in
// a view of the size a test asks for, closed after each test function.
class BareViewTest : public TgaFolderTest
{
    Q_OBJECT

protected:
    std::unique_ptr<CSkimblerDoc> m_document;
    std::unique_ptr<CSkimblerView> m_view;

    // A new document in a new view, shown and exposed at this size.
    bool openView(int width, int height)
    {
        m_document = std::make_unique<CSkimblerDoc>();
        m_view = std::make_unique<CSkimblerView>();
        m_view->resize(width, height);
        if (m_view->OnCreate() != 0)
            return false;
        m_view->SetDocument(m_document.get());
        if (!m_document->OnNewDocument())
            return false;
        m_view->show();
        return QTest::qWaitForWindowExposed(m_view.get()) && resizeView(width, height);
    }

    // Resizes the view and waits until what it draws has that size too.
    bool resizeView(int width, int height)
    {
        m_view->resize(width, height);
        return QTest::qWaitFor([&] {
            return m_view->size() == QSize(width, height) && m_view->ClientWidth() == width
                && m_view->ClientHeight() == height && m_view->Interface()->Width == width
                && m_view->Interface()->Height == height;
        });
    }

    void closeView()
    {
        m_view.reset();
        m_document.reset();
    }

private Q_SLOTS:
    void cleanup() { closeView(); }
};

// A plain window holding a view the way any editor's window would: the view
// in a window container under a text field and a number field, and the last
// value of each signal the view sent, where a main window would show it.
class ViewHost : public QWidget
{
public:
    explicit ViewHost(CSkimblerView *view)
        : view(view)
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        field = new QLineEdit(QStringLiteral("a"), this);
        layout->addWidget(field);
        numbers = new QLineEdit(QStringLiteral("0.5"), this);
        numbers->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
        layout->addWidget(numbers);
        container = QWidget::createWindowContainer(view, this);
        container->setFocusPolicy(Qt::StrongFocus);
        layout->addWidget(container, 1);
        QObject::connect(view, &CSkimblerView::coordinatesChanged, this, [this](int point, double x, double y, double z) {
            coordinates = {point, x, y, z};
            ++coordinateAnnouncements;
        });
        QObject::connect(view, &CSkimblerView::selectedPointChanged, this, [this](int point) { selected = point; });
        QObject::connect(view, &CSkimblerView::zoomChanged, this, [this](float value) { zoom = value; });
        QObject::connect(view, &CSkimblerView::hoverTextChanged, this, [this](const QString &text) { hover = text; });
    }

    struct Coordinates
    {
        int point = -1;
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
    };

    CSkimblerView *view;
    QLineEdit *field = nullptr;
    QLineEdit *numbers = nullptr;
    QWidget *container = nullptr;
    Coordinates coordinates;
    int coordinateAnnouncements = 0;
    int selected = -1;
    float zoom = 1.0f;
    QString hover;
};

// The tests of a view in a ViewHost (no main frame): a new document, closed
// after each test function.
class HostedViewTest : public TgaFolderTest
{
    Q_OBJECT

protected:
    std::unique_ptr<CSkimblerDoc> m_document;
    std::unique_ptr<ViewHost> m_host;
    CSkimblerView *m_view = nullptr;

    const Surface &surface() const { return m_document->GetSurface(); }

    // The host shown and exposed, its view at width x height.
    bool openHost(int width, int height)
    {
        m_document = std::make_unique<CSkimblerDoc>();
        m_view = new CSkimblerView;
        m_host = std::make_unique<ViewHost>(m_view);
        m_host->resize(width, height + 2 * m_host->field->sizeHint().height());
        // The order the editor's window keeps: the document, then the
        // native window and its context, then the first picture.
        m_view->SetDocument(m_document.get());
        m_view->create();
        if (m_view->OnCreate() != 0)
            return false;
        if (!m_document->OnNewDocument())
            return false;
        m_host->show();
        return QTest::qWaitForWindowExposed(m_host.get()) && QTest::qWaitForWindowExposed(m_view)
            && setViewSize(width, height);
    }

    // Grows or shrinks the host until the view, and what it draws, has the
    // wanted size.
    bool setViewSize(int width, int height)
    {
        const auto sized = [&] {
            return m_view->size() == QSize(width, height) && m_view->Interface()->Width == width
                && m_view->Interface()->Height == height;
        };
        for (int attempt = 0; attempt < 5 && !sized(); ++attempt) {
            m_host->resize(m_host->size() + QSize(width, height) - m_view->size());
            if (QTest::qWaitFor(sized, 2000))
                return true;
        }
        return sized();
    }

    // The host active with the keyboard focus in `target`.
    bool focusInto(QWidget *target)
    {
        m_host->activateWindow();
        if (!QTest::qWaitForWindowActive(m_host.get()))
            return false;
        target->setFocus();
        return QTest::qWaitFor([&] { return target->hasFocus(); });
    }

    // Corner i's window position as the view shows it, and the whole pixel
    // nearest to it.
    QPointF windowOf(int i) const { return CornerInWindow(*m_view, *m_document, i); }
    QPoint cornerAt(int i) const { return windowOf(i).toPoint(); }
    void halveLayout() { HalveLayout(*m_document); }

private Q_SLOTS:
    void cleanup()
    {
        m_host.reset();
        m_view = nullptr;
        m_document.reset();
    }
};

} // namespace ViewTest
