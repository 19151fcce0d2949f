#ifndef DCX_LINK_TCPTRANSPORT_H
#define DCX_LINK_TCPTRANSPORT_H

#include "link/transport.h"

#include <QTcpSocket>

// The Ethernet transport: a TCP connection to the instrument. Frames are sent
// only while connected; the link never listens.
class TcpTransport final : public Transport {
    Q_OBJECT
public:
    explicit TcpTransport(QObject* parent = nullptr);

    // Starts connecting (any previous connection is dropped first).
    void connectToHost(const QString& host, quint16 port);
    // True while the connection attempt is still under way.
    bool connecting() const;

    bool isOpen() const override;
    void close() override;
    bool write(const QByteArray& frame) override;
    QByteArray readAvailable() override;

signals:
    // The socket state changed (connected, failed, closed).
    void stateChanged();

private:
    QTcpSocket socket_;
};

#endif
