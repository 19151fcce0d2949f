// The server over loopback: what it refuses, and that clients which send too
// much, stop mid-request, idle or never read neither stop it nor hold up a
// tick running on the same event loop.
#include "remote/connectionguard.h"
#include "remote/remoteserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Runs the event loop until cond holds or ms pass; returns cond.
bool waitFor(const std::function<bool()>& cond, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!cond() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return cond();
}

std::unique_ptr<QTcpSocket> client(quint16 port, const QByteArray& request)
{
    auto s = std::make_unique<QTcpSocket>();
    s->connectToHost(QHostAddress::LocalHost, port);
    if (!request.isEmpty())
        s->write(request);
    return s;
}

// The first line of the answer to request.
QByteArray statusLine(quint16 port, const QByteArray& request)
{
    auto s = client(port, request);
    QByteArray got;
    waitFor([&] {
        got += s->readAll();
        return got.contains("\r\n");
    });
    return got.left(got.indexOf("\r\n"));
}

TEST(RemoteServer, RefusesTheNetworkWithoutAToken)
{
    RemoteServer server;
    QString error;
    EXPECT_FALSE(server.start(QHostAddress::AnyIPv4, 0, {}, &error)) << "started";
    EXPECT_TRUE(error.contains(QLatin1String("token"))) << error.toStdString();
    EXPECT_FALSE(server.isListening()) << "listening";
}

TEST(RemoteServer, MisbehavingClientsNeitherStopItNorDelayTheTick)
{
    RemoteServer server;
    QString error;
    ASSERT_TRUE(server.start(QHostAddress::LocalHost, 0, {}, &error)) << error.toStdString();
    const quint16 port = server.port();

    // A stand-in for the 500 ms update tick, faster so a stall shows.
    QElapsedTimer sinceTick;
    qint64 worstGapMs = 0;
    int ticks = 0;
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (ticks++ > 0)
            worstGapMs = std::max(worstGapMs, sinceTick.elapsed());
        sinceTick.restart();
    });
    tick.start();

    // 200 idle connections, in bursts the listen backlog holds.
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    while (idle.size() < 200) {
        for (int i = 0; i < 20; ++i)
            idle.push_back(client(port, {}));
        waitFor([&] { return server.guard().openConnections() == int(idle.size()); });
    }
    EXPECT_EQ(server.guard().openConnections(), 200) << "idle connections accepted";
    const auto cutOff = client(port, "GET /metrics HTTP/1.1\r\nHo");
    // Asks again and again and never reads a reply.
    QByteArray pipelined;
    for (int i = 0; i < 100; ++i)
        pipelined += "GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n";
    const auto stalled = client(port, pipelined);
    stalled->setReadBufferSize(16);

    EXPECT_EQ(statusLine(port, "GET /metrics HTTP/1.1\r\nX: " + QByteArray(20000, 'a') + "\r\n\r\n"),
              "HTTP/1.1 431 Request Header Fields Too Large")
        << "oversized";
    EXPECT_EQ(statusLine(port, "GET /metrics HTTP/1.1\r\n" + QByteArray("X: y\r\n").repeated(200) + "\r\n"),
              "HTTP/1.1 431 Request Header Fields Too Large")
        << "too many headers";
    EXPECT_EQ(statusLine(port, "garbage\r\n\r\n"), "HTTP/1.1 400 Bad Request") << "bad request";
    EXPECT_EQ(statusLine(port, "GET /api/status HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.1 200 OK")
        << "good request";
    EXPECT_EQ(statusLine(port, "POST /metrics HTTP/1.1\r\nContent-Length: 0\r\n\r\n"),
              "HTTP/1.1 405 Method Not Allowed")
        << "post";
    waitFor([&] { return ticks >= 25; });
    EXPECT_LE(server.guard().openConnections(), server.guard().limits().maxConnections) << "open connections";
    EXPECT_LT(worstGapMs, 250) << "worst gap between ticks, ms";
}

TEST(RemoteServer, ANewClientPushesOutTheQuietestAtTheLimit)
{
    RemoteServer server;
    QString error;
    ASSERT_TRUE(server.start(QHostAddress::LocalHost, 0, {}, &error)) << error.toStdString();
    ConnectionGuard::Limits limits;
    limits.maxConnections = 8;
    server.guard().setLimits(limits);
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 8; ++i)
        idle.push_back(client(server.port(), {}));
    waitFor([&] { return server.guard().openConnections() == 8; });
    EXPECT_EQ(statusLine(server.port(), "GET /metrics HTTP/1.1\r\n\r\n"), "HTTP/1.1 200 OK") << "served";
    EXPECT_EQ(idle.front()->state(), QAbstractSocket::UnconnectedState) << "the oldest idle one";
    EXPECT_EQ(idle.back()->state(), QAbstractSocket::ConnectedState) << "the newest idle one";
}

} // namespace
