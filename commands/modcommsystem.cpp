#include "commands/modcommsystem.h"

#include "commands/commtransaction.h"
#include "commands/replyfields.h"
#include "link/modcomm.h"

#include <array>

namespace {

using S = SystemRecord;
constexpr int Tenths = 10;
constexpr int Hundredths = 100;

// The instrument's numbering, which is not the order of the record's fields.
const std::array<WireItem<S>, 13> kItems = {{
    {1, &S::Period, Hundredths},
    {2, &S::System_Tooling},
    {3, &S::Xtool1},
    {4, &S::Xtool2},
    {5, &S::Simulate_Mode},
    {6, &S::Min_Freq, Tenths},
    {7, &S::Max_Freq, Tenths},
    {8, &S::Power_Scale_1, Tenths},
    {9, &S::Power_Scale_2, Tenths},
    {10, &S::Power_Scale_3, Tenths},
    {11, &S::Power_Scale_4, Tenths},
    {12, &S::Xtool3},
    {13, &S::Xtool4},
}};
constexpr int ItemCount = 13;
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

std::span<const WireItem<SystemRecord>> SystemItems() { return kItems; }

qint32 System_GetItem(const SystemRecord& rec, int item)
{
    if (item < 1 || item > ItemCount)
        return 0;
    return static_cast<qint32>(wire::rawValue(kItems[item - 1], rec));
}

qint32 System_GetItem(int item) { return System_GetItem(Model().SystemParams, item); }

bool System_SetItem(int item, const QString& text)
{
    if (item < 1 || item > ItemCount)
        return false;
    return wire::decode(kItems[item - 1], Model().SystemParams, text, NumberRule::Strict);
}

qint16 System_Get(int item)
{
    if (item < 0 || item > ItemCount) {
        FailBadData();
        return -1;
    }
    const QString command = QStringLiteral("B? ") + wire::queryItems(item, ItemCount);
    const auto reply = Transact(command);
    if (!reply)
        return -1;
    const ReplyFields fields(*reply);
    SystemRecord rec = Model().SystemParams;
    if (!wire::decodeReply<SystemRecord>(kItems, rec, fields, item, NumberRule::Strict)) {
        FailBadData();
        return -1;
    }
    Model().SystemParams = rec;
    return 0;
}

qint16 System_Set(int item)
{
    if (item < 0 || item > ItemCount)
        return FailBadData();
    const SystemRecord& rec = Model().SystemParams;
    const auto fields = wire::setItems<SystemRecord>(kItems, rec, item);
    if (!fields)
        return FailBadData();
    Comm_SendCommand(QStringLiteral("B ") + *fields);
    return Comm_GetStatus();
}

qint16 Inputs_Get() { return channelsGet(QLatin1Char('G'), Model().InputTable, &InputRecord::Input_Type); }
qint16 Inputs_Set() { return channelsSet(QLatin1Char('G'), Model().InputTable, &InputRecord::Input_Type); }
qint16 Relays_Get() { return channelsGet(QLatin1Char('H'), Model().OutputTable, &OutputRecord::Output_Type); }
qint16 Relays_Set() { return channelsSet(QLatin1Char('H'), Model().OutputTable, &OutputRecord::Output_Type); }
