// The floor for start-up: the least a Qt program does to show one OpenGL
// window and draw a frame into it.

#include <QGuiApplication>
#include <QOpenGLFunctions>
#include <QOpenGLWindow>

namespace {

class Window : public QOpenGLWindow
{
protected:
    void paintGL() override
    {
        QOpenGLFunctions *gl = context()->functions();
        gl->glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        gl->glClear(GL_COLOR_BUFFER_BIT);
    }
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    Window window;
    window.resize(1280, 1024);
    window.show();
    return QGuiApplication::exec();
}
