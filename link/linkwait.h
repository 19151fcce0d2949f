#ifndef DCX_LINK_LINKWAIT_H
#define DCX_LINK_LINKWAIT_H

#include "support/waitguard.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <QtGlobal>

// A bounded wait that lets window events run (timers, data; never user input,
// see support/waitguard.h): blocks in a local event loop
// until woken by one of the signals given to wakeOn, by the deadline, or (with
// a manual clock) by the clock moving. Time is measured on appClock()'s
// monotonic milliseconds; the wait has expired once strictly more than
// timeoutMs have passed. Never spins: between wakes the thread sleeps.
class LinkWait {
public:
    explicit LinkWait(qint64 timeoutMs);
    LinkWait(const LinkWait&) = delete;
    LinkWait& operator=(const LinkWait&) = delete;

    template <typename Sender, typename Signal>
    void wakeOn(const Sender* sender, Signal signal)
    {
        QObject::connect(sender, signal, &loop_, [this] { wake(); });
    }

    qint64 elapsedMs() const;
    bool expired() const { return elapsedMs() > timeoutMs_; }

    // Runs events until the next wake. Returns at once when a wake signal came
    // since the previous call (so a wake during polling is never lost).
    void block();

private:
    void wake();

    WaitScope scope_;
    QEventLoop loop_;
    QTimer deadline_;
    qint64 startMs_;
    qint64 timeoutMs_;
    bool woken_ = false;
};

#endif
