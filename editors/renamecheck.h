#ifndef DCX_EDITORS_RENAMECHECK_H
#define DCX_EDITORS_RENAMECHECK_H

#include <QString>
#include <QStringList>
#include <optional>

// One answer of a rename prompt judged against the names in use.
struct RenameOutcome {
    enum Kind { Stop, Duplicate, Store };
    Kind kind = Stop;
    int duplicateOf = 0; // record number of the first equal name (Duplicate)
    QString name;        // the name to store (Store)
};

// answer: the prompt's answer, nullopt when cancelled. An answer longer than
// maxLength keeps its first maxLength characters, a shorter one is trimmed.
// Stop when it is empty or equals current (trimmed, ignoring case); Duplicate
// at the first of names (record 1 first, trimmed) equal to it ignoring case;
// else Store.
RenameOutcome CheckRename(const std::optional<QString>& answer, int maxLength, const QString& current,
                          const QStringList& names);

#endif
