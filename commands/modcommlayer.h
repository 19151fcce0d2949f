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

// The item tables and the per-item accessors (Layer_GetItem ...) live in
// store/modelitems.h, included through commands/wireitem.h.

#endif
