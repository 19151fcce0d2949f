#include "link/linkwait.h"

#include "support/clock.h"

LinkWait::LinkWait(qint64 timeoutMs) : startMs_(appClock().monotonicMs()), timeoutMs_(timeoutMs)
{
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline_, &QTimer::timeout, &loop_, [this] { wake(); });
    QObject::connect(&appClock(), &Clock::advanced, &loop_, [this] { wake(); });
}

qint64 LinkWait::elapsedMs() const
{
    return appClock().monotonicMs() - startMs_;
}

void LinkWait::wake()
{
    // Only noted: the event round that delivered the wake returns by itself,
    // so no extra wake-up of the dispatcher is needed (it costs a system call).
    woken_ = true;
}

void LinkWait::block()
{
    if (woken_) {
        woken_ = false;
        return;
    }
    // A manual clock moves only when told; its advanced() signal wakes us.
    if (!appClock().isManual()) {
        const qint64 remaining = timeoutMs_ - elapsedMs() + 1;
        deadline_.start(static_cast<int>(qBound(qint64(0), remaining, qint64(60000))));
    }
    // A local event loop: runs event rounds (each blocks until something
    // happens) until a wake signal, the deadline or a clock move arrives.
    while (!woken_)
        loop_.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    deadline_.stop();
    woken_ = false;
}
