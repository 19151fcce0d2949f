#include "commands/modcommoperate.h"

#include "commands/commtransaction.h"
#include "commands/modcommprocess.h"
#include "commands/replyfields.h"
#include "link/modcomm.h"

bool ParseStatusReply(const QString& reply, ReadingsRecord& readings)
{
    const ReplyFields f(reply);
    ReadingsRecord r = readings;
    // Integer fields in reply order, each optional: a short reply keeps the rest.
    const auto intField = [&f](int n, qint16& target) {
        if (n > f.count())
            return true;
        const auto v = RoundToInt16(LeadingNumber(f.field(n)));
        if (!v)
            return false;
        target = *v;
        return true;
    };
    if (!intField(1, r.Phase))
        return false;
    if (f.count() >= 2)
        r.ElapsedTime = LeadingNumber(f.field(2));
    if (!intField(3, r.RunProcess) || !intField(4, r.RunLayer) || !intField(5, r.StatusExtra))
        return false;
    readings = r;
    return true;
}

qint16 Operate_GetStatus()
{
    const auto reply = Transact(QStringLiteral("V"));
    if (!reply)
        return -1;
    if (!ParseStatusReply(*reply, Readings())) {
        FailBadData();
        return -1;
    }
    return Readings().Phase;
}

qint16 Operate_SelectProcess(int process)
{
    // Any number is sent: the instrument judges it. The process query that
    // follows refuses numbers outside 1..100 by itself.
    Comm_SendCommand(QStringLiteral("T ") + Dec(process));
    return Process_Get(process, 0);
}

qint16 Operate_Command(int code)
{
    Comm_SendCommand(QStringLiteral("U ") + Dec(code));
    return Comm_GetStatus();
}

std::optional<QString> PowerCommandText(int output, double power)
{
    if (output == 0)
        return QStringLiteral("S0");
    // Any other output number is sent as it is: the instrument judges it.
    const auto tenths = RoundToInt16(power * 10.0);
    if (!tenths)
        return std::nullopt;
    return QStringLiteral("S") + Dec(output) + QLatin1Char(' ') + Dec(*tenths);
}

qint16 Operate_SetPower(int output, double power)
{
    const auto text = PowerCommandText(output, power);
    if (!text)
        return FailBadData();
    Comm_SendCommand(*text);
    return Comm_GetStatus();
}

qint16 Operate_RunProcess()
{
    return Readings().RunProcess;
}
qint16 Operate_RunLayer()
{
    return Readings().RunLayer;
}
double Operate_ElapsedTime()
{
    return Readings().ElapsedTime;
}
