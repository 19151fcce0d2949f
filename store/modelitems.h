#ifndef DCX_STORE_MODELITEMS_H
#define DCX_STORE_MODELITEMS_H

#include "store/model.h"
#include "support/numbers.h"

#include <QString>
#include <QtGlobal>

#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <variant>

// The numbered items of the records as the instrument numbers them: the
// model side of the command families, also used by the debug dump.

// One numbered item of a record as it travels on the wire: the model field it
// belongs to, the scale between model units and wire integers (1, 10, 100 or
// 1000) and the width of the wire integer. The same row encodes a download
// and decodes an upload.
template <typename Record>
struct WireItem {
    using Field = std::variant<double Record::*, qint16 Record::*>;

    int item;
    Field field;
    int scale = 1;           // model value x scale = wire integer
    int bits = 16;           // 16 or 32
    bool asReceived = false; // upload stores the number unrounded (ramp switches)
};

namespace wire {

inline std::optional<qint32> fit(double scaled, int bits)
{
    if (bits == 16) {
        if (const auto v = RoundToInt16(scaled))
            return *v;
        return std::nullopt;
    }
    return RoundToInt32(scaled);
}

// The integer a row sends for the record's field, without the width check:
// what the debug dump shows. Saturates at the 32-bit limits.
template <typename Record>
qint64 rawValue(const WireItem<Record>& row, const Record& rec)
{
    if (const auto p = std::get_if<qint16 Record::*>(&row.field))
        return static_cast<qint64>(rec.*(*p)) * row.scale;
    const double v = RoundHalfEven(rec.*std::get<double Record::*>(row.field) * row.scale);
    if (!(v >= double(std::numeric_limits<qint32>::min())))
        return std::numeric_limits<qint32>::min();
    if (!(v <= double(std::numeric_limits<qint32>::max())))
        return std::numeric_limits<qint32>::max();
    return static_cast<qint64>(v);
}

// The integer sent for the field; nullopt when it does not fit the wire width.
template <typename Record>
std::optional<qint32> encode(const WireItem<Record>& row, const Record& rec)
{
    if (const auto p = std::get_if<qint16 Record::*>(&row.field))
        return fit(static_cast<double>(rec.*(*p)) * row.scale, row.bits);
    return fit(rec.*std::get<double Record::*>(row.field) * row.scale, row.bits);
}

// Stores a received text into the field; false (record untouched) when the
// text is not a number under the rule or the integer does not fit its width.
template <typename Record>
bool decode(const WireItem<Record>& row, Record& rec, const QString& text, NumberRule rule)
{
    const auto number = ReadNumber(text, rule);
    if (!number)
        return false;
    if (row.asReceived) {
        if (!fit(*number, row.bits))
            return false;
        if (const auto p = std::get_if<double Record::*>(&row.field)) {
            rec.*(*p) = *number;
            return true;
        }
    }
    const auto wireValue = fit(*number, row.bits);
    if (!wireValue)
        return false;
    if (const auto p = std::get_if<qint16 Record::*>(&row.field)) {
        const auto v = RoundToInt16(static_cast<double>(*wireValue) / row.scale);
        if (!v)
            return false;
        rec.*(*p) = *v;
    } else {
        rec.*std::get<double Record::*>(row.field) = static_cast<double>(*wireValue) / row.scale;
    }
    return true;
}

template <typename Record>
const WireItem<Record>* find(std::span<const WireItem<Record>> table, int item)
{
    for (const auto& row : table)
        if (row.item == item)
            return &row;
    return nullptr;
}

} // namespace wire

// Item counts and the film name item.
constexpr int LayerItemCount = 24;
constexpr int SystemItemCount = 13;
constexpr int FilmNameItem = 101;

// The item tables: item number -> field, scale and wire width. Layers 1..24
// (Rate .. Layer_Free); films 201..209, 301..311, 401..408 (the name, item
// 101, travels as text); the system record 1..13 in the instrument's order.
std::span<const WireItem<LayerRecord>> LayerItems();
std::span<const WireItem<FilmRecord>> FilmItems();
std::span<const WireItem<SystemRecord>> SystemItems();

// The integer the layer commands send for one item (1..24) of a record, as the
// debug dump writes it; 0 for items without a row.
qint32 Layer_GetItem(const LayerRecord& layer, int item);
qint32 Layer_GetItem(int layer, int item);
// Stores one received value into an item of the program-wide model; false
// (layer untouched) when the text is not a decimal number or does not fit, or
// the item has no row.
bool Layer_SetItem(int layer, int item, const QString& text);

// The wire text of one film item: the trimmed name for 101, the integer sent
// for the others (as the debug dump writes it); empty for items without a row.
QString Film_GetItem(const FilmRecord& film, int item);
QString Film_GetItem(int film, int item);
// Stores one received value; false (film untouched) for a text that is not a
// decimal number or does not fit, or an item without a row.
bool Film_SetItem(int film, int item, const QString& text);

// The integer sent for one system item (1..13), as the debug dump writes it;
// 0 for other items.
qint32 System_GetItem(const SystemRecord& rec, int item);
qint32 System_GetItem(int item);
// Stores one received value; false (record untouched) for a text that is not
// a decimal number or does not fit, or an item outside 1..13.
bool System_SetItem(int item, const QString& text);

#endif
