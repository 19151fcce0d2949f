#include "cli/monitorpoll.h"

#include "commands/modcommdata.h"
#include "commands/modcommoperate.h"
#include "commands/readingsrecord.h"
#include "runlog/datalog.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void onStopSignal(int)
{
    g_stop = 1;
}

} // namespace

LinkStatus MonitorPoll::tick()
{
    // As the update loop: a timeout on the last tick means reconnect first.
    if (Comm_GetStatus() == linkstatus::Timeout && !Comm_Connect())
        return linkstatus::Timeout;
    const qint16 phase = Operate_GetStatus();
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
