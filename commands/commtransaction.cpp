#include "commands/commtransaction.h"

#include "commands/commandslogging.h"
#include "link/modcomm.h"

std::optional<QString> Transact(const QString& command)
{
    const QString reply = Comm_SendCommand(command);
    const qint16 status = Comm_GetStatus();
    if (status != linkstatus::Ok) {
        qCDebug(lcCommands) << "command" << command << "failed with status" << status;
        return std::nullopt;
    }
    return reply;
}

qint16 FailBadData()
{
    // Inside another transaction's reply wait the status 9 is that
    // transaction's: overwriting it would end the healthy outer one.
    if (Comm_GetStatus() != linkstatus::Busy)
        Comm_SetStatus(linkstatus::BadData);
    return linkstatus::BadData;
}
