#ifndef DCX_LINK_TCPTRANSPORT_H
#define DCX_LINK_TCPTRANSPORT_H

#include "link/transport.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>

class QTcpSocket;

// The Ethernet transport: a TCP connection to the instrument. Frames are sent
// only while connected; the link never listens. Host names are resolved
// asynchronously, so nothing here blocks the window. The socket runs
// unbuffered: each frame is one send, each arrival one receive.
class TcpTransport final : public Transport {
    Q_OBJECT
public:
    enum class State { Unconnected, HostLookup, Connecting, Connected };

    explicit TcpTransport(QObject* parent = nullptr);
    ~TcpTransport() override;

    // Starts connecting (any previous connection is dropped first).
    void connectToHost(const QString& host, quint16 port);
    State state() const;
    // True while the connection attempt is still under way.
    bool connecting() const;
    QString errorString() const { return error_; }

    bool isOpen() const override;
    void close() override;
    bool write(const QByteArray& frame) override;
    QByteArray readAvailable() override;

signals:
    // The connection state changed (connected, failed, closed).
    void stateChanged();

private:
    void startConnect(const QHostAddress& address);
    void readSocket();
    void fail(const QString& why);

    QTcpSocket* socket_; // child of this object
    quint16 port_ = 0;
    int lookupId_ = -1;
    QString error_;
    QByteArray pending_;
};

#endif
