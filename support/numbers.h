#ifndef DCX_SUPPORT_NUMBERS_H
#define DCX_SUPPORT_NUMBERS_H

#include <QString>
#include <QStringView>
#include <optional>

// The number rules shared by every reply parser, the editors and the INI
// reader. Pure functions; the decimal point is always ".", whatever the locale.

// The leading number of text: blanks skipped, optional sign, digits, optional
// "." fraction, optional exponent ("e"/"E", sign, digits). "12abc" -> 12,
// "12.5 s" -> 12.5, "1,5" -> 1, "abc" -> 0, "" -> 0.
double LeadingNumber(QStringView text);
// The whole text as a number (blanks around it allowed); nullopt when it is
// not exactly one number ("12abc", "", "abc", "1,5").
std::optional<double> StrictNumber(QStringView text);

// How a received number is read.
enum class NumberRule {
    Leading, // leading blanks skipped, the longest leading decimal number, 0 if none
    Strict,  // the whole text (blanks around it aside) must be a number
};

std::optional<double> ReadNumber(QStringView text, NumberRule rule);

// Rounds half to even (12.5 -> 12, 13.5 -> 14, -0.5 -> 0).
double RoundHalfEven(double v);
// Rounds half to even into a 16/32-bit integer; nullopt when the result does
// not fit (32767.5 -> nullopt) or v is not a number.
std::optional<qint16> RoundToInt16(double v);
std::optional<qint32> RoundToInt32(double v);
// A text as a 16-bit integer, the strict way the configuration reader
// converts: a number rounded half to even, nullopt for a non-number or a
// value outside -32768..32767.
std::optional<qint16> TextToInt16(QStringView text);

// Formats v with a fixed pattern: "#0.00", "#0.0", "#0.000", "0.0", "0.00",
// "0", "#.0" ... '0' = digit always shown, '#' = digit shown when significant,
// "." = decimal point. Rounds half away from zero at the last shown digit
// (after reducing v to 15 significant digits, so 2.675 -> "2.68"); no
// thousands grouping; never "-0.0". 0.26 with "#.0" -> ".3".
QString FormatNumber(double v, QStringView pattern);

#endif
