// dcx700ctl monitor [--count N] [--log FILE] [--no-reconnect]: the main
// window's polling from a shell. Every 500 ms one status and readings cycle
// ("V", "K2", "K1") and one CSV line; with --log the data log is written by
// the program's own code. A lost link is brought back as the window does.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "commands/modcommdata.h"
#include "commands/modcommoperate.h"
#include "commands/readingsrecord.h"
#include "history/runrecorder.h"
#include "link/linkhealer.h"
#include "link/modcomm.h"
#include "runlog/datalog.h"
#include "runlog/monitorcsv.h"
#include "runlog/phasetext.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/modutil.h"

#include <QStringList>

#include <csignal>
#include <utility>

namespace {

constexpr qint64 kTickMs = 500;

volatile std::sig_atomic_t g_stop = 0;

extern "C" void onStopSignal(int)
{
    g_stop = 1;
}

void restoreSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

QString headerLine()
{
    return MonitorCsvHeader();
}

QString readingsLine(const ReadingsRecord& r)
{
    return MonitorCsvLine(appClock().now(), r);
}

// A failed tick repeats no values: the time, the link status text where the
// phase text goes, every value field empty.
QString failedLine(LinkStatus status)
{
    return MonitorCsvFailedLine(appClock().now(), Comm_ErrorText(status));
}

bool failed(LinkStatus s)
{
    return s >= linkstatus::Timeout && s <= linkstatus::PortNotReady;
}

class Monitor {
public:
    Monitor(bool logging, bool healing) : logging_(logging), healing_(healing) { healer_.online(); }

    // One tick; returns the CSV line.
    QString tick()
    {
        if (!healing_) {
            // As the update loop: a timeout on the last tick means reconnect first.
            if (Comm_GetStatus() == linkstatus::Timeout && !Comm_Connect())
                return failedLine(linkstatus::Timeout);
            return statusAndReadings(Operate_GetStatus());
        }
        if (!healer_.lost() && failed(Comm_GetStatus()))
            lose(Comm_GetStatus());
        if (!healer_.lost()) {
            const QString line = statusAndReadings(Operate_GetStatus());
            if (failed(Comm_GetStatus()))
                lose(Comm_GetStatus());
            return line;
        }
        // Inside a gap every tick is a failed one, tries or not.
        if (!healer_.attemptDue())
            return failedLine(lostBy_);
        const int process = Readings().RunProcess;
        const double elapsed = Readings().ElapsedTime;
        const qint16 phase = Comm_Reconnect() ? Operate_GetStatus() : qint16(-1);
        if (phase == -1) {
            healer_.attemptFailed();
            return failedLine(lostBy_);
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

private:
    void lose(LinkStatus status)
    {
        lostBy_ = status;
        healer_.failed();
    }

    QString statusAndReadings(qint16 phase)
    {
        if (phase == -1 && Comm_GetStatus() != linkstatus::Ok)
            return failedLine(Comm_GetStatus());
        if (phase != currentPhase_) {
            if (logging_)
                DataLogPhaseChange(currentPhase_, phase);
            currentPhase_ = phase;
        }
        QString line;
        if (Data_GetSensors() != 0 || Data_GetOutputs() != 0)
            line = failedLine(Comm_GetStatus());
        else
            line = readingsLine(Readings());
        // A failed readings query still logs the previous values, as the
        // program does.
        if (logging_)
            DataLogSample(currentPhase_, Readings());
        return line;
    }

    bool logging_;
    bool healing_;
    LinkHealer healer_;
    LinkStatus lostBy_ = linkstatus::Timeout;
    int currentPhase_ = -1; // as after start-up: a run already going gets no log section
};

int runMonitor(CliContext& ctx)
{
    const std::optional<int> count = ctx.takeIntOption(QStringLiteral("--count"));
    const std::optional<QString> log = ctx.takeOption(QStringLiteral("--log"));
    const bool noReconnect = ctx.takeFlag(QStringLiteral("--no-reconnect"));
    const bool noHistory = ctx.takeFlag(QStringLiteral("--no-history"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    if (log) {
        if (log->isEmpty())
            return ctx.usageError(QStringLiteral("--log needs a file name"));
        Config().LogFileName = *log;
        // Asking for a log means logging: with none configured, append.
        if (Config().LogType < 1 || Config().LogType > 2)
            Config().LogType = 2;
    }
    if (!ctx.connect())
        return ExitNotFound;

    g_stop = 0;
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);

    Monitor monitor(log.has_value(), !noReconnect && Config().AutoReconnect >= 1);
    // Runs go into the run archive as the window records them; a failing
    // archive is reported once and never stops the monitoring.
    std::optional<RunRecorder> history;
    if (!noHistory && Config().RunHistory != 0)
        history.emplace(RunArchivePath(), Config().RunHistoryDays);
    bool historyStopShown = false;
    ctx.out() << headerLine() << '\n';
    ctx.out().flush();
    const qint64 start = appClock().monotonicMs();
    const int failedBefore = DataLog().failedWrites();
    for (qint64 n = 0; !g_stop && (!count || n < *count); ++n) {
        const QString line = monitor.tick();
        // Stored before it is printed: a line on screen is a tick in the archive.
        if (history) {
            history->setInstrument(Comm_InstrumentID());
            history->tick(MonitorCsvLineTime(line), Readings(), Comm_GetStatus());
            if (history->stopped() && !std::exchange(historyStopShown, true))
                ctx.err() << history->statusText() << '\n';
        }
        ctx.out() << line << '\n';
        ctx.out().flush();
        // A log that cannot be written ends the run at once: a script must
        // not believe it was recorded.
        if (log && DataLog().failedWrites() != failedBefore) {
            restoreSignals();
            return ctx.fileError(Config().LogFileName,
                                 QStringLiteral("cannot write the data log: ") + DataLog().lastWriteError());
        }
        if (count && n + 1 >= *count)
            break;
        // The next tick on the 500 ms grid; a slow tick skips the ticks it overran.
        const qint64 elapsed = appClock().monotonicMs() - start;
        const qint64 next = (elapsed / kTickMs + 1) * kTickMs;
        WaitSeconds(double(next - elapsed) / 1000.0);
    }
    restoreSignals();
    return ExitOk;
}

const CliCommandRegistrar
    registrar({QStringLiteral("monitor"), QStringLiteral("monitor [--count N] [--log FILE] [--no-reconnect] [--no-history]"),
               QStringLiteral("poll every 500 ms; one CSV line per tick after a header"), runMonitor});

} // namespace
