#include "link/tcptransport.h"

#include "link/linklogging.h"

#include <QHostInfo>

#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Notifiers are often dropped from their own activated() signal: disable now,
// delete once the signal has returned.
void dropNotifier(std::unique_ptr<QSocketNotifier>& n)
{
    if (!n)
        return;
    n->setEnabled(false);
    n.release()->deleteLater();
}

} // namespace

TcpTransport::TcpTransport(QObject* parent) : Transport(parent) {}

TcpTransport::~TcpTransport()
{
    close();
}

void TcpTransport::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    emit stateChanged();
}

void TcpTransport::fail(const QString& why)
{
    qCDebug(lcLink) << "tcp:" << why;
    error_ = why;
    dropNotifier(readNotifier_);
    dropNotifier(writeNotifier_);
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    setState(State::Unconnected);
}

void TcpTransport::close()
{
    if (lookupId_ >= 0)
        QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    dropNotifier(readNotifier_);
    dropNotifier(writeNotifier_);
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    pending_.clear();
    setState(State::Unconnected);
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
    setState(State::HostLookup);
    lookupId_ = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
        lookupId_ = -1;
        if (state_ != State::HostLookup)
            return;
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
}

void TcpTransport::startConnect(const QHostAddress& address)
{
    sockaddr_storage ss{};
    socklen_t len = 0;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto* a6 = reinterpret_cast<sockaddr_in6*>(&ss);
        a6->sin6_family = AF_INET6;
        a6->sin6_port = htons(port_);
        const Q_IPV6ADDR ip = address.toIPv6Address();
        std::memcpy(&a6->sin6_addr, &ip, sizeof ip);
        len = sizeof *a6;
    } else {
        auto* a4 = reinterpret_cast<sockaddr_in*>(&ss);
        a4->sin_family = AF_INET;
        a4->sin_port = htons(port_);
        a4->sin_addr.s_addr = htonl(address.toIPv4Address());
        len = sizeof *a4;
    }
    fd_ = ::socket(ss.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    // One small frame each way per transaction: send it now, not when Nagle likes.
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&ss), len) == 0) {
        connectFinished();
        return;
    }
    if (errno != EINPROGRESS) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    setState(State::Connecting);
    writeNotifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, [this] {
        int err = 0;
        socklen_t errLen = sizeof err;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &errLen) != 0)
            err = errno;
        if (err != 0) {
            fail(QString::fromLocal8Bit(std::strerror(err)));
            return;
        }
        connectFinished();
    });
}

void TcpTransport::connectFinished()
{
    dropNotifier(writeNotifier_);
    readNotifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, [this] { readSocket(); });
    setState(State::Connected);
}

void TcpTransport::readSocket()
{
    char buf[4096];
    const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
    if (n > 0) {
        pending_.append(buf, n);
        emit readyRead();
        return;
    }
    if (n == 0) {
        fail(QStringLiteral("connection closed by the instrument"));
        return;
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
}

bool TcpTransport::write(const QByteArray& frame)
{
    if (!isOpen())
        return false;
    pending_.clear();  // a late reply to an earlier command answers nothing now
    // Frames are at most a few hundred bytes: they always fit the socket buffer.
    const ssize_t n = ::send(fd_, frame.constData(), static_cast<size_t>(frame.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return n == frame.size();
}

QByteArray TcpTransport::readAvailable()
{
    return std::exchange(pending_, QByteArray());
}
