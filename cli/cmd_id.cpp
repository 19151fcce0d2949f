// dcx700ctl id: connect, identify, print the identification text.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "link/modcomm.h"

namespace {

int runId(CliContext& ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    if (!ctx.connect())
        return ExitNotFound;
    ctx.out() << Comm_InstrumentID().trimmed() << '\n';
    return ExitOk;
}

const CliCommandRegistrar registrar({QStringLiteral("id"), QStringLiteral("id"),
                                     QStringLiteral("connect and identify; prints the identification text"),
                                     runId});

} // namespace
