#include "support/modcombobox.h"

#include "support/modstrings.h"

#include <QAbstractItemView>
#include <QComboBox>

int FindStringComboBox(const QComboBox* list, const QString& text, bool exact)
{
    if (!list)
        return -1;
    QStringList entries;
    entries.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return FindStringInList(entries, text, exact);
}

bool IsComboBoxDropped(const QComboBox* list)
{
    return list && list->view() && list->view()->isVisible();
}
