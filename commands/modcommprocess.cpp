#include "commands/modcommprocess.h"

#include "commands/commtransaction.h"
#include "commands/replyfields.h"
#include "link/modcomm.h"

#include <array>

namespace {

// Items 2..4: plain integers on the wire.
constexpr std::array<qint16 ProcessRecord::*, 3> kCountItems = {
    &ProcessRecord::Number_Layers, &ProcessRecord::First_Layer, &ProcessRecord::Number_Act_Layers};

bool validProcess(int p)
{
    return p >= 1 && p <= MaxProcesses;
}

QString itemText(const ProcessRecord& rec, int item)
{
    if (item == 1)
        return rec.Process_Name.text();
    return Dec(rec.*kCountItems[item - 2]);
}

qint16 getOne(int p, int item)
{
    const auto reply = Transact(QStringLiteral("C") + Dec(p) + QStringLiteral("? ") + Dec(item));
    if (!reply)
        return Comm_GetStatus();
    ProcessRecord& rec = Model().ProcessTable[p];
    if (item == 1) {
        rec.Process_Name = reply->trimmed();
    } else if (item <= 4) {
        const auto v = RoundToInt16(LeadingNumber(*reply));
        if (!v)
            return FailBadData();
        rec.*kCountItems[item - 2] = *v;
    }
    return linkstatus::Ok;
}

qint16 setOne(int p, int item)
{
    const QString text = QStringLiteral("C") + Dec(p) + QLatin1Char(' ') + Dec(item) + QLatin1Char(',') +
                         itemText(Model().ProcessTable[p], item);
    Comm_SendCommand(text);
    return Comm_GetStatus();
}

} // namespace

qint16 Process_Get(int process, int item)
{
    if (!validProcess(process) || item < 0)
        return FailBadData();
    if (item > 0)
        return getOne(process, item);
    for (int i = 1; i <= 4; ++i) {
        const qint16 status = getOne(process, i);
        if (status != linkstatus::Ok)
            return status;
    }
    return linkstatus::Ok;
}

qint16 Process_Set(int process, int item)
{
    if (!validProcess(process) || item < 0)
        return FailBadData();
    if (item > 4)
        return linkstatus::Ok;
    if (item > 0)
        return setOne(process, item);
    for (int i = 1; i <= 4; ++i) {
        const qint16 status = setOne(process, i);
        if (status != linkstatus::Ok)
            return status;
    }
    return linkstatus::Ok;
}

qint16 Process_SendE()
{
    Comm_SendCommand(QStringLiteral("E"));
    return Comm_GetStatus();
}

QString Process_ListEntry(int process)
{
    if (validProcess(process) && Process_Get(process, 1) == linkstatus::Ok)
        return Dec(process) + QStringLiteral(". ") + Model().ProcessTable[process].Process_Name.text();
    return Process_FailedListEntry(process);
}

QString Process_FailedListEntry(int process)
{
    return Dec(process) + QStringLiteral(". Process ") + Dec(process);
}
