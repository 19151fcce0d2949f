#ifndef DCX_COMMANDS_WIREITEM_H
#define DCX_COMMANDS_WIREITEM_H

#include "commands/replyfields.h"
#include "store/modelitems.h"

#include <QString>

#include <optional>
#include <span>

// The command side of the item tables of store/modelitems.h: query texts,
// download fields and reply decoding.

namespace wire {

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

} // namespace wire

#endif
