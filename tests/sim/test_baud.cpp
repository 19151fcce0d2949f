// dcx700-sim --baud: a reply comes no sooner than a serial line of that speed
// could carry the command in and the reply out (10 bits a byte), on TCP and on
// the pseudo-terminal, and a close fault waits for the reply before it.
#include "simtestclient.h"

#include "sim/simcontrol.h"
#include "sim/simoptions.h"
#include "sim/simpty.h"
#include "sim/simtcpserver.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace simtest;

namespace {

constexpr int kBaud = 2400;
constexpr int kIoWaitMs = 5000;

bool complete(const QByteArray& got) { return got.size() >= 2 && got.size() >= quint8(got.at(1)) - 31; }

// Milliseconds a line of kBaud needs for the bytes.
double lineMs(qsizetype bytes) { return bytes * 10.0 * 1000.0 / kBaud; }

TEST(SimBaud, PacesTcpAndPtyAlike)
{
    const QByteArray command = frame("@");
    for (const bool pty : {false, true}) {
        SCOPED_TRACE(pty ? "pty" : "tcp");
        SimInstrument sim;
        QByteArray got;
        QElapsedTimer t;
        std::function<void()> poll;
        std::unique_ptr<SimTcpServer> server;
        std::unique_ptr<SimPty> line;
        QTcpSocket socket;
        int fd = -1;
        if (pty) {
            line = std::make_unique<SimPty>(sim);
            line->setBaud(kBaud);
            ASSERT_TRUE(line->open());
            fd = ::open(line->devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            ASSERT_GE(fd, 0);
            termios tio{};
            ::tcgetattr(fd, &tio);
            ::cfmakeraw(&tio);
            ::tcsetattr(fd, TCSANOW, &tio);
            t.start();
            ASSERT_EQ(::write(fd, command.constData(), size_t(command.size())), command.size());
            poll = [&] {
                char buf[256];
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, n);
            };
        } else {
            server = std::make_unique<SimTcpServer>(sim);
            server->setBaud(kBaud);
            ASSERT_TRUE(server->listen(QHostAddress::LocalHost, 0));
            socket.connectToHost(QHostAddress::LocalHost, server->port());
            ASSERT_TRUE(socket.waitForConnected(kIoWaitMs));
            t.start();
            socket.write(command);
            poll = [&] { got += socket.readAll(); };
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { poll(); return complete(got); }, kIoWaitMs));
        const double ms = t.nsecsElapsed() / 1e6;
        EXPECT_EQ(parseReply(got).data, "DCX-700 SIM 4.20");
        EXPECT_GE(ms, lineMs(command.size() + got.size())) << "the command in, then the reply out";
        if (fd >= 0)
            ::close(fd);
    }
}

TEST(SimBaud, CloseFaultFollowsThePacedReply)
{
    SimInstrument sim;
    SimTcpServer server(sim);
    server.setBaud(kBaud);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(socket.waitForConnected(kIoWaitMs));
    ASSERT_EQ(SimControl(sim).execute("close-after 1"), "ok");
    socket.write(frame("V"));
    QByteArray got;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        got += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    }, kIoWaitMs));
    got += socket.readAll();
    EXPECT_TRUE(parseReply(got).wellFormed);
}

TEST(SimBaud, Option)
{
    const auto parse = [](QStringList args) { return ParseSimOptions(QStringList{"dcx700-sim"} + args); };
    EXPECT_EQ(parse({}).options->baud, 0);
    EXPECT_EQ(parse({"--baud", "19200"}).options->baud, 19200);
    EXPECT_EQ(parse({"--baud", "fast"}).exitCode, 64);
    EXPECT_EQ(parse({"--baud", "0"}).exitCode, 64);
}

} // namespace
