#include "surface/ImageLoadJob.h"

#include "surface/PixelImage.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>

namespace {

// Runs `deliver` on the main thread, where the job lives and where its
// pointer may be looked at safely; nowhere once the application is gone.
template <typename Function>
void OnMainThread(Function deliver)
{
    if (QCoreApplication *application = QCoreApplication::instance())
        QMetaObject::invokeMethod(application, std::move(deliver), Qt::QueuedConnection);
}

} // namespace

ImageLoadJob::ImageLoadJob(QObject *parent)
    : QObject(parent)
    , m_state(std::make_shared<State>())
{
}

ImageLoadJob::~ImageLoadJob()
{
    Cancel();
}

quint64 ImageLoadJob::Start(const QString &path, const ImageReader::SizeCheck &sizeCheck)
{
    const quint64 number = ++m_state->current;
    m_running = true;
    const std::shared_ptr<State> state = m_state;
    QPointer<ImageLoadJob> job(this);
    QThreadPool::globalInstance()->start([=] {
        const auto current = [&] { return state->current.load() == number; };
        int lastPercent = -1;
        const ImageReader::Observer observer = [&](qint64 done, qint64 total) {
            if (!current())
                return false;
            const int percent = total > 0 ? int(done * 100 / total) : 0;
            if (percent != lastPercent) {
                lastPercent = percent;
                OnMainThread([job, state, number, percent] {
                    if (job && state->current.load() == number)
                        Q_EMIT job->progress(percent);
                });
            }
            return true;
        };
        auto image = std::make_shared<PixelImage>();
        ImageError error;
        const bool ok = current() && ImageReader::Read(path, sizeCheck, image.get(), &error, observer);
        if (!current())
            return;  // cancelled or superseded: whatever came of it is dropped here
        OnMainThread([job, state, number, ok, path, image, error] {
            // Checked again on arrival: a newer read may have started since.
            if (!job || state->current.load() != number)
                return;
            job->m_running = false;
            if (ok)
                Q_EMIT job->loaded(path, image);
            else
                Q_EMIT job->failed(path, error);
        });
    });
    return number;
}

void ImageLoadJob::Cancel()
{
    ++m_state->current;
    m_running = false;
}

quint64 ImageLoadJob::Current() const
{
    return m_state->current.load();
}
