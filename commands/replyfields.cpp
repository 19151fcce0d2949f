#include "commands/replyfields.h"

#include "support/modstrings.h"

namespace {
const QString kSpace = QStringLiteral(" ");
const QString kComma = QStringLiteral(",");
} // namespace

ReplyFields::ReplyFields(const QString& reply) : m_reply(reply), m_count(CountDelimitedWords(reply, kSpace))
{}

QString ReplyFields::field(int n) const
{
    return GetDelimitedWord(m_reply, n, kSpace);
}

QString ReplyFields::value(int n) const
{
    return GetDelimitedWord(field(n), 2, kComma);
}
