#ifndef DCX_COMMANDS_REPLYFIELDS_H
#define DCX_COMMANDS_REPLYFIELDS_H

#include "support/numbers.h"

#include <QString>

#include <optional>

// The fields of one instrument reply: the data split at every single space,
// so two adjacent spaces give an empty field. Fields are numbered from 1; an
// empty reply counts as one (empty) field.
class ReplyFields {
public:
    explicit ReplyFields(const QString& reply);

    int count() const { return m_count; }
    // Field n (1-based); empty beyond the count.
    QString field(int n) const;
    // The text after the comma of an "n,value" field; the n is not read.
    QString value(int n) const;

private:
    QString m_reply;
    int m_count;
};

#endif
