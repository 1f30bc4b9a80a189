#include "render/ContextLender.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QOpenGLContext>
#include <QThread>

#include <GL/gl.h>

#include <condition_variable>
#include <mutex>

struct ContextLender::Shared
{
    std::mutex mutex;
    std::condition_variable back;
    bool lent = false;
    // Set when the lender goes: a late `returned` is not run.
    bool ended = false;
};

ContextLender::ContextLender()
    : m_shared(std::make_shared<Shared>())
{
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("first draw"));
    m_worker = new QObject;
    m_worker->moveToThread(m_thread);
    m_thread->start();
}

ContextLender::~ContextLender()
{
    Reclaim();
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->ended = true;
    }
    QObject *worker = m_worker;
    QMetaObject::invokeMethod(worker, [worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void ContextLender::Lend(QOpenGLContext *context, QSurface *surface, std::function<void()> draw,
                         std::function<void()> returned)
{
    Reclaim();
    QThread *owner = QThread::currentThread();
    context->doneCurrent();
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->lent = true;
    }
    context->moveToThread(m_thread);
    const std::shared_ptr<Shared> shared = m_shared;
    QMetaObject::invokeMethod(m_worker, [shared, context, surface, owner, draw, returned] {
        if (context->makeCurrent(surface)) {
            glPushAttrib(GL_ALL_ATTRIB_BITS);
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            draw();
            glMatrixMode(GL_MODELVIEW);
            glPopMatrix();
            glPopAttrib();
            glFinish();
            context->doneCurrent();
        }
        // Only the thread an object lives in may move it on.
        context->moveToThread(owner);
        {
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->lent = false;
        }
        shared->back.notify_all();
        if (QCoreApplication *application = QCoreApplication::instance())
            QMetaObject::invokeMethod(application, [shared, returned] {
                bool ended = false;
                {
                    const std::lock_guard<std::mutex> lock(shared->mutex);
                    ended = shared->ended;
                }
                if (!ended && returned)
                    returned();
            });
    });
}

bool ContextLender::Lent() const
{
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->lent;
}

void ContextLender::Reclaim()
{
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    m_shared->back.wait(lock, [this] { return !m_shared->lent; });
}
