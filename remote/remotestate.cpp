#include "remote/remotestate.h"

#include "link/linkhealer.h"
#include "link/modcomm.h"

RemoteState CaptureRemoteState()
{
    RemoteState s;
    s.readings = Readings();
    s.identification = Comm_InstrumentID();
    const LinkStatus status = Comm_GetStatus();
    s.linkStatus = status;
    s.linkUp = Comm_Online() && status == linkstatus::Ok;
    // The record holds real values once an instrument has answered.
    s.readingsValid = !s.identification.isEmpty();
    if (!Comm_Online())
        s.linkState = QStringLiteral("offline");
    else if (status == linkstatus::Ok)
        s.linkState = QStringLiteral("online");
    else
        s.linkState = Comm_ErrorText(status);
    return s;
}

void ApplyLinkHealer(RemoteState& state, const LinkHealer& healer)
{
    if (healer.lost()) {
        state.linkUp = false;
        state.linkState = QStringLiteral("reconnecting");
    }
    state.reconnects = quint64(healer.reconnects());
    state.secondsWithoutLink = double(healer.totalLostMs()) / 1000.0;
}
