// The floor for the stall figure: a program that does nothing but run the
// same 1 ms timer in a Qt event loop as the probe in the editor does. Run
// beside the editor while it opens a large picture, its longest gap is what
// the machine alone (the other processes, the hypervisor, the editor's own
// worker threads taking the processors) does to any event loop at that time.
// Ends on SIGTERM and writes "<longest gap ms>" to the file named by its one
// argument.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_stop{false};

void Stop(int)
{
    g_stop.store(true);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QFile::decodeName(argv[1]);
    std::signal(SIGTERM, Stop);
    QElapsedTimer clock;
    clock.start();
    double last = 0;
    double longest = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        longest = std::max(longest, now - last);
        last = now;
        if (!g_stop.load())
            return;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(QByteArray::number(longest, 'f', 3));
        QCoreApplication::quit();
    });
    heartbeat.start();
    return QCoreApplication::exec();
}
