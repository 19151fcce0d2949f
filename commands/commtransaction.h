#ifndef DCX_COMMANDS_COMMTRANSACTION_H
#define DCX_COMMANDS_COMMTRANSACTION_H

#include "link/modcomm.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// Helpers shared by the command families. Every transaction goes through
// Comm_SendCommand; the link status it leaves is what callers read.

// One transaction: the reply data when the link status after it is 0.
std::optional<QString> Transact(const QString& command);

// Marks the last transaction as failed with "Bad Data" (a reply outside its
// format, a value that does not fit the wire, a record number out of range)
// and returns that status. Inside another transaction's reply wait (status 9)
// the status is left to that transaction; the result is still "Bad Data".
qint16 FailBadData();

// Integer in decimal, no leading blank, "-" for negatives.
inline QString Dec(qint64 v)
{
    return QString::number(v);
}

#endif
