#ifndef DCX_SUPPORT_MODCOMBOBOX_H
#define DCX_SUPPORT_MODCOMBOBOX_H

class QComboBox;
class QString;

// Index of the first entry equal to text (exact) or beginning with it (not
// exact), ignoring case; -1 when none.
int FindStringComboBox(const QComboBox* list, const QString& text, bool exact);
// Whether the list's drop-down part is open.
bool IsComboBoxDropped(const QComboBox* list);

#endif
