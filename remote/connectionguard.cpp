#include "remote/connectionguard.h"

#include "support/clock.h"

#include <QRegularExpression>
#include <QTcpSocket>

namespace {

constexpr int kDrainMs = 1000;

// "GET /metrics HTTP/1.1": a token, a target without blanks, an HTTP version.
bool isRequestLine(const QByteArray& line)
{
    static const QRegularExpression re(QStringLiteral("^[A-Z]{1,16} [^ ]{1,4096} HTTP/1\\.[01]\r?$"));
    return re.match(QString::fromLatin1(line)).hasMatch();
}

} // namespace

ConnectionGuard::ConnectionGuard(QObject* parent) : QTcpServer(parent)
{
    sweep_.setInterval(1000);
    connect(&sweep_, &QTimer::timeout, this, &ConnectionGuard::sweepIdle);
    sweep_.start();
}

ConnectionGuard::~ConnectionGuard()
{
    // The sockets outlive the table (they are children, deleted later).
    for (QTcpSocket* s : conns_.keys())
        s->disconnect(this);
}

void ConnectionGuard::incomingConnection(qintptr handle)
{
    sweepIdle();
    while (openConnections() >= limits_.maxConnections && openConnections() > 0)
        evictQuietest();
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    Conn conn;
    conn.lastActivityMs = appClock().monotonicMs();
    conn.serial = ++serial_;
    conns_.insert(socket, conn);
    // Connected before the server's own handler, so the bytes are seen first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        auto it = conns_.find(socket);
        if (it == conns_.end())
            return;
        it->lastActivityMs = appClock().monotonicMs();
        it->requestBytes = 0;
        it->lines = 0;
        it->firstLine.clear();
        it->firstLineDone = false;
    });
    connect(socket, &QObject::destroyed, this, [this, socket] { conns_.remove(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { conns_.remove(socket); });
    addPendingConnection(socket);
}

void ConnectionGuard::onReadyRead(QTcpSocket* socket)
{
    auto it = conns_.find(socket);
    if (it == conns_.end())
        return;
    const QByteArray chunk = socket->peek(socket->bytesAvailable());
    it->lastActivityMs = appClock().monotonicMs();
    it->requestBytes += chunk.size();
    it->lines += int(chunk.count('\n'));
    if (!it->firstLineDone) {
        const qsizetype end = chunk.indexOf('\n');
        it->firstLine += end < 0 ? chunk : chunk.left(end);
        if (end >= 0) {
            it->firstLineDone = true;
            if (!isRequestLine(it->firstLine)) {
                reject(socket, "HTTP/1.1 400 Bad Request");
                return;
            }
        }
    }
    if (it->requestBytes > limits_.maxRequestBytes || it->lines > limits_.maxHeaderLines + 1)
        reject(socket, "HTTP/1.1 431 Request Header Fields Too Large");
}

void ConnectionGuard::reject(QTcpSocket* socket, const QByteArray& statusLine)
{
    conns_.remove(socket);
    socket->disconnect(this);
    // Nor does the server read on: its reader is cut off too.
    disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    // The server never sees a byte of this request: what is left of it is
    // read and dropped here. Closing at once with bytes still coming would
    // reset the connection and lose the answer, so the client gets a moment.
    socket->readAll();
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    socket->write(statusLine + "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
    QTimer::singleShot(kDrainMs, socket, [socket] { socket->disconnectFromHost(); });
}

void ConnectionGuard::sweepIdle()
{
    const qint64 now = appClock().monotonicMs();
    QList<QTcpSocket*> idle;
    for (auto it = conns_.cbegin(); it != conns_.cend(); ++it)
        if (now - it->lastActivityMs >= limits_.idleTimeoutMs)
            idle << it.key();
    for (QTcpSocket* s : idle) {
        conns_.remove(s);
        s->abort();
    }
}

void ConnectionGuard::evictQuietest()
{
    auto quietest = conns_.begin();
    for (auto it = conns_.begin(); it != conns_.end(); ++it)
        if (std::pair(it->lastActivityMs, it->serial) < std::pair(quietest->lastActivityMs, quietest->serial))
            quietest = it;
    QTcpSocket* s = quietest.key();
    conns_.erase(quietest);
    s->abort();
}
