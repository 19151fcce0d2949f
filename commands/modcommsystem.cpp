#include "commands/modcommsystem.h"

#include "commands/commtransaction.h"
#include "commands/replyfields.h"
#include "link/modcomm.h"

#include <array>

namespace {

constexpr int ChannelCount = 16;

// Inputs and relays: "G"/"H", 16 codes.
template <typename Rec, std::size_t N>
qint16 channelsGet(QChar letter, std::array<Rec, N>& table, qint16 Rec::*field)
{
    QString command = QString(letter) + QLatin1Char('?');
    for (int n = 1; n <= ChannelCount; ++n)
        command += QLatin1Char(' ') + Dec(n);
    const auto reply = Transact(command);
    if (!reply)
        return -1;
    const ReplyFields fields(*reply);
    if (fields.count() > ChannelCount) {
        FailBadData();
        return -1;
    }
    std::array<Rec, N> updated = table;
    for (int i = 1; i <= fields.count(); ++i) {
        const auto v = RoundToInt16(LeadingNumber(fields.value(i)));
        if (!v) {
            FailBadData();
            return -1;
        }
        updated[i - 1].*field = *v;
    }
    table = updated;
    return 0;
}

template <typename Rec, std::size_t N>
qint16 channelsSet(QChar letter, const std::array<Rec, N>& table, qint16 Rec::*field)
{
    QString command(letter);
    for (int n = 1; n <= ChannelCount; ++n)
        command += QLatin1Char(' ') + Dec(n) + QLatin1Char(',') + Dec(table[n - 1].*field);
    Comm_SendCommand(command);
    return Comm_GetStatus();
}

} // namespace

qint16 System_Get(int item)
{
    if (item < 0 || item > SystemItemCount) {
        FailBadData();
        return -1;
    }
    const QString command = QStringLiteral("B? ") + wire::queryItems(item, SystemItemCount);
    const auto reply = Transact(command);
    if (!reply)
        return -1;
    const ReplyFields fields(*reply);
    SystemRecord rec = Model().SystemParams;
    if (!wire::decodeReply<SystemRecord>(SystemItems(), rec, fields, item, NumberRule::Strict)) {
        FailBadData();
        return -1;
    }
    Model().SystemParams = rec;
    return 0;
}

qint16 System_Set(int item)
{
    if (item < 0 || item > SystemItemCount)
        return FailBadData();
    const SystemRecord& rec = Model().SystemParams;
    const auto fields = wire::setItems<SystemRecord>(SystemItems(), rec, item);
    if (!fields)
        return FailBadData();
    Comm_SendCommand(QStringLiteral("B ") + *fields);
    return Comm_GetStatus();
}

qint16 Inputs_Get()
{
    return channelsGet(QLatin1Char('G'), Model().InputTable, &InputRecord::Input_Type);
}
qint16 Inputs_Set()
{
    return channelsSet(QLatin1Char('G'), Model().InputTable, &InputRecord::Input_Type);
}
qint16 Relays_Get()
{
    return channelsGet(QLatin1Char('H'), Model().OutputTable, &OutputRecord::Output_Type);
}
qint16 Relays_Set()
{
    return channelsSet(QLatin1Char('H'), Model().OutputTable, &OutputRecord::Output_Type);
}
