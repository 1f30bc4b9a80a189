#include "app/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

bool ProcessEventsUntil(const std::function<bool()> &done, int timeoutMs)
{
    // The timer wakes the wait when nothing else comes.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(timeoutMs);
    while (!done()) {
        if (!deadline.isActive())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}
