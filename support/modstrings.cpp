#include "support/modstrings.h"

QString GetDelimitedWord(const QString& text, int n, const QString& delimiter)
{
    if (n < 1)
        return {};
    if (delimiter.isEmpty())
        return n == 1 ? text : QString();
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype at = text.indexOf(delimiter, start);
        if (at < 0)
            return {};
        start = at + delimiter.size();
    }
    const qsizetype end = text.indexOf(delimiter, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

int CountDelimitedWords(const QString& text, const QString& delimiter)
{
    if (delimiter.isEmpty())
        return 1;
    int count = 1;
    for (qsizetype at = text.indexOf(delimiter); at >= 0; at = text.indexOf(delimiter, at + delimiter.size()))
        ++count;
    return count;
}

QString StripChars(const QString& text, QChar c)
{
    QString out = text;
    out.remove(c);
    return out;
}

int FindStringInList(const QStringList& entries, const QString& text, bool exact)
{
    for (int i = 0; i < entries.size(); ++i) {
        const QString& e = entries.at(i);
        const bool match =
            exact ? e.compare(text, Qt::CaseInsensitive) == 0 : e.startsWith(text, Qt::CaseInsensitive);
        if (match)
            return i;
    }
    return -1;
}
