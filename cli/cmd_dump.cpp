// dcx700ctl dump --db FILE: load a parameter file and print the model's text dump.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "link/modcomm.h"
#include "store/dbdump.h"
#include "store/moddatabase.h"
#include "store/model.h"
#include "support/config.h"
#include "support/modutil.h"

#include <cstdio>
#include <cstdlib>

namespace {

int runDump(CliContext& ctx)
{
    const std::optional<QString> file = ctx.takeOption(QStringLiteral("--db"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!file)
        return ctx.usageError(QStringLiteral("dump needs --db FILE"));
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());

    // A file newer than the program: the message is printed, the tool ends.
    ScopedCriticalExit exitOnCritical([] {
        std::fflush(stderr);
        std::exit(ExitFile);
    });
    Config().DBFileName = *file;
    SetDefaultParameters();
    if (!DBOpen(Comm_InstrumentID()))
        return ExitFile; // "Error reading ..." is already on stderr
    for (const QString& line : DumpLines(Model()))
        ctx.out() << line << '\n';
    return ExitOk;
}

const CliCommandRegistrar registrar({QStringLiteral("dump"), QStringLiteral("dump --db FILE"),
                                     QStringLiteral("load a parameter file and print its text dump"),
                                     runDump});

} // namespace
