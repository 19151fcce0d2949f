#include "link/inprocesstransport.h"

#include "link/inprocesspeer.h"

InProcessTransport::InProcessTransport(InProcessPeer* peer, QObject* parent) : Transport(parent), peer_(peer)
{
    if (peer) {
        connect(peer, &InProcessPeer::sendToHost, this, [this](const QByteArray& bytes) {
            pending_.append(bytes);
            emit readyRead();
        });
    }
}

bool InProcessTransport::isOpen() const
{
    return !peer_.isNull();
}

void InProcessTransport::close()
{
    if (peer_)
        disconnect(peer_, nullptr, this, nullptr);
    peer_.clear();
    pending_.clear();
}

bool InProcessTransport::write(const QByteArray& frame)
{
    if (!peer_)
        return false;
    pending_.clear();
    peer_->receiveFromHost(frame);
    return true;
}

QByteArray InProcessTransport::readAvailable()
{
    return std::exchange(pending_, QByteArray());
}
