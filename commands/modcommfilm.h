#ifndef DCX_COMMANDS_MODCOMMFILM_H
#define DCX_COMMANDS_MODCOMMFILM_H

#include "commands/wireitem.h"
#include "store/model.h"

#include <QString>
#include <QtGlobal>

#include <span>

// Films of the program-wide model, in four command groups: "A1" the name
// (item 101), "A2" items 201..209, "A3" items 301..311, "A4" items 401..408.
// Film numbers outside 1..50 and unknown items are refused before anything is
// sent (status 5, "Bad Data").

// Item 0: "A1 3?", "A2 3? 1 .. 9", "A3 3? 1 .. 11", "A4 3? 1 .. 8", each only
// after the one before succeeded; groups already received stay changed. A
// group whose reply is outside the format changes nothing of that group and
// fails with status 5. One item: "A3 3? 4" (or "A1 3?" for 101), the first
// word of the reply is the value. Returns 0, or -1 on the first failure.
qint16 Film_Get(int film, int item = 0);

// Item 0 only: "A1 3 Gold" (name trimmed), "A2 3 1,12 2,5 ..", "A3 ..",
// "A4 ..", each only after the one before succeeded. A value that does not
// fit its wire width sends nothing and returns 5. Returns 0 or the failed
// transaction's link status.
qint16 Film_Set(int film, int item = 0);

// The item tables and the per-item accessors (Layer_GetItem ...) live in
// store/modelitems.h, included through commands/wireitem.h.

#endif
