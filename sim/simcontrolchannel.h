#ifndef DCX_SIM_SIMCONTROLCHANNEL_H
#define DCX_SIM_SIMCONTROLCHANNEL_H

#include <QHostAddress>
#include <QObject>
#include <QSocketNotifier>
#include <QTcpServer>

#include <memory>

class SimControl;

// Carries control lines to SimControl while the simulator runs: from clients
// of a second (loopback) TCP port, or from standard input. Each line gets one
// answer line.
class SimControlServer : public QObject {
    Q_OBJECT
public:
    explicit SimControlServer(SimControl& control, QObject* parent = nullptr);
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return server_.errorString(); }

private:
    void onNewConnection();

    SimControl& control_;
    QTcpServer server_;
};

class SimControlStdin : public QObject {
    Q_OBJECT
public:
    explicit SimControlStdin(SimControl& control, QObject* parent = nullptr);

private:
    void onReadable();

    SimControl& control_;
    QByteArray pending_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

#endif
