#ifndef DCX_COMMANDS_MODCOMMPROCESS_H
#define DCX_COMMANDS_MODCOMMPROCESS_H

#include "store/model.h"

#include <QString>
#include <QtGlobal>

// Process headers of the program-wide model, one item per command:
// 1 Process_Name, 2 Number_Layers, 3 First_Layer, 4 Number_Act_Layers.
// Process numbers outside 1..100 are refused before anything is sent
// (status 5, "Bad Data").

// Item 1..4: "C7? 2"; the reply is the value. Item 0: items 1..4 in turn,
// stopping at the first non-zero status. Items above 4 send the query and
// store nothing. Returns the link status of the last transaction.
qint16 Process_Get(int process, int item);

// Item 1..4: "C7 2,3" (the name as its 16 characters, trailing blanks
// included). Item 0: items 1..4 in turn, stopping at the first non-zero
// status. Items above 4 send nothing and return 0. Returns the link status.
qint16 Process_Set(int process, int item);

// The bare "E" sent once before a process download; returns the status.
qint16 Process_SendE();

// One entry of the main window's process list: queries the name of process n
// (item 1) and gives "n. " + the 16-character name, or "n. Process n" when
// the query failed.
QString Process_ListEntry(int process);
// The entry of a process whose name could not be read: "7. Process 7".
QString Process_FailedListEntry(int process);

#endif
