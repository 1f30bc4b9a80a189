#pragma once

#include "surface/CSkimblerDoc.h"
#include "view/CSkimblerView.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QString>
#include <QWheelEvent>

#include <GL/gl.h>

#include <vector>

namespace ViewTest {

// A 32-bit uncompressed TGA of one colour (bytes in the file's B, G, R, A
// order).
inline bool WriteTga(const QString &path, int width, int height, unsigned char b = 255, unsigned char g = 255,
                     unsigned char r = 255, unsigned char a = 255)
{
    QByteArray data(18, '\0');
    data[2] = 2;
    data[12] = static_cast<char>(width & 0xFF);
    data[13] = static_cast<char>(width >> 8);
    data[14] = static_cast<char>(height & 0xFF);
    data[15] = static_cast<char>(height >> 8);
    data[16] = 32;
    data[17] = 8;
    for (int i = 0; i < width * height; ++i) {
        data.append(static_cast<char>(b));
        data.append(static_cast<char>(g));
        data.append(static_cast<char>(r));
        data.append(static_cast<char>(a));
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

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

} // namespace ViewTest
