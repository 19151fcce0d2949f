#ifndef DCX_LINK_TCPTRANSPORT_H
#define DCX_LINK_TCPTRANSPORT_H

#include "link/transport.h"

#include <QByteArray>
#include <QHostAddress>
#include <QSocketNotifier>
#include <memory>

// The Ethernet transport: a TCP connection to the instrument. Frames are sent
// only while connected; the link never listens.
//
// The socket is driven directly (non-blocking, with socket notifiers) rather
// than through QTcpSocket: a transaction is one tiny frame each way, and the
// buffered socket spends more system calls per frame on its own bookkeeping
// (write-notifier toggling, a size query before each read) than on the data;
// on a loopback link that doubled the round trip. Host names are resolved
// asynchronously, so nothing here blocks the window.
class TcpTransport final : public Transport {
    Q_OBJECT
public:
    enum class State { Unconnected, HostLookup, Connecting, Connected };

    explicit TcpTransport(QObject* parent = nullptr);
    ~TcpTransport() override;

    // Starts connecting (any previous connection is dropped first).
    void connectToHost(const QString& host, quint16 port);
    State state() const { return state_; }
    // True while the connection attempt is still under way.
    bool connecting() const { return state_ == State::HostLookup || state_ == State::Connecting; }
    QString errorString() const { return error_; }

    bool isOpen() const override { return state_ == State::Connected; }
    void close() override;
    bool write(const QByteArray& frame) override;
    QByteArray readAvailable() override;

signals:
    // The connection state changed (connected, failed, closed).
    void stateChanged();

private:
    void startConnect(const QHostAddress& address);
    void connectFinished();
    void readSocket();
    void fail(const QString& why);
    void setState(State s);

    int fd_ = -1;
    quint16 port_ = 0;
    int lookupId_ = -1;
    State state_ = State::Unconnected;
    QString error_;
    QByteArray pending_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
};

#endif
