#include "link/tcptransport.h"

#include "link/linklogging.h"

#include <QHostInfo>
#include <QNetworkProxy>
#include <QTcpSocket>

namespace {

// A reply is one small frame: one read of this size takes it whole.
constexpr qint64 kReadChunk = 4096;

} // namespace

TcpTransport::TcpTransport(QObject* parent) : Transport(parent), socket_(new QTcpSocket(this))
{
    // The instrument is on the local network: never through a proxy.
    socket_->setProxy(QNetworkProxy::NoProxy);
    connect(socket_, &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState s) {
        if (s == QAbstractSocket::ConnectedState) {
            // One small frame each way per transaction: send it now, not when Nagle likes.
            socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        }
        emit stateChanged();
    });
    connect(socket_, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        error_ = socket_->errorString();
        qCDebug(lcLink) << "tcp:" << error_;
    });
    connect(socket_, &QIODevice::readyRead, this, [this] { readSocket(); });
}

TcpTransport::~TcpTransport()
{
    if (lookupId_ >= 0)
        QHostInfo::abortHostLookup(lookupId_);
    socket_->disconnect(this);
    socket_->abort();
}

TcpTransport::State TcpTransport::state() const
{
    if (lookupId_ >= 0)
        return State::HostLookup;
    switch (socket_->state()) {
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
        return State::Connecting;
    case QAbstractSocket::ConnectedState:
        return State::Connected;
    default:
        return State::Unconnected;
    }
}

bool TcpTransport::connecting() const
{
    const State s = state();
    return s == State::HostLookup || s == State::Connecting;
}

bool TcpTransport::isOpen() const
{
    return socket_->state() == QAbstractSocket::ConnectedState;
}

void TcpTransport::fail(const QString& why)
{
    qCDebug(lcLink) << "tcp:" << why;
    error_ = why;
    socket_->abort();
    emit stateChanged();
}

void TcpTransport::close()
{
    const bool wasLookingUp = lookupId_ >= 0;
    if (wasLookingUp)
        QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    pending_.clear();
    socket_->abort(); // emits stateChanged when a connection was there
    if (wasLookingUp)
        emit stateChanged();
}

void TcpTransport::connectToHost(const QString& host, quint16 port)
{
    close();
    error_.clear();
    port_ = port;
    qCDebug(lcLink) << "tcp: connecting to" << host << port;
    const QHostAddress literal(host);
    if (!literal.isNull()) {
        startConnect(literal);
        return;
    }
    lookupId_ = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
        if (lookupId_ != info.lookupId())
            return;
        lookupId_ = -1;
        // The instrument speaks IPv4; a name with both kinds of address gets that one.
        for (auto protocol : {QAbstractSocket::IPv4Protocol, QAbstractSocket::IPv6Protocol}) {
            for (const QHostAddress& a : info.addresses()) {
                if (a.protocol() == protocol) {
                    startConnect(a);
                    return;
                }
            }
        }
        fail(QStringLiteral("host not found"));
    });
    emit stateChanged();
}

void TcpTransport::startConnect(const QHostAddress& address)
{
    // Unbuffered: a write goes straight to the socket and a read straight from
    // it. The buffered socket queues each write behind its write notifier and
    // asks the size of every arrival before reading it; with one tiny frame
    // each way per transaction that bookkeeping cost more system calls than
    // the data (seven per round trip instead of three).
    socket_->connectToHost(address, port_, QIODevice::ReadWrite | QIODevice::Unbuffered);
}

void TcpTransport::readSocket()
{
    // Taken at once: what has arrived before the next write is the reply, or
    // late bytes the next write discards.
    char buf[kReadChunk];
    for (;;) {
        const qint64 n = socket_->read(buf, kReadChunk);
        if (n > 0)
            pending_.append(buf, n);
        if (n < kReadChunk)
            break;
    }
    if (!isOpen()) {
        // End of stream or a read error: the socket has dropped the connection.
        fail(QStringLiteral("connection closed by the instrument"));
        return;
    }
    if (!pending_.isEmpty())
        emit readyRead();
}

bool TcpTransport::write(const QByteArray& frame)
{
    if (!isOpen())
        return false;
    pending_.clear(); // a late reply to an earlier command answers nothing now
    // Unbuffered, so this is the send itself; a frame that did not fit the
    // socket buffer at once is finished by the socket's write notifier.
    const qint64 n = socket_->write(frame);
    if (n < 0)
        qCDebug(lcLink) << "tcp: write failed:" << socket_->errorString();
    return n == frame.size();
}

QByteArray TcpTransport::readAvailable()
{
    return std::exchange(pending_, QByteArray());
}
