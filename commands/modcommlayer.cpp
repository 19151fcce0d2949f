#include "commands/modcommlayer.h"

#include "commands/commtransaction.h"
#include "commands/replyfields.h"
#include "link/modcomm.h"

namespace {

bool validLayer(int l)
{
    return l >= 1 && l <= MaxLayers;
}

QString head(int layer)
{
    return QStringLiteral("D") + Dec(layer);
}

} // namespace

qint16 Layer_Get(int layer, int item)
{
    if (!validLayer(layer) || item < 0 || item > LayerItemCount) {
        FailBadData();
        return -1;
    }
    const QString command = head(layer) + QLatin1Char('?') + wire::queryItems(item, LayerItemCount);
    const auto reply = Transact(command);
    if (!reply)
        return -1;

    const ReplyFields fields(*reply);
    LayerRecord rec = Model().LayerTable[layer];
    if (!wire::decodeReply<LayerRecord>(LayerItems(), rec, fields, item, NumberRule::Strict)) {
        FailBadData();
        return -1;
    }
    Model().LayerTable[layer] = rec;
    return 0;
}

qint16 Layer_Set(int layer, int item)
{
    if (!validLayer(layer) || item < 0 || item > LayerItemCount)
        return FailBadData();
    const LayerRecord& rec = Model().LayerTable[layer];
    const auto fields = wire::setItems<LayerRecord>(LayerItems(), rec, item);
    if (!fields)
        return FailBadData();
    Comm_SendCommand(head(layer) + QLatin1Char(' ') + *fields);
    return Comm_GetStatus();
}
