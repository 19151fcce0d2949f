#ifndef DCX_EDITORS_DECIMALSPLIT_H
#define DCX_EDITORS_DECIMALSPLIT_H

#include <QString>

// How the editors split a stored number over their spinners and put it back
// together. Pure functions; the decimal point is always ".".

// A one-decimal value over a whole-part spinner and a tenths spinner.
struct TenthsPair {
    int whole = 0;
    int tenths = 0;
    bool operator==(const TenthsPair&) const = default;
};
// whole = v rounded down; tenths = (v - whole) x 10 rounded half to even.
// Either part may fall outside its spinner (99.95 -> 99 and 10).
TenthsPair SplitTenths(double v);
// whole, ".", tenths as they stand, no number formatting (12 and 7 -> "12.7").
QString TenthsText(int whole, int tenths);

// A three-decimal value over a whole-part spinner and three digit spinners.
struct ThousandthsGroup {
    int whole = 0;
    int tenths = 0;
    int hundredths = 0;
    int thousandths = 0;
    bool operator==(const ThousandthsGroup&) const = default;
};
// n = v x 1000 rounded half to even, clamped to 0..maxWhole.999, then split.
ThousandthsGroup SplitThousandths(double v, int maxWhole);
// The group's value formatted "0.000".
QString ThousandthsText(const ThousandthsGroup& g);

// A time in seconds over a minutes spinner and a seconds spinner.
struct MinutesSeconds {
    int minutes = 0;
    int seconds = 0;
    bool operator==(const MinutesSeconds&) const = default;
};
// minutes = t / 60 rounded down; seconds = t - minutes x 60 rounded half to even.
MinutesSeconds SplitMinutes(double t);
// The seconds a pair stands for, capped at maxSeconds: a pair past the cap
// has its seconds reset to 0, as the editors do when a spinner takes it there.
MinutesSeconds CapMinutes(MinutesSeconds t, int maxSeconds);

// A number as the shortest text that reads back as itself (2.5, 10, 0.3, -7.5).
QString PlainNumber(double v);
// v when it lies in lo..hi, else the nearer limit.
int ClampInt(double v, int lo, int hi);
// True when v lies in lo..hi.
bool InRange(double v, int lo, int hi);

#endif
