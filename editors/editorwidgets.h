#ifndef DCX_EDITORS_EDITORWIDGETS_H
#define DCX_EDITORS_EDITORWIDGETS_H

#include "store/modelfields.h"

#include <QString>

#include <functional>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QWidget;
class UpDownWidget;

// Control makers shared by the four editor windows, so each window's layout
// code stays a list of its fields.

// A spinner named name with range lo..hi; tip says which part it turns,
// countText how a count reads in its field (the reset entry shows it).
UpDownWidget* MakeSpinner(QWidget* parent, const QString& name, int lo, int hi, const QString& tip = {},
                          std::function<QString(int)> countText = {});
// A spinner over a field's range counted in its steps (Capture 0..999,
// Tooling 10..399), or over the whole part of a decimal field (Rate 0..99).
template <typename Record>
UpDownWidget* MakeStepSpinner(QWidget* parent, const QString& name, const FieldSpec<Record>& spec,
                              const QString& tip = {})
{
    return MakeSpinner(parent, name, spec.minSteps(), spec.maxSteps(), tip,
                       [&spec](int n) { return spec.textWithUnit(spec.valueAt(n)); });
}
// A spinner turning one part of a field: each count is worth place field
// units (a tenths digit 0.1, a minutes spinner 60 s).
template <typename Record>
UpDownWidget* MakePartSpinner(QWidget* parent, const QString& name, int lo, int hi,
                              const FieldSpec<Record>& spec, double place, const QString& tip = {})
{
    return MakeSpinner(parent, name, lo, hi, tip,
                       [&spec, place](int n) { return spec.textWithUnit(n * place); });
}
template <typename Record>
UpDownWidget* MakeWholeSpinner(QWidget* parent, const QString& name, const FieldSpec<Record>& spec,
                               const QString& tip = {})
{
    return MakePartSpinner(parent, name, int(spec.minimum), int(spec.maximum), spec, 1, tip);
}
// The digit spinners of a decimal and the seconds of a time.
constexpr int kDigitMax = 9;
constexpr int kSecondsMax = 59;

// A read-only box showing a value: it takes no focus, so Tab moves from
// spinner to spinner. chars sets its width.
QLineEdit* MakeDisplay(QWidget* parent, const QString& name, int chars);
// A box the operator may type into.
QLineEdit* MakeEntry(QWidget* parent, const QString& name, int chars);
// A label whose mnemonic moves the focus to buddy.
QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy = nullptr);
// Indexed control names: "spnRate" and 1 give "spnRate_1".
QString Indexed(const char* name, int index);

#endif
