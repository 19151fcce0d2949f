#ifndef DCX_SIM_SIMPEER_H
#define DCX_SIM_SIMPEER_H

#include "link/inprocesspeer.h"
#include "sim/siminstrument.h"

// The simulated instrument as the far end of the in-process transport: tests
// run the program against it without sockets. Replies are emitted at once
// from receiveFromHost (or later, when a delay fault is set).
class SimPeer : public InProcessPeer {
    Q_OBJECT
public:
    explicit SimPeer(quint32 seed = 1, QObject* parent = nullptr);

    SimInstrument& instrument() { return sim_; }
    void receiveFromHost(const QByteArray& bytes) override;

private:
    SimInstrument sim_;
};

#endif
