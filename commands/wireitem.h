#ifndef DCX_COMMANDS_WIREITEM_H
#define DCX_COMMANDS_WIREITEM_H

#include "commands/replyfields.h"

#include <QString>
#include <QtGlobal>

#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <variant>

// One numbered item of a record as it travels on the wire: the model field it
// belongs to, the scale between model units and wire integers (1, 10, 100 or
// 1000) and the width of the wire integer. The same row encodes a download
// and decodes an upload.
template <typename Record>
struct WireItem {
    using Field = std::variant<double Record::*, qint16 Record::*>;

    int item;
    Field field;
    int scale = 1;       // model value x scale = wire integer
    int bits = 16;       // 16 or 32
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

// The item numbers of a query: " n" for one item, " 1 2 ... count" for the
// whole record.
inline QString queryItems(int item, int count)
{
    QString text;
    for (int i = item > 0 ? item : 1; i <= (item > 0 ? item : count); ++i)
        text += QLatin1Char(' ') + QString::number(i);
    return text;
}

// The n,value fields of a download: " n,value" for one item, every item in
// order for the whole record; nullopt when a value does not fit its width
// (then nothing is to be sent).
template <typename Record>
std::optional<QString> setItems(std::span<const WireItem<Record>> items, const Record& rec, int item)
{
    QString text;
    const int first = item > 0 ? item : 1;
    const int last = item > 0 ? item : int(items.size());
    for (int i = first; i <= last; ++i) {
        const auto v = encode(items[i - 1], rec);
        if (!v)
            return std::nullopt;
        text += QLatin1Char(' ') + QString::number(i) + QLatin1Char(',') + QString::number(*v);
    }
    return text;
}

// Decodes a query reply into rec: the bare value for one item, or n,value
// fields taken by position for the whole record (a short reply leaves the
// remaining fields as they were). False when any field fails to decode.
template <typename Record>
bool decodeReply(std::span<const WireItem<Record>> items, Record& rec, const ReplyFields& fields, int item,
                 NumberRule rule)
{
    if (item > 0)
        return decode(items[item - 1], rec, fields.field(1), rule);
    for (int i = 1; i <= fields.count() && i <= int(items.size()); ++i)
        if (!decode(items[i - 1], rec, fields.value(i), rule))
            return false;
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

#endif
