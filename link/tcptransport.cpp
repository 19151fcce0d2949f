#include "link/tcptransport.h"

#include "link/linklogging.h"

TcpTransport::TcpTransport(QObject* parent) : Transport(parent)
{
    connect(&socket_, &QTcpSocket::readyRead, this, &Transport::readyRead);
    connect(&socket_, &QTcpSocket::stateChanged, this, &TcpTransport::stateChanged);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        qCDebug(lcLink) << "tcp:" << socket_.errorString();
        emit stateChanged();
    });
}

void TcpTransport::connectToHost(const QString& host, quint16 port)
{
    if (socket_.state() != QAbstractSocket::UnconnectedState)
        socket_.abort();
    qCDebug(lcLink) << "tcp: connecting to" << host << port;
    socket_.connectToHost(host, port);
}

bool TcpTransport::connecting() const
{
    const auto s = socket_.state();
    return s == QAbstractSocket::HostLookupState || s == QAbstractSocket::ConnectingState;
}

bool TcpTransport::isOpen() const
{
    return socket_.state() == QAbstractSocket::ConnectedState;
}

void TcpTransport::close()
{
    socket_.abort();
}

bool TcpTransport::write(const QByteArray& frame)
{
    if (!isOpen())
        return false;
    socket_.readAll();  // a late reply to an earlier command answers nothing now
    const bool ok = socket_.write(frame) == frame.size();
    socket_.flush();
    return ok;
}

QByteArray TcpTransport::readAvailable()
{
    return socket_.readAll();
}
