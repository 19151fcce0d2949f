// The link over real byte channels: a pseudo-terminal pair and a loopback TCP socket,
// each with a small scripted instrument on the far end.
#include "link/commframe.h"
#include "link/modcomm.h"
#include "linktestpeer.h"
#include "support/config.h"
#include "support/scripteddialogs.h"

#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <memory>

namespace {

// Answers each command frame with the reply the script gives for its text.
using Script = std::function<QByteArray(const QByteArray& command)>;

QByteArray standardScript(const QByteArray& cmd)
{
    if (cmd == "@")
        return *BuildReplyFrame('A', "DCX-700 V2.01 ");
    if (cmd == "K1")
        return *BuildReplyFrame('A', "1,25 2,0 3,100 4,456");
    return *BuildReplyFrame('C', {});
}

// The instrument end of a pseudo-terminal pair.
class PtyInstrument {
public:
    explicit PtyInstrument(Script script) : script_(std::move(script))
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        slave_ = QString::fromLocal8Bit(::ptsname(master_));
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readSome(); });
    }
    ~PtyInstrument()
    {
        notifier_.reset();
        if (master_ >= 0)
            ::close(master_);
    }
    QString slavePath() const { return slave_; }
    void write(const QByteArray& b) { ASSERT_EQ(::write(master_, b.constData(), b.size()), b.size()); }

    QByteArray received;
    QList<QByteArray> commands;

private:
    void readSome()
    {
        char buf[512];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        for (ssize_t i = 0; i < n; ++i) {
            received.append(buf[i]);
            if (auto cmd = parser_.feed(buf[i])) {
                commands.append(cmd->text);
                write(script_(cmd->text));
            }
        }
    }

    Script script_;
    int master_ = -1;
    QString slave_;
    std::unique_ptr<QSocketNotifier> notifier_;
    CommandFrameParser parser_;
};

class LinkTransports : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config() = AppConfig();
        Comm_ResetLink();
    }
    void TearDown() override { Comm_ResetLink(); }

    ScriptedDialogs dlg;
    ScopedDialogs scopedDialogs{dlg};
};

} // namespace

TEST_F(LinkTransports, SerialOverPseudoTerminal)
{
    PtyInstrument instrument(standardScript);
    ASSERT_FALSE(instrument.slavePath().isEmpty());
    Config().CommType = 0;
    Config().RS232Port = 4;
    Config().RS232Device = instrument.slavePath();

    // Start-up: the configured port is opened by the connect itself.
    ASSERT_TRUE(Comm_Connect());
    EXPECT_EQ(Comm_SerialPortNumber(), 4);
    EXPECT_EQ(Comm_InstrumentID(), QStringLiteral("DCX-700 V2.01 "));
    EXPECT_EQ(instrument.received, Bytes({0x21, 0x23, 0x40, 0x4F, 0x37}));

    EXPECT_EQ(Comm_SendCommand(QStringLiteral("K1")), QStringLiteral("1,25 2,0 3,100 4,456"));
    EXPECT_EQ(Comm_GetStatus(), 0);
    EXPECT_EQ(instrument.received.mid(5), Bytes({0x21, 0x24, 0x4B, 0x31, 0x5D, 0x31}));

    Comm_SendCommand(QStringLiteral("Q9"));
    EXPECT_EQ(Comm_GetStatus(), 4);

    // Input waiting before a command is discarded: a stale complete reply
    // must not be taken as the answer.
    instrument.write(*BuildReplyFrame('A', "stale"));
    EXPECT_EQ(Comm_SendCommand(QStringLiteral("K1")), QStringLiteral("1,25 2,0 3,100 4,456"));

    // Port numbers outside 1..9 leave the open port as it was; connect still works.
    EXPECT_TRUE(Comm_OpenRS232(0));
    EXPECT_TRUE(Comm_OpenRS232(10));
    EXPECT_TRUE(Comm_SerialPortOpen());
    EXPECT_EQ(Comm_SerialPortNumber(), 4);
    EXPECT_TRUE(Comm_Connect());

    // Closed by the settings window: connect reopens the port it last held.
    Comm_CloseRS232();
    EXPECT_FALSE(Comm_SerialPortOpen());
    EXPECT_TRUE(Comm_Connect());
    EXPECT_TRUE(dlg.messages.isEmpty());
}

TEST_F(LinkTransports, TcpOverLoopback)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QByteArray received;
    CommandFrameParser parser;
    QTcpSocket* client = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        client = server.nextPendingConnection();
        QObject::connect(client, &QTcpSocket::readyRead, [&] {
            const QByteArray in = client->readAll();
            received.append(in);
            for (char c : in)
                if (auto cmd = parser.feed(c)) {
                    // A reply split in two writes, then a stray byte after it.
                    const QByteArray r = standardScript(cmd->text);
                    client->write(r.left(3));
                    client->flush();
                    client->write(r.mid(3) + "x");
                }
        });
    });

    Config().CommType = 2;
    Config().EAddress = QStringLiteral("127.0.0.1");
    Config().EPort = QString::number(server.serverPort());
    Config().CheckSumOn = 0;

    ASSERT_TRUE(Comm_Connect());
    EXPECT_EQ(Comm_InstrumentID(), QStringLiteral("DCX-700 V2.01 "));
    EXPECT_EQ(Comm_SendCommand(QStringLiteral("K1")), QStringLiteral("1,25 2,0 3,100 4,456"));
    EXPECT_EQ(received, Bytes({0x21, 0x23, 0x40, 0x00, 0x00, 0x21, 0x24, 0x4B, 0x31, 0x00, 0x00}));

    // The far end goes away: the next connect fails with the message.
    server.close();
    delete client;
    client = nullptr;
    Comm_CloseTransports();
    EXPECT_FALSE(Comm_Connect());
    EXPECT_EQ(dlg.texts(), QStringList{QStringLiteral("Instrument not found.")});
}
