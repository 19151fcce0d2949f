#ifndef DCX_TESTS_COMMON_FILLFIELDS_H
#define DCX_TESTS_COMMON_FILLFIELDS_H

#include "store/modelfields.h"

#include <cmath>

// Gives every numeric field of a record a value of its own on its step grid or
// list, inside its range and above its minimum (a zero power is repaired on
// load); the seed makes records differ from each other.
template <typename Record>
void fillFields(Record& r, int seed)
{
    for (const FieldSpec<Record>& row : FieldSpecs<Record>()) {
        const int span = row.maxSteps() - row.minSteps();
        const int n = row.minSteps() + (span > 0 ? 1 + (seed++ * 37) % span : 0);
        const double v = row.valueAt(n);
        if (const auto p = std::get_if<double Record::*>(&row.field))
            r.*(*p) = v;
        else
            r.*std::get<qint16 Record::*>(row.field) = static_cast<qint16>(std::lround(v));
    }
}

#endif
