// dcx700ctl send TEXT: one transaction with the command text as given.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "link/modcomm.h"

namespace {

int runSend(CliContext& ctx)
{
    if (ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("no command text"));
    // Words given separately are one command text with single blanks ("send P 1").
    const QString text = ctx.args.join(QLatin1Char(' '));
    if (!ctx.connect())
        return ExitNotFound;
    const QString reply = Comm_SendCommand(text);
    if (Comm_GetStatus() != linkstatus::Ok)
        return ctx.transactionFailed(QStringLiteral("send ") + text);
    ctx.out() << reply << '\n';
    return ExitOk;
}

const CliCommandRegistrar registrar({QStringLiteral("send"), QStringLiteral("send TEXT"),
                                     QStringLiteral("one transaction; prints the reply data"), runSend});

} // namespace
