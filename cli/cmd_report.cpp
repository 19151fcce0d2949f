// dcx700ctl report --db FILE --process N (--pdf OUT | --csv OUT): the process
// report of the process window, written without a window.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "link/modcomm.h"
#include "process/processreport.h"
#include "process/processreportpdf.h"
#include "store/moddatabase.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/modfileutil.h"
#include "support/modutil.h"

#include <cstdio>
#include <cstdlib>

namespace {

int runReport(CliContext& ctx)
{
    const std::optional<QString> db = ctx.takeOption(QStringLiteral("--db"));
    const std::optional<int> process = ctx.takeIntOption(QStringLiteral("--process"));
    const std::optional<QString> pdf = ctx.takeOption(QStringLiteral("--pdf"));
    const std::optional<QString> csv = ctx.takeOption(QStringLiteral("--csv"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!db)
        return ctx.usageError(QStringLiteral("report needs --db FILE"));
    if (!process)
        return ctx.usageError(QStringLiteral("report needs --process N"));
    if (*process < 1 || *process > MaxProcesses)
        return ctx.usageError(QStringLiteral("--process must be 1 to %1").arg(MaxProcesses));
    if (bool(pdf) == bool(csv))
        return ctx.usageError(QStringLiteral("report needs one of --pdf OUT and --csv OUT"));
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    if (!FileExists(*db))
        return ctx.fileError(*db, QStringLiteral("no such file"));

    // A file newer than the program: the message is printed, the tool ends.
    ScopedCriticalExit exitOnCritical([] {
        std::fflush(stderr);
        std::exit(ExitFile);
    });
    Config().DBFileName = *db;
    SetDefaultParameters();
    if (!DBOpen(Comm_InstrumentID()))
        return ExitFile; // "Error reading ..." is already on stderr

    ProcessReport report = BuildProcessReport(Model(), *process);
    QString why;
    if (csv)
        return WriteProcessReportCsv(report, *csv, &why) ? ExitOk : ctx.fileError(*csv, why);
    report.source = *db;
    report.printed = appClock().now().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return WriteProcessReportPdf(report, *pdf, &why) ? ExitOk : ctx.fileError(*pdf, why);
}

const CliCommandRegistrar registrar({QStringLiteral("report"),
                                     QStringLiteral("report --db FILE --process N (--pdf OUT | --csv OUT)"),
                                     QStringLiteral("write the report of one process as PDF or CSV"),
                                     runReport, true});

} // namespace
