#include "sim/simtcpserver.h"

#include "sim/siminstrument.h"
#include "sim/simlogging.h"

SimTcpServer::SimTcpServer(SimInstrument& instrument, QObject* parent)
    : QObject(parent), instrument_(instrument), line_(instrument)
{
    connect(&server_, &QTcpServer::newConnection, this, &SimTcpServer::onNewConnection);
    connect(&line_, &SimLine::toHost, this, [this](const QByteArray& bytes) {
        if (client_ && client_->state() == QAbstractSocket::ConnectedState)
            client_->write(bytes);
    });
    connect(&line_, &SimLine::closeRequested, this, [this] { closeClient(true); });
}

// A client still connected is dropped before the server that owns its socket
// goes, so none of its signals reaches this half-destroyed object.
SimTcpServer::~SimTcpServer()
{
    closeClient(false);
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
        if (instrument_.unplugged()) {
            // No cable: the connection goes down at once, the current one stays.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        closeClient(false);
        client_ = socket;
        line_.reset();
        const QString peer = socket->peerAddress().toString() + ':' + QString::number(socket->peerPort());
        qCInfo(lcSim) << "client connected:" << peer;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (socket == client_)
                line_.fromHost(socket->readAll());
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
