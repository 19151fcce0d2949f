// Ways to reach the simulator: loopback TCP, a pseudo-terminal, the
// in-process peer, and the dcx700-sim program itself.

#include "simtestclient.h"

#include "sim/simcontrol.h"
#include "sim/simcontrolchannel.h"
#include "sim/simpeer.h"
#include "sim/simpty.h"
#include "sim/simtcpserver.h"
#include "support/clock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace simtest;

namespace {

constexpr int kIoWaitMs = 5000;  // upper bound for loopback I/O, never reached when all is well

// Reads one whole reply frame from a socket, running the event loop meanwhile.
Reply readReply(QTcpSocket& s)
{
    QByteArray got;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        got += s.readAll();
        return got.size() >= 2 && got.size() >= quint8(got.at(1)) - 31;
    }, kIoWaitMs));
    return parseReply(got);
}

bool connectTo(QTcpSocket& s, quint16 port)
{
    s.connectToHost(QHostAddress::LocalHost, port);
    return QTest::qWaitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }, kIoWaitMs);
}

} // namespace

TEST(SimTransports, TcpServerOnLoopbackAndClientReplacement)
{
    SimInstrument sim;
    SimTcpServer server(sim);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0)) << server.errorString().toStdString();
    ASSERT_NE(server.port(), 0);
    EXPECT_TRUE(server.address().isLoopback());

    QTcpSocket first;
    ASSERT_TRUE(connectTo(first, server.port()));
    first.write(frame("@"));
    Reply r = readReply(first);
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(r.data, "DCX-700 SIM 4.20");

    // half a frame from the first client, then a second client takes over:
    // the first is dropped and the half frame forgotten
    first.write(frame("K1").left(3));
    first.flush();
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.bytesToWrite() == 0; }, kIoWaitMs));
    QTcpSocket second;
    ASSERT_TRUE(connectTo(second, server.port()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.state() == QAbstractSocket::UnconnectedState; }, kIoWaitMs));
    second.write(frame("C1? 1"));
    r = readReply(second);
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(r.data, "Al Mirror       ");

    // a close fault drops the connection after its reply
    SimControl control(sim);
    ASSERT_EQ(control.execute("close-after 1"), "ok");
    second.write(frame("V"));
    r = readReply(second);
    EXPECT_EQ(r.status, 'A');
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QAbstractSocket::UnconnectedState; }, kIoWaitMs));
    EXPECT_FALSE(server.hasClient());
}

TEST(SimTransports, ControlChannelOnLoopback)
{
    SimInstrument sim;
    SimControl control(sim);
    SimControlServer channel(control);
    ASSERT_TRUE(channel.listen(QHostAddress::LocalHost, 0));
    QTcpSocket s;
    ASSERT_TRUE(connectTo(s, channel.port()));
    s.write("drop 2\nnonsense\n");
    QByteArray got;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        got += s.readAll();
        return got.count('\n') >= 2;
    }, kIoWaitMs));
    EXPECT_EQ(got.left(got.indexOf('\n')), "ok");
    EXPECT_TRUE(got.mid(got.indexOf('\n') + 1).startsWith("error:"));
    Client c(sim);
    EXPECT_TRUE(c.exchange(frame("@")).isEmpty());
}

TEST(SimTransports, PseudoTerminalOpensAsADeviceFile)
{
    SimInstrument sim;
    SimPty pty(sim);
    ASSERT_TRUE(pty.open()) << pty.errorString().toStdString();
    ASSERT_TRUE(pty.devicePath().startsWith("/dev/"));

    const int fd = ::open(pty.devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);

    const auto ask = [&](const QByteArray& text) {
        const QByteArray f = frame(text);
        EXPECT_EQ(::write(fd, f.constData(), size_t(f.size())), f.size());
        QByteArray got;
        const bool complete = QTest::qWaitFor([&] {
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0)
                got.append(buf, n);
            return got.size() >= 2 && got.size() >= quint8(got.at(1)) - 31;
        }, kIoWaitMs);
        EXPECT_TRUE(complete);
        return parseReply(got);
    };
    Reply r = ask("@");
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(r.data, "DCX-700 SIM 4.20");
    // bytes a terminal would translate (CR, LF, DEL, 0x11/0x13) pass unchanged:
    // the checksum holds, so the frame is answered (refused: names are printable)
    r = ask("C3 1,A\r\nB\x7f\x11\x13");
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(r.status, 'D');
    EXPECT_EQ(sim.badChecksums(), 0);
    ::close(fd);

    // reopening after the host closed it still works
    const int again = ::open(pty.devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(again, 0);
    ::close(again);
}

TEST(SimTransports, InProcessPeerAnswersAtOnce)
{
    SimPeer peer;
    QByteArray got;
    QObject::connect(&peer, &InProcessPeer::sendToHost, &peer, [&](const QByteArray& b) { got += b; });
    InProcessPeer& asPeer = peer;
    asPeer.receiveFromHost(frame("@"));
    EXPECT_EQ(parseReply(got).data, "DCX-700 SIM 4.20");
    got.clear();
    // a delay fault holds the reply until the peer's clock has moved
    FakeClock clock;
    peer.instrument().attachClock(&clock);
    peer.instrument().faults().setDelayMs(300);
    asPeer.receiveFromHost(frame("V"));
    EXPECT_TRUE(got.isEmpty());
    clock.advance(0.3);
    EXPECT_EQ(parseReply(got).data, "0 0.0 1 1 0");
    peer.instrument().attachClock(nullptr);
}

TEST(SimTransports, ProgramServesLoopbackAndKeepsItsState)
{
    // the program folder: from the environment, else beside the tests folder
    QString folder = qEnvironmentVariable("DCX_BIN_DIR");
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath() + "/../bin";
    const QString bin = folder + "/dcx700-sim";
    if (!QFile::exists(bin))
        GTEST_SKIP() << "dcx700-sim not built in " << bin.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString state = dir.filePath("sim.state");

    const auto start = [&](QProcess& p, QStringList extra) {
        p.setProgram(bin);
        p.setArguments(QStringList{"--port", "0", "--state", state} + extra);
        p.start();
        EXPECT_TRUE(p.waitForStarted(kIoWaitMs));
        QByteArray line;
        while (!line.contains('\n') && p.waitForReadyRead(kIoWaitMs))
            line += p.readAllStandardOutput();
        // "dcx700-sim listening on 127.0.0.1:PORT"
        EXPECT_TRUE(line.startsWith("dcx700-sim listening on 127.0.0.1:")) << line.constData();
        return quint16(line.mid(line.lastIndexOf(':') + 1).trimmed().toUInt());
    };

    QProcess p;
    const quint16 port = start(p, {"--drop", "1"});
    ASSERT_NE(port, 0);
    EXPECT_TRUE(QFile::exists(state)) << "a new state file starts from the demo set";
    QTcpSocket s;
    ASSERT_TRUE(connectTo(s, port));
    // --drop 1: the first of two commands goes unanswered, the second is answered
    s.write(frame("@") + frame("C7? 3"));
    Reply r = readReply(s);
    EXPECT_EQ(r.data, "-1");
    s.write(frame("C7 1,Saved Name"));
    EXPECT_EQ(readReply(s).status, 'A');
    s.disconnectFromHost();
    p.terminate();  // SIGTERM: saved on the way out
    ASSERT_TRUE(p.waitForFinished(kIoWaitMs));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);

    QProcess again;
    const quint16 port2 = start(again, {});
    QTcpSocket s2;
    ASSERT_TRUE(connectTo(s2, port2));
    s2.write(frame("C7? 1"));
    EXPECT_EQ(readReply(s2).data, "Saved Name      ");
    again.terminate();
    again.waitForFinished(kIoWaitMs);

    // a damaged state file is refused with a message, not used
    QFile f(state);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("D1  6,9\n");
    f.close();
    QProcess broken;
    broken.start(bin, {"--port", "0", "--state", state});
    ASSERT_TRUE(broken.waitForFinished(kIoWaitMs));
    EXPECT_EQ(broken.exitCode(), 1);
    EXPECT_TRUE(broken.readAllStandardError().contains("cannot load"));
}
