#ifndef DCX_EDITORS_MATERIALSPLIT_H
#define DCX_EDITORS_MATERIALSPLIT_H

#include <QString>

// Density and Z-factor travel through spinners counting hundredths.

// v x 100 rounded half to even, clamped to lo..hi.
int HundredthsSpin(double v, int lo, int hi);
// spin / 100 formatted "0.00".
QString HundredthsText(int spin);
// What the record holds for a spinner value: the box's number rounded to a
// 32-bit float (2.70 -> the double nearest the float 2.7).
double StoredHundredths(int spin);

// A typed entry checked against a spinner's limits.
struct EntryCheck {
    bool ok = false;
    int spin = 0;    // the new spinner value when ok
    QString message; // "Valid values are 0.40 to 99.99." when not
};
EntryCheck CheckHundredthsEntry(const QString& text, int lo, int hi);

#endif
