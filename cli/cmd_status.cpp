// dcx700ctl status [--json]: one status and readings cycle ("V", "K2", "K1")
// and the decoded readings.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "commands/modcommdata.h"
#include "commands/modcommoperate.h"
#include "commands/readingsrecord.h"
#include "link/modcomm.h"
#include "remote/statusjson.h"
#include "runlog/phasetext.h"
#include "support/modutil.h"
#include "support/numbers.h"

#include <QJsonDocument>

namespace {

QString fmt(double v, const char* pattern)
{
    return FormatNumber(v, QString::fromLatin1(pattern));
}

void printText(QTextStream& out, const ReadingsRecord& r)
{
    const auto seconds = RoundToInt32(r.ElapsedTime).value_or(0);
    out << "Phase: " << r.Phase << ' ' << PhaseText(r.Phase) << '\n'
        << "Time: " << SecondsToTime(seconds) << "  Process: " << r.RunProcess << "  Layer: " << r.RunLayer
        << '\n';
    for (int k = 0; k < 4; ++k) {
        out << "Output " << k + 1 << ": rate " << fmt(r.OutRate[k], "#0.00") << "  dev "
            << fmt(r.OutDeviation[k], "#0.0") << "  thick " << fmt(r.OutThickness[k], "#0.000") << "  power "
            << fmt(r.OutPower[k], "#0.0") << '\n';
    }
    for (int k = 0; k < 4; ++k) {
        out << "Sensor " << k + 1 << ": rate " << fmt(r.SensorRate[k], "#0.00") << "  thick "
            << fmt(r.SensorThickness[k], "#0.000") << "  freq " << fmt(r.SensorFrequency[k], "#0.00") << '\n';
    }
}

int runStatus(CliContext& ctx)
{
    const bool json = ctx.takeFlag(QStringLiteral("--json"));
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    if (!ctx.connect())
        return ExitNotFound;
    if (Operate_GetStatus() == -1 && Comm_GetStatus() != linkstatus::Ok)
        return ctx.transactionFailed(QStringLiteral("status V"));
    if (Data_GetSensors() != 0)
        return ctx.transactionFailed(QStringLiteral("status K2"));
    if (Data_GetOutputs() != 0)
        return ctx.transactionFailed(QStringLiteral("status K1"));

    const ReadingsRecord& r = Readings();
    if (json)
        ctx.out() << QJsonDocument(StatusJson(r)).toJson(QJsonDocument::Compact) << '\n';
    else
        printText(ctx.out(), r);
    ctx.out().flush();
    return ExitOk;
}

const CliCommandRegistrar registrar({QStringLiteral("status"), QStringLiteral("status [--json]"),
                                     QStringLiteral("one status and readings cycle; prints the readings"),
                                     runStatus});

} // namespace
