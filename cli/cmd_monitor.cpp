// dcx700ctl monitor [--count N] [--log FILE]: the main window's polling from a
// shell. Every 500 ms one status and readings cycle ("V", "K2", "K1") and one
// CSV line; with --log the data log is written by the program's own code.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "cli/monitorpoll.h"
#include "commands/readingsrecord.h"
#include "link/modcomm.h"
#include "runlog/datalog.h"
#include "runlog/phasetext.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/modutil.h"
#include "support/numbers.h"

#include <QStringList>

namespace {

constexpr qint64 kTickMs = 500;

QString fmt(double v, const char* pattern)
{
    return FormatNumber(v, QString::fromLatin1(pattern));
}

QString headerLine()
{
    QStringList h{QStringLiteral("time"), QStringLiteral("elapsed"), QStringLiteral("phase"),
                  QStringLiteral("phase_text")};
    for (int k = 1; k <= 4; ++k)
        for (const char* f : {"rate", "dev", "thick", "power"})
            h << QStringLiteral("out%1_%2").arg(k).arg(QLatin1String(f));
    for (int k = 1; k <= 4; ++k)
        for (const char* f : {"rate", "thick", "freq"})
            h << QStringLiteral("sens%1_%2").arg(k).arg(QLatin1String(f));
    return h.join(QLatin1Char(','));
}

// Number of value fields after phase_text: 4 per output, 3 per sensor.
constexpr int kValueFields = 4 * 4 + 4 * 3;

QString timeField()
{
    return appClock().now().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

QString readingsLine(const ReadingsRecord& r)
{
    QStringList f{timeField(), fmt(r.ElapsedTime, "#0.0"), QString::number(r.Phase), PhaseText(r.Phase)};
    for (size_t k = 0; k < 4; ++k)
        f << fmt(r.OutRate[k], "#0.00") << fmt(r.OutDeviation[k], "#0.0") << fmt(r.OutThickness[k], "#0.000")
          << fmt(r.OutPower[k], "#0.0");
    for (size_t k = 0; k < 4; ++k)
        f << fmt(r.SensorRate[k], "#0.00") << fmt(r.SensorThickness[k], "#0.000")
          << fmt(r.SensorFrequency[k], "#0.00");
    return f.join(QLatin1Char(','));
}

// A failed tick repeats no values: the time, the link status text where the
// phase text goes, every value field empty.
QString failedLine(LinkStatus status)
{
    QString s = timeField() + QStringLiteral(",,,") + Comm_ErrorText(status);
    s += QString(kValueFields, QLatin1Char(','));
    return s;
}

int runMonitor(CliContext& ctx)
{
    const std::optional<int> count = ctx.takeIntOption(QStringLiteral("--count"));
    const std::optional<QString> log = ctx.takeOption(QStringLiteral("--log"));
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
    MonitorPoll poll(log.has_value());
    ctx.out() << headerLine() << '\n';
    ctx.out().flush();
    const qint64 start = appClock().monotonicMs();
    const int failedBefore = DataLog().failedWrites();
    for (qint64 n = 0; !StopSignals::requested() && (!count || n < *count); ++n) {
        const LinkStatus status = poll.tick();
        ctx.out() << (status == linkstatus::Ok ? readingsLine(Readings()) : failedLine(status)) << '\n';
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
    registrar({QStringLiteral("monitor"), QStringLiteral("monitor [--count N] [--log FILE]"),
               QStringLiteral("poll every 500 ms; one CSV line per tick after a header"), runMonitor});

} // namespace
