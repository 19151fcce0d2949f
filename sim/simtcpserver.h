#ifndef DCX_SIM_SIMTCPSERVER_H
#define DCX_SIM_SIMTCPSERVER_H

#include "sim/simline.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class SimInstrument;

// The instrument's Ethernet interface: one client at a time; a new client
// replaces the old one, as the instrument serves a single host.
class SimTcpServer : public QObject {
    Q_OBJECT
public:
    explicit SimTcpServer(SimInstrument& instrument, QObject* parent = nullptr);
    ~SimTcpServer() override;

    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QHostAddress address() const { return server_.serverAddress(); }
    QString errorString() const { return server_.errorString(); }
    bool hasClient() const { return client_ != nullptr; }
    // Paces the connection as a serial line of baud would (0: full speed).
    void setBaud(int baud) { line_.setBaud(baud); }

signals:
    void clientConnected(const QString& peer);
    void clientDisconnected();

private:
    void onNewConnection();
    void closeClient(bool graceful);

    SimInstrument& instrument_;
    SimLine line_;
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
};

#endif
