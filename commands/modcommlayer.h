#ifndef DCX_COMMANDS_MODCOMMLAYER_H
#define DCX_COMMANDS_MODCOMMLAYER_H

#include "commands/wireitem.h"
#include "store/model.h"

#include <QString>
#include <QtGlobal>

#include <span>

// Layers of the program-wide layer pool, items 1..24 (Rate .. Layer_Free).
// Layer numbers outside 1..1000 and items outside 0..24 are refused before
// anything is sent (status 5, "Bad Data").

// Item 1..24: "D12? 5", the first word of the reply is the value. Item 0:
// "D12? 1 2 .. 24", reply field i (n,value) sets item i. Returns 0, or -1
// when the transaction failed or the reply is outside the format (status 5);
// the layer is unchanged then.
qint16 Layer_Get(int layer, int item);

// Item 1..24: "D12  5,0". Item 0: "D12  1,25 2,1234 .. 24,1". A value that
// does not fit its wire width is not sent (returns 5). Returns the link status.
qint16 Layer_Set(int layer, int item);

// The integer the layer commands send for one item (1..24) of a record, as the
// debug dump writes it; 0 for items without a row.
qint32 Layer_GetItem(const LayerRecord& layer, int item);
qint32 Layer_GetItem(int layer, int item);
// Stores one received value into an item; false (layer untouched) when the
// text is not a decimal number or does not fit, or the item has no row.
bool Layer_SetItem(int layer, int item, const QString& text);

// The item table: item number -> field, scale and wire width.
std::span<const WireItem<LayerRecord>> LayerItems();

#endif
