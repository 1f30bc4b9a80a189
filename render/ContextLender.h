#pragma once

#include <functional>
#include <memory>

class QObject;
class QOpenGLContext;
class QSurface;
class QThread;

// Lends a window's OpenGL context to a thread of its own for one drawing
// that the window never shows. A software renderer builds the routine that
// draws a new kind of texture (its layout, filters and blending) in the
// context that draws it, at the first draw, and that takes it longer than
// a frame; drawn once here first, that work is off the window's thread and
// the window's next frame finds the routine made.
class ContextLender
{
public:
    ContextLender();
    // Waits for a loan under way, then ends the thread.
    ~ContextLender();
    ContextLender(const ContextLender &) = delete;
    ContextLender &operator=(const ContextLender &) = delete;

    // `context` is current on the calling thread now and stops being so:
    // the thread makes it current on `surface`, runs `draw` with every
    // attribute it changes put back, waits for the drawing to be done and
    // hands the context back; `returned` then runs on the calling thread's
    // event loop. While lent, the context must not be used here; Reclaim
    // waits for it.
    void Lend(QOpenGLContext *context, QSurface *surface, std::function<void()> draw,
              std::function<void()> returned);
    // Whether a lent context is still away.
    bool Lent() const;
    // Returns once a lent context is back on the calling thread.
    void Reclaim();

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr;
};
