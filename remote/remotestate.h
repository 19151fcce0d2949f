#ifndef DCX_REMOTE_REMOTESTATE_H
#define DCX_REMOTE_REMOTESTATE_H

#include "commands/readingsrecord.h"

#include <QString>
#include <QtGlobal>

// What the remote face shows: a copy of the state of the last tick, handed
// over by whoever runs the update loop (the main window or dcx700ctl serve).
// The server only reads it, so a request never waits for the instrument.
class LinkHealer;

struct RemoteState {
    ReadingsRecord readings;
    bool readingsValid = false; // false until a readings cycle succeeded
    QString identification;     // the instrument's answer to "@"; empty before
    bool linkUp = false;
    int linkStatus = 0; // the link status code of the last transaction
    QString linkState;  // "online", "offline", or the link's own state text
    quint64 reconnects = 0;
    double secondsWithoutLink = 0.0;
    QString runId; // the current run's id in the run archive; empty when none
};

// The state as the link and the shared readings hold it now. Callers that
// know more (reconnect counts, the run id) fill those fields in afterwards.
RemoteState CaptureRemoteState();
// Adds what the link healing knows: "reconnecting" while the link is lost,
// the reconnect count and the seconds without link.
void ApplyLinkHealer(RemoteState& state, const LinkHealer& healer);

#endif
