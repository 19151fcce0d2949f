// dcx700ctl id and send against an independent instrument: a loopback TCP server
// in this test answering hand-built frames.
#include "clitestkit.h"

#include <QDir>
#include <gtest/gtest.h>

#include <initializer_list>
#include <map>

namespace {

using clitest::CtlRun;

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray out;
    for (int b : v)
        out.append(static_cast<char>(b));
    return out;
}

// Complete command frames (checksum on and off) mapped to reply frames; the
// checksums are worked out by hand.
const QByteArray kIdOn = bytes({0x21, 0x23, 0x40, 0x4F, 0x37});
const QByteArray kIdOff = bytes({0x21, 0x23, 0x40, 0x00, 0x00});
const QByteArray kK1On = bytes({0x21, 0x24, 0x4B, 0x31, 0x5D, 0x31});
const QByteArray kK1Off = bytes({0x21, 0x24, 0x4B, 0x31, 0x00, 0x00});
// "A" + " X " (identity text with blanks around it)
const QByteArray kReplyId = bytes({0x21, 0x27, 0x41, 0x20, 0x58, 0x20, 0x75, 0x56});
// "A" + "12 34"
const QByteArray kReply1234 = bytes({0x21, 0x29, 0x41, 0x31, 0x32, 0x20, 0x33, 0x34, 0x94, 0x35});
// "C": bad command
const QByteArray kReplyBadCommand = bytes({0x21, 0x24, 0x43, 0x34, 0x2C});

// Answers whole frames it knows; anything else gets "C".
class FramePeer {
public:
    FramePeer()
    {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = server_.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                pending_.append(s->readAll());
                received.append(pending_);
                // Frames arrive whole or in pieces; answer each complete one.
                for (;;) {
                    if (pending_.size() < 2)
                        return;
                    const int size = static_cast<quint8>(pending_.at(1)) - 0x22 + 4;
                    if (pending_.size() < size)
                        return;
                    const QByteArray frame = pending_.left(size);
                    pending_.remove(0, size);
                    frames.append(frame);
                    auto it = replies.find(frame);
                    s->write(it != replies.end() ? it->second : kReplyBadCommand);
                }
            });
        });
    }
    quint16 port() const { return server_.serverPort(); }

    std::map<QByteArray, QByteArray> replies;
    QList<QByteArray> frames;
    QByteArray received;

private:
    QTcpServer server_;
    QByteArray pending_;
};

CtlRun runCtl(const QStringList& args)
{
    return clitest::runCtl(QDir::currentPath(), args);
}
QString tcpOption(quint16 port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

} // namespace

TEST(CliLink, SendPrintsReplyData)
{
    FramePeer peer;
    peer.replies = {{kIdOn, kReplyId}, {kK1On, kReply1234}, {kIdOff, kReplyId}, {kK1Off, kReply1234}};

    CtlRun r = runCtl({"--tcp", tcpOption(peer.port()), "--checksum", "on", "send", "K1"});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out, QByteArray("12 34\n")) << r.err.constData();
    EXPECT_EQ(peer.frames, (QList<QByteArray>{kIdOn, kK1On})); // identified first, as the program does

    peer.frames.clear();
    r = runCtl({"--checksum=off", "--tcp=" + tcpOption(peer.port()), "send", "K1"});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out, QByteArray("12 34\n")) << r.err.constData();
    EXPECT_EQ(peer.frames, (QList<QByteArray>{kIdOff, kK1Off}));

    r = runCtl({"--tcp", tcpOption(peer.port()), "id"});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out, QByteArray("X\n")) << r.err.constData();
}

TEST(CliLink, RefusedCommandExitsTwo)
{
    FramePeer peer;
    peer.replies[kIdOn] = kReplyId;
    const CtlRun r = runCtl({"--tcp", tcpOption(peer.port()), "--checksum", "on", "send", "K9"});
    EXPECT_EQ(r.exitCode, 2) << r.err.constData();
    EXPECT_TRUE(r.err.contains("Bad Command")) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty()) << r.err.constData();
}
