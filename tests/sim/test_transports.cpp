// Ways to reach the simulator: the program's own link over a pseudo-terminal
// and over loopback TCP, the control channel, the in-process peer, and the
// dcx700-sim program itself.

#include "simtestclient.h"

#include "link/commframe.h"
#include "link/modcomm.h"
#include "sim/simcontrol.h"
#include "sim/simcontrolchannel.h"
#include "sim/simpeer.h"
#include "sim/simpty.h"
#include "sim/simtcpserver.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/scripteddialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace simtest;

namespace {

constexpr int kIoWaitMs = 5000; // upper bound for loopback I/O, never reached when all is well

// Reads one whole reply frame from a socket, running the event loop meanwhile.
Reply readReply(QTcpSocket& s)
{
    QByteArray got;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            got += s.readAll();
            return got.size() >= 2 && got.size() >= quint8(got.at(1)) - 31;
        },
        kIoWaitMs));
    return parseReply(got);
}

bool connectTo(QTcpSocket& s, quint16 port)
{
    s.connectToHost(QHostAddress::LocalHost, port);
    return QTest::qWaitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }, kIoWaitMs);
}

// The program's link, configured per test, with dialogs answered here.
class LinkToSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config() = AppConfig();
        Comm_ResetLink();
    }
    void TearDown() override
    {
        Comm_ResetLink();
        Config() = AppConfig();
    }

    SimInstrument sim;
    ScriptedDialogs dlg;
    ScopedDialogs scopedDialogs{dlg};
};

} // namespace

TEST_F(LinkToSim, SerialOverThePseudoTerminal)
{
    SimPty pty(sim);
    ASSERT_TRUE(pty.open()) << pty.errorString().toStdString();
    ASSERT_TRUE(pty.devicePath().startsWith("/dev/"));
    Config().CommType = 0;
    Config().RS232Port = 4;
    Config().RS232Device = pty.devicePath();

    // Start-up: the configured port is opened by the connect itself.
    ASSERT_TRUE(Comm_Connect());
    EXPECT_EQ(Comm_SerialPortNumber(), 4) << "Comm_SerialPortNumber";
    EXPECT_EQ(Comm_InstrumentID(), QString("DCX-700 SIM 4.20")) << "Comm_InstrumentID";
    EXPECT_EQ(Comm_SendCommand("B?  1"), "25");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::Ok);

    // Bytes a terminal would translate (CR, LF, DEL, 0x11/0x13) pass unchanged:
    // the checksum holds, so the command is answered (refused: names are printable).
    Comm_SendCommand(QString::fromLatin1("C3 1,A\r\nB\x7f\x11\x13"));
    EXPECT_EQ(Comm_GetStatus(), linkstatus::BadData) << "Comm_GetStatus";
    EXPECT_EQ(sim.badChecksums(), 0) << "badChecksums";

    // Input waiting before a command is discarded: a stale complete reply
    // must not be taken as the answer.
    emit sim.output(*BuildReplyFrame('A', "stale"));
    QTest::qWait(50);
    EXPECT_EQ(Comm_SendCommand("F1? 2"), "270");

    // Port numbers outside 1..9 leave the open port as it was; connect still works.
    EXPECT_TRUE(Comm_OpenRS232(0));
    EXPECT_TRUE(Comm_OpenRS232(10));
    EXPECT_TRUE(Comm_SerialPortOpen()) << "Comm_SerialPortOpen";
    EXPECT_EQ(Comm_SerialPortNumber(), 4) << "Comm_SerialPortNumber";
    EXPECT_TRUE(Comm_Connect());

    // Closed by the settings window: connect reopens the port it last held.
    Comm_CloseRS232();
    EXPECT_FALSE(Comm_SerialPortOpen());
    EXPECT_TRUE(Comm_Connect()) << "Comm_Connect";
    EXPECT_TRUE(dlg.messages.isEmpty()) << "messages.isEmpty";
}

TEST_F(LinkToSim, TcpOverLoopbackAndClientReplacement)
{
    std::optional<SimTcpServer> server(std::in_place, sim);
    ASSERT_TRUE(server->listen(QHostAddress::LocalHost, 0)) << server->errorString().toStdString();
    EXPECT_TRUE(server->address().isLoopback());
    Config().CommType = 2;
    Config().EAddress = QString("127.0.0.1");
    Config().EPort = QString::number(server->port());
    Config().CheckSumOn = 0;

    ASSERT_TRUE(Comm_Connect());
    EXPECT_EQ(Comm_InstrumentID(), "DCX-700 SIM 4.20");
    EXPECT_EQ(Comm_SendCommand("D2? 1"), "100");

    // Half a frame from another client, then a third takes over: the earlier
    // clients are dropped and the half frame forgotten.
    QTcpSocket first;
    ASSERT_TRUE(connectTo(first, server->port()));
    first.write(frame("K1").left(3));
    first.flush();
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.bytesToWrite() == 0; }, kIoWaitMs));
    QTcpSocket second;
    ASSERT_TRUE(connectTo(second, server->port()));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return first.state() == QAbstractSocket::UnconnectedState; }, kIoWaitMs));
    second.write(frame("F1? 2"));
    EXPECT_EQ(readReply(second).data, "270");

    // A close fault drops the connection after its reply.
    SimControl control(sim);
    ASSERT_EQ(control.execute("close-after 1"), "ok");
    second.write(frame("V"));
    EXPECT_EQ(readReply(second).status, 'A');
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return second.state() == QAbstractSocket::UnconnectedState; }, kIoWaitMs));
    EXPECT_FALSE(server->hasClient());

    // The far end goes away: the next connect fails with the message.
    server.reset();
    Comm_CloseTransports();
    EXPECT_FALSE(Comm_Connect());
    EXPECT_EQ(dlg.texts(), QStringList{QStringLiteral("Instrument not found.")});
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
    p.terminate(); // SIGTERM: saved on the way out
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
