#ifndef DCX_STORE_MODELFIELDS_H
#define DCX_STORE_MODELFIELDS_H

#include "store/model.h"

#include <span>
#include <variant>

// What the editors allow for each field of a parameter record: its range, the
// smallest step, the display pattern and the unit. The editors, the process
// report and the compare list read limits and formats from here, so a range
// is written once.
template <typename Record>
struct FieldSpec {
    using Field = std::variant<double Record::*, qint16 Record::*>;

    const char* name; // the field's name in the model (database column spelling)
    Field field;
    double minimum;
    double maximum;
    double step;        // smallest change the editor makes, in field units
    const char* format; // FormatNumber pattern, "h:mm:ss" for times, "" for a plain number
    const char* unit;   // "" when the field has none
    // The only values the field takes (the period's list, single precision as
    // the instrument keeps them); a spinner then counts list positions.
    std::span<const float> values{};
    // -1 stands for "none" (a free slot, no link) besides minimum..maximum.
    bool minusOneIsNone = false;

    // The limits counted in steps: what a spinner holding the field in its
    // smallest unit ranges over (Density 0.40..99.99 by 0.01 -> 40..9999).
    int minSteps() const;
    int maxSteps() const;
    // The field value a spinner count stands for (the list value for a list).
    double valueAt(int steps) const;
    // Whether the field may hold v: on its step grid within its limits, one
    // of its list values, or -1 where that means none.
    bool admits(double v) const;
    // v as the editors' spinners hold it: the whole part rounded down and the
    // fraction rounded half to even at the field's step (12.25 -> 12.2).
    double shown(double v) const;

    // A value as the editors show it: the pattern, a time as h:mm:ss, a plain
    // number with the decimals its step allows and no trailing zeros, and a
    // free number (format "g": a typed P term) or a list value as it stands.
    QString text(double v) const;
    // The same with the unit after a blank (times carry none: h:mm:ss says it).
    QString textWithUnit(double v) const;
    bool isTime() const;
};

// The table of one record type, in the record's field order.
template <typename Record>
std::span<const FieldSpec<Record>> FieldSpecs();

// The row of one field; every field of the layer, film, material, system,
// input and relay records has one.
template <typename Record, typename T>
const FieldSpec<Record>& FieldSpecOf(T Record::*field)
{
    for (const FieldSpec<Record>& row : FieldSpecs<Record>()) {
        if (const auto p = std::get_if<T Record::*>(&row.field); p && *p == field)
            return row;
    }
    return FieldSpecs<Record>().front(); // unreachable: the table test covers every field
}

// A field's value read through its row, as a double.
template <typename Record>
double FieldValue(const FieldSpec<Record>& row, const Record& rec)
{
    if (const auto p = std::get_if<double Record::*>(&row.field))
        return rec.*(*p);
    return rec.*std::get<qint16 Record::*>(row.field);
}

#endif
