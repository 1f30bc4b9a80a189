#pragma once

#include "surface/ImageReader.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class PixelImage;

// Reads and decodes an image file on a worker thread, so that a large
// picture never stops the window from drawing. One job reads one file at a
// time: starting another read, or cancelling, makes the result of the read
// before it arrive nowhere (a late result loses to a newer open). The job
// belongs to the main thread; results and progress are delivered there.
class ImageLoadJob : public QObject
{
    Q_OBJECT

public:
    explicit ImageLoadJob(QObject *parent = nullptr);
    // A read still running is cancelled; it ends on its own, unheard.
    ~ImageLoadJob() override;

    // Starts reading `path`. `sizeCheck` runs on the worker, so it must not
    // touch OpenGL: ask the context's limits before, and check them here.
    // Returns the read's number.
    quint64 Start(const QString &path, const ImageReader::SizeCheck &sizeCheck);
    // The running read is dropped and stops as soon as its reader lets it.
    void Cancel();
    // Whether a read has been started and neither delivered nor cancelled.
    bool IsRunning() const { return m_running; }
    // The number of the latest read; only its result is delivered (after
    // Cancel, no read has this number).
    quint64 Current() const;

Q_SIGNALS:
    // How much of the file has been read, 0 to 100, now and then.
    void progress(int percent);
    // The picture, rows in texture order, ready to be made a texture.
    void loaded(const QString &path, std::shared_ptr<PixelImage> image);
    // Why the file could not be read, exactly as a read on this thread
    // would have said it; nothing has been reported.
    void failed(const QString &path, const ImageError &error);

private:
    // Shared with the workers, which may outlive the job.
    struct State
    {
        std::atomic<quint64> current{0};
    };
    std::shared_ptr<State> m_state;
    bool m_running = false;
};
