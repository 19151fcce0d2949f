#include "sim/simtcpserver.h"

#include "sim/siminstrument.h"
#include "sim/simlogging.h"

SimTcpServer::SimTcpServer(SimInstrument& instrument, QObject* parent)
    : QObject(parent), instrument_(instrument)
{
    connect(&server_, &QTcpServer::newConnection, this, &SimTcpServer::onNewConnection);
    connect(&instrument_, &SimInstrument::output, this, [this](const QByteArray& bytes) {
        if (client_ && client_->state() == QAbstractSocket::ConnectedState)
            client_->write(bytes);
    });
    connect(&instrument_, &SimInstrument::closeRequested, this, [this] { closeClient(true); });
}

bool SimTcpServer::listen(const QHostAddress& address, quint16 port)
{
    return server_.listen(address, port);
}

void SimTcpServer::closeClient(bool graceful)
{
    if (!client_)
        return;
    QTcpSocket* old = client_;
    client_ = nullptr;
    old->disconnect(this);
    if (graceful) {
        // the last reply still goes out before the line drops
        connect(old, &QTcpSocket::disconnected, old, &QObject::deleteLater);
        old->disconnectFromHost();
    } else {
        old->abort();
        old->deleteLater();
    }
    emit clientDisconnected();
}

void SimTcpServer::onNewConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        closeClient(false);
        client_ = socket;
        instrument_.resetLink();
        const QString peer = socket->peerAddress().toString() + ':' + QString::number(socket->peerPort());
        qCInfo(lcSim) << "client connected:" << peer;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (socket == client_)
                instrument_.receive(socket->readAll());
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (socket != client_)
                return;
            client_ = nullptr;
            socket->deleteLater();
            emit clientDisconnected();
        });
        emit clientConnected(peer);
    }
}
