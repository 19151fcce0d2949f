// dcx700ctl operate ACTION: one operate command, sent at once.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "commands/modcommoperate.h"
#include "commands/readingsrecord.h"
#include "link/modcomm.h"
#include "support/numbers.h"

#include <functional>
#include <map>

namespace {

// Actions taking no argument: the operate code they send.
const std::map<QString, qint16> kPlainActions = {
    {QStringLiteral("start"), OperateCode::StartProcess},
    {QStringLiteral("abort"), OperateCode::AbortProcess},
    {QStringLiteral("start-man-layer"), OperateCode::StartManLayer},
    {QStringLiteral("stop-layer"), OperateCode::StopLayer},
    {QStringLiteral("next-layer"), OperateCode::NextLayer},
    {QStringLiteral("zero"), OperateCode::ZeroThickness},
};

int runOperate(CliContext& ctx)
{
    if (ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("no action"));
    const QString action = ctx.args.takeFirst();
    const QStringList rest = ctx.args;

    // Check the arguments before connecting.
    std::function<qint16()> send;
    if (const auto it = kPlainActions.find(action); it != kPlainActions.end()) {
        if (!rest.isEmpty())
            return ctx.usageError(action + QStringLiteral(" takes no arguments"));
        const qint16 code = it->second;
        send = [code] { return Operate_Command(code); };
    } else if (action == QLatin1String("start-layer")) {
        if (!rest.isEmpty())
            return ctx.usageError(action + QStringLiteral(" takes no arguments"));
        // As the Start Layer button: a new process while stopped, else the layer.
        send = [] {
            const qint16 phase = Operate_GetStatus();
            if (phase == -1 && Comm_GetStatus() != linkstatus::Ok)
                return Comm_GetStatus();
            return Operate_Command(phase == 0 ? OperateCode::StartProcess : OperateCode::StartManLayer);
        };
    } else if (action == QLatin1String("select")) {
        // Any whole number goes to the instrument, which judges it, as the
        // command family does.
        const auto n = rest.size() == 1 ? TextToInt16(rest.first()) : std::nullopt;
        if (!n || StrictNumber(rest.first()) != double(*n))
            return ctx.usageError(QStringLiteral("select needs a process number"));
        const int process = static_cast<int>(*n);
        send = [process] { return Operate_SelectProcess(process); };
    } else if (action == QLatin1String("power")) {
        const auto output = rest.size() == 2 ? TextToInt16(rest.at(0)) : std::nullopt;
        const auto percent = rest.size() == 2 ? StrictNumber(rest.at(1)) : std::nullopt;
        if (!output || StrictNumber(rest.at(0)) != double(*output))
            return ctx.usageError(QStringLiteral("power needs an output number and a percentage"));
        if (!percent || *percent < 0.0 || *percent > 100.0)
            return ctx.usageError(QStringLiteral("power needs a percentage 0..100"));
        const int o = static_cast<int>(*output);
        const double p = *percent;
        send = [o, p] { return Operate_SetPower(o, p); };
    } else if (action == QLatin1String("auto")) {
        if (!rest.isEmpty())
            return ctx.usageError(action + QStringLiteral(" takes no arguments"));
        send = [] { return Operate_SetPower(0, 0.0); };
    } else {
        return ctx.usageError(QStringLiteral("unknown action ") + action);
    }

    if (!ctx.connect())
        return ExitNotFound;
    if (send() != linkstatus::Ok)
        return ctx.transactionFailed(QStringLiteral("operate ") + action);
    return ExitOk;
}

const CliCommandRegistrar
    registrar({QStringLiteral("operate"),
               QStringLiteral("operate start|abort|start-layer|start-man-layer|stop-layer|next-layer|zero|"
                              "select N|power OUTPUT PERCENT|auto"),
               QStringLiteral("one operate command, sent at once"), runOperate});

} // namespace
