// dcx700ctl monitor [--count N] [--log FILE] [--no-reconnect] [--no-history]:
// the main window's polling from a shell. Every 500 ms one status and
// readings cycle ("V", "K2", "K1") and one CSV line; with --log the data log
// is written by the program's own code. A lost link is brought back as the
// window does, and runs go into the run archive.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "cli/monitorpoll.h"
#include "commands/readingsrecord.h"
#include "history/runrecorder.h"
#include "link/modcomm.h"
#include "runlog/datalog.h"
#include "runlog/monitorcsv.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/modutil.h"

#include <utility>

namespace {

constexpr qint64 kTickMs = 500;

// A failed tick repeats no values: the time, the link status text where the
// phase text goes, every value field empty.
QString tickLine(LinkStatus status)
{
    if (status == linkstatus::Ok)
        return MonitorCsvLine(appClock().now(), Readings());
    return MonitorCsvFailedLine(appClock().now(), Comm_ErrorText(status));
}

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

    const StopSignals stopSignals;
    MonitorPoll poll(log.has_value(), !noReconnect && Config().AutoReconnect >= 1);
    // Runs go into the run archive as the window records them; a failing
    // archive is reported once and never stops the monitoring.
    std::optional<RunRecorder> history;
    if (!noHistory && Config().RunHistory != 0)
        history.emplace(RunArchivePath(), Config().RunHistoryDays);
    bool historyStopShown = false;
    ctx.out() << MonitorCsvHeader() << '\n';
    ctx.out().flush();
    const qint64 start = appClock().monotonicMs();
    const int failedBefore = DataLog().failedWrites();
    for (qint64 n = 0; !StopSignals::requested() && (!count || n < *count); ++n) {
        const LinkStatus status = poll.tick();
        const QString line = tickLine(status);
        // Stored before it is printed: a line on screen is a tick in the archive.
        if (history) {
            history->setInstrument(Comm_InstrumentID());
            history->tick(MonitorCsvLineTime(line), Readings(), status);
            if (history->stopped() && !std::exchange(historyStopShown, true))
                ctx.err() << history->statusText() << '\n';
        }
        ctx.out() << line << '\n';
        ctx.out().flush();
        // A log that cannot be written ends the run at once: a script must
        // not believe it was recorded.
        if (log && DataLog().failedWrites() != failedBefore)
            return ctx.fileError(Config().LogFileName,
                                 QStringLiteral("cannot write the data log: ") + DataLog().lastWriteError());
        if (count && n + 1 >= *count)
            break;
        // The next tick on the 500 ms grid; a slow tick skips the ticks it overran.
        const qint64 elapsed = appClock().monotonicMs() - start;
        const qint64 next = (elapsed / kTickMs + 1) * kTickMs;
        WaitSeconds(double(next - elapsed) / 1000.0);
    }
    return ExitOk;
}

const CliCommandRegistrar
    registrar({QStringLiteral("monitor"),
               QStringLiteral("monitor [--count N] [--log FILE] [--no-reconnect] [--no-history]"),
               QStringLiteral("poll every 500 ms; one CSV line per tick after a header"), runMonitor});

} // namespace
