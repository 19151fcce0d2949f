#include "sim/simpeer.h"

SimPeer::SimPeer(quint32 seed, QObject* parent) : InProcessPeer(parent), sim_(seed)
{
    connect(&sim_, &SimInstrument::output, this, &InProcessPeer::sendToHost);
}

void SimPeer::receiveFromHost(const QByteArray& bytes)
{
    sim_.receive(bytes);
}
