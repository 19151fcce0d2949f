#include "editors/renamecheck.h"

RenameOutcome CheckRename(const std::optional<QString>& answer, int maxLength, const QString& current,
                          const QStringList& names)
{
    if (!answer)
        return {};
    const QString name = answer->size() > maxLength ? answer->left(maxLength) : answer->trimmed();
    if (name.isEmpty() || name.compare(current.trimmed(), Qt::CaseInsensitive) == 0)
        return {};
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (name.compare(names.at(i).trimmed(), Qt::CaseInsensitive) == 0)
            return {RenameOutcome::Duplicate, int(i + 1), {}};
    }
    return {RenameOutcome::Store, 0, name};
}
