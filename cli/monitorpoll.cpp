#include "cli/monitorpoll.h"

#include "commands/modcommdata.h"
#include "commands/modcommoperate.h"
#include "commands/readingsrecord.h"
#include "runlog/datalog.h"
#include "runlog/phasetext.h"
#include "support/config.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void onStopSignal(int)
{
    g_stop = 1;
}

bool failed(LinkStatus s)
{
    return s >= linkstatus::Timeout && s <= linkstatus::PortNotReady;
}

} // namespace

LinkStatus MonitorPoll::tick()
{
    if (healing_)
        return healingTick();
    // As the update loop: a timeout on the last tick means reconnect first.
    if (Comm_GetStatus() == linkstatus::Timeout && !Comm_Connect())
        return linkstatus::Timeout;
    return statusAndReadings(Operate_GetStatus());
}

LinkStatus MonitorPoll::healingTick()
{
    if (!healer_.lost() && failed(Comm_GetStatus()))
        lose(Comm_GetStatus());
    if (!healer_.lost()) {
        const LinkStatus status = statusAndReadings(Operate_GetStatus());
        if (failed(Comm_GetStatus()))
            lose(Comm_GetStatus());
        return status;
    }
    // Inside a gap every tick is a failed one, tries or not.
    if (!healer_.attemptDue())
        return lostBy_;
    const int process = Readings().RunProcess;
    const double elapsed = Readings().ElapsedTime;
    const qint16 phase = Comm_Reconnect() ? Operate_GetStatus() : qint16(-1);
    if (phase == -1) {
        healer_.attemptFailed();
        return lostBy_;
    }
    healer_.restored();
    const bool wasRunning = IsActivePhase(currentPhase_);
    const bool goesOn = wasRunning && IsActivePhase(phase) && Readings().RunProcess == process &&
                        Readings().ElapsedTime >= elapsed;
    if (logging_ && wasRunning && Config().LogType > 0)
        LogGapLine(healer_.gapText());
    if (wasRunning && !goesOn) {
        // The run ended unseen: closed as a return to Stopped would.
        if (logging_)
            DataLogPhaseChange(currentPhase_, 0);
        currentPhase_ = 0;
    }
    return statusAndReadings(phase);
}

void MonitorPoll::lose(LinkStatus status)
{
    lostBy_ = status;
    healer_.failed();
}

LinkStatus MonitorPoll::statusAndReadings(qint16 phase)
{
    if (phase == -1 && Comm_GetStatus() != linkstatus::Ok)
        return Comm_GetStatus();
    if (phase != currentPhase_) {
        if (logging_)
            DataLogPhaseChange(currentPhase_, phase);
        currentPhase_ = phase;
    }
    const bool fresh = Data_GetSensors() == 0 && Data_GetOutputs() == 0;
    const LinkStatus status = fresh ? linkstatus::Ok : Comm_GetStatus();
    // A failed readings query still logs the previous values, as the
    // program does.
    if (logging_)
        DataLogSample(currentPhase_, Readings());
    return status;
}

StopSignals::StopSignals()
{
    g_stop = 0;
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

StopSignals::~StopSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

bool StopSignals::requested()
{
    return g_stop != 0;
}
