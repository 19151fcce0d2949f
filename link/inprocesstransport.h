#ifndef DCX_LINK_INPROCESSTRANSPORT_H
#define DCX_LINK_INPROCESSTRANSPORT_H

#include "link/transport.h"

#include <QPointer>

class InProcessPeer;

// Hands frames to a peer object in the same process and collects what the
// peer sends back. The peer may answer inside receiveFromHost or later.
// Not owning: the transport closes itself when the peer is destroyed.
class InProcessTransport final : public Transport {
    Q_OBJECT
public:
    explicit InProcessTransport(InProcessPeer* peer, QObject* parent = nullptr);

    bool isOpen() const override;
    void close() override;
    bool write(const QByteArray& frame) override;
    QByteArray readAvailable() override;

private:
    QPointer<InProcessPeer> peer_;
    QByteArray pending_;
};

#endif
