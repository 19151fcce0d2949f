#ifndef DCX_CLI_MONITORPOLL_H
#define DCX_CLI_MONITORPOLL_H

#include "link/modcomm.h"

// The main window's polling for the shell commands that run it without a
// window (monitor, serve): one status and readings cycle per tick.
class MonitorPoll {
public:
    explicit MonitorPoll(bool logging) : logging_(logging) {}

    // One tick: reconnects after a timeout, then "V", "K2", "K1", and the
    // data log when logging. Returns linkstatus::Ok when Readings() holds
    // this tick's values, else the status of what failed.
    LinkStatus tick();

private:
    bool logging_;
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
