#ifndef DCX_COMMANDS_MODCOMMMATERIAL_H
#define DCX_COMMANDS_MODCOMMMATERIAL_H

#include <QtGlobal>

// Materials of the program-wide model: item 1 the name, 2 the density
// (hundredths on the wire), 3 the Z-factor (thousandths). Unlike the other
// families these check what they receive and ask the operator, through the
// dialog seam, whether to retry. Material numbers outside 1..100 and items
// outside 0..3 are refused before anything is sent (status 5, "Bad Data").

// Item 1..3: "F5? 2". A value that fails its check (empty name, density
// outside 0.4 <= d < 100, Z-factor outside 0.1 <= z < 10) asks to retry:
// Yes sends the query again, No keeps the old value and returns 0. Item 0:
// items 1..3 in turn. Returns 0, or -1 when a transaction failed on the link.
qint16 Material_Get(int material, int item);

// Item 1..3: "F5 2,270". A reply that carries data asks to retry: Yes sends
// again, No ends the item with the current link status. Item 0: items 1..3
// in turn, stopping at the first non-zero status. A value that does not fit
// the wire sends nothing and returns 5. Returns the link status.
qint16 Material_Set(int material, int item);

#endif
