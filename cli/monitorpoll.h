#ifndef DCX_CLI_MONITORPOLL_H
#define DCX_CLI_MONITORPOLL_H

#include "link/linkhealer.h"
#include "link/modcomm.h"

// The main window's polling for the shell commands that run it without a
// window (monitor, serve): one status and readings cycle per tick.
class MonitorPoll {
public:
    // healing: a lost link is brought back quietly, as the window does with
    // AutoReconnect=1; otherwise a timeout on the last tick means a connect
    // first, and other failures leave the loop resting.
    MonitorPoll(bool logging, bool healing) : logging_(logging), healing_(healing) { healer_.online(); }

    // One tick: "V", "K2", "K1", and the data log when logging. Returns
    // linkstatus::Ok when Readings() holds this tick's values, else the
    // status of what failed (inside a gap, the status that lost the link).
    LinkStatus tick();

    bool healing() const { return healing_; }
    const LinkHealer& healer() const { return healer_; }

private:
    LinkStatus healingTick();
    LinkStatus statusAndReadings(qint16 phase);
    void lose(LinkStatus status);

    bool logging_;
    bool healing_;
    LinkHealer healer_;
    LinkStatus lostBy_ = linkstatus::Timeout;
    int currentPhase_ = -1; // as after start-up: a run already going gets no log section
};

// While alive, SIGINT and SIGTERM only set a flag, so a loop can end cleanly.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    static bool requested();
};

#endif
