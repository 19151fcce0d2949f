#ifndef DCX_REMOTE_REMOTESERVER_H
#define DCX_REMOTE_REMOTESERVER_H

#include "remote/remoteroutes.h"

#include <QAbstractHttpServer>
#include <QHostAddress>

class ConnectionGuard;

// The read-only HTTP face of the program. It lives on the user-interface
// thread's event loop: a request is answered from the state of the last tick
// at once, and sockets are never waited on, so a slow client cannot hold up
// the update loop.
class RemoteServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    explicit RemoteServer(QObject* parent = nullptr);

    // Listens on address:port (port 0: any free one). Refuses a bind beyond
    // this computer without a token; false with *error set on any failure.
    bool start(const QHostAddress& address, quint16 port, const QString& token, QString* error);
    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:9700/"
    QString url() const;

    // The endpoints; the tick hands its state over with routes().setState().
    RemoteRoutes& routes() { return routes_; }
    ConnectionGuard& guard() { return *guard_; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    RemoteRoutes routes_;
    ConnectionGuard* guard_;
    QHostAddress address_;
};

#endif
