#ifndef DCX_SUPPORT_MODSTRINGS_H
#define DCX_SUPPORT_MODSTRINGS_H

#include <QString>
#include <QStringList>

// Field n (from 1) of text split at every occurrence of delimiter; two
// adjacent delimiters give an empty field; "" when n is below 1 or past the end.
QString GetDelimitedWord(const QString& text, int n, const QString& delimiter);
// 1 + the number of occurrences of delimiter (an empty text is one field).
int CountDelimitedWords(const QString& text, const QString& delimiter);
// text without any occurrence of c.
QString StripChars(const QString& text, QChar c);
// Index of the first entry equal to text (exact) or beginning with it (not
// exact), ignoring case; -1 when none.
int FindStringInList(const QStringList& entries, const QString& text, bool exact);

#endif
