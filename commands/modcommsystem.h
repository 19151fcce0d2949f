#ifndef DCX_COMMANDS_MODCOMMSYSTEM_H
#define DCX_COMMANDS_MODCOMMSYSTEM_H

#include "commands/wireitem.h"
#include "store/model.h"

#include <QString>
#include <QtGlobal>

#include <span>

// The system record, the 16 input and the 16 relay assignments of the
// program-wide model.

// Item 0: "B?  1 2 .. 13", reply field i (n,value) sets item i. Item 1..13:
// "B?  5", the first word of the reply is the value. Returns 0, or -1 when the
// transaction failed or the reply is outside the format (status 5); the record
// is unchanged then. Items outside 0..13 are refused (status 5).
qint16 System_Get(int item);
// Item 0: "B  1,25 2,100 .. 13,100"; item 1..13: "B  5,0". A value that does
// not fit its wire width sends nothing and returns 5. Returns the link status.
qint16 System_Set(int item);

// "G? 1 2 .. 16"; reply field i (n,value) sets input i. Returns 0 or -1; a
// reply of more than 16 fields or a value outside 16 bits fails with status 5.
qint16 Inputs_Get();
// "G 1,3 2,0 .. 16,c"; returns the link status.
qint16 Inputs_Set();
// As the inputs, with "H" for the relays.
qint16 Relays_Get();
qint16 Relays_Set();

// The item tables and the per-item accessors (Layer_GetItem ...) live in
// store/modelitems.h, included through commands/wireitem.h.

#endif
