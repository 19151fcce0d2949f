#include "commands/modcommlayer.h"

#include "commands/commtransaction.h"
#include "commands/replyfields.h"
#include "link/modcomm.h"

#include <array>

namespace {

using L = LayerRecord;
constexpr int Tenths = 10;
constexpr int Thousandths = 1000; // model kÅ, wire Å

const std::array<WireItem<L>, 24> kItems = {{
    {1, &L::Rate, Tenths},
    {2, &L::Final_Thick, Thousandths, 32},
    {3, &L::Time_Setpoint},
    {4, &L::Thick_Limit, Thousandths, 32},
    {5, &L::Start_Mode},
    {6, &L::Output_Number},
    {7, &L::Max_Power1, Tenths},
    {8, &L::Slew_Rate1, Tenths},
    {9, &L::Sensor1},
    {10, &L::Sensor2},
    {11, &L::Sensor3},
    {12, &L::Sensor4},
    {13, &L::Ramp1_Enabled, 1, 16, true},
    {14, &L::Ramp1_Start, Thousandths, 32},
    {15, &L::Ramp1_Rate, Tenths},
    {16, &L::Ramp1_Time},
    {17, &L::Ramp2_Enabled, 1, 16, true},
    {18, &L::Ramp2_Start, Thousandths, 32},
    {19, &L::Ramp2_Rate, Tenths},
    {20, &L::Ramp2_Time},
    {21, &L::Film_Number},
    {22, &L::Next_Layer},
    {23, &L::CoDep_Layer},
    {24, &L::Layer_Free},
}};

constexpr int ItemCount = 24;

bool validLayer(int l) { return l >= 1 && l <= MaxLayers; }

QString head(int layer) { return QStringLiteral("D") + Dec(layer); }

} // namespace

std::span<const WireItem<LayerRecord>> LayerItems() { return kItems; }

qint32 Layer_GetItem(const LayerRecord& layer, int item)
{
    if (item < 1 || item > ItemCount)
        return 0;
    return static_cast<qint32>(wire::rawValue(kItems[item - 1], layer));
}

qint32 Layer_GetItem(int layer, int item)
{
    if (!validLayer(layer))
        return 0;
    return Layer_GetItem(Model().LayerTable[layer], item);
}

bool Layer_SetItem(int layer, int item, const QString& text)
{
    if (!validLayer(layer) || item < 1 || item > ItemCount)
        return false;
    return wire::decode(kItems[item - 1], Model().LayerTable[layer], text, NumberRule::Strict);
}

qint16 Layer_Get(int layer, int item)
{
    if (!validLayer(layer) || item < 0 || item > ItemCount) {
        FailBadData();
        return -1;
    }
    const QString command = head(layer) + QLatin1Char('?') + wire::queryItems(item, ItemCount);
    const auto reply = Transact(command);
    if (!reply)
        return -1;

    const ReplyFields fields(*reply);
    LayerRecord rec = Model().LayerTable[layer];
    if (!wire::decodeReply<LayerRecord>(kItems, rec, fields, item, NumberRule::Strict)) {
        FailBadData();
        return -1;
    }
    Model().LayerTable[layer] = rec;
    return 0;
}

qint16 Layer_Set(int layer, int item)
{
    if (!validLayer(layer) || item < 0 || item > ItemCount)
        return FailBadData();
    const LayerRecord& rec = Model().LayerTable[layer];
    const auto fields = wire::setItems<LayerRecord>(kItems, rec, item);
    if (!fields)
        return FailBadData();
    Comm_SendCommand(head(layer) + QLatin1Char(' ') + *fields);
    return Comm_GetStatus();
}
