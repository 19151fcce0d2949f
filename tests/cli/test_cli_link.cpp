// dcx700ctl id and send against an independent instrument: a loopback TCP server
// in this test answering hand-built frames.
#include "tests/common/programfolder_env.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QSocketNotifier>
#include <QTimer>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <initializer_list>
#include <map>

namespace {

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

// The instrument end of a pseudo-terminal pair, answering known frames.
class PtyPeer {
public:
    PtyPeer()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        slave_ = QString::fromLocal8Bit(::ptsname(master_));
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char buf[256];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0)
                return;
            pending_.append(buf, n);
            while (pending_.size() >= 2) {
                const int size = static_cast<quint8>(pending_.at(1)) - 0x22 + 4;
                if (pending_.size() < size)
                    return;
                const QByteArray frame = pending_.left(size);
                pending_.remove(0, size);
                frames.append(frame);
                auto it = replies.find(frame);
                const QByteArray r = it != replies.end() ? it->second : kReplyBadCommand;
                if (::write(master_, r.constData(), r.size()) != r.size())
                    return;
            }
        });
    }
    ~PtyPeer()
    {
        notifier_.reset();
        if (master_ >= 0)
            ::close(master_);
    }
    QString slavePath() const { return slave_; }

    std::map<QByteArray, QByteArray> replies;
    QList<QByteArray> frames;

private:
    int master_ = -1;
    QString slave_;
    QByteArray pending_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

struct CtlRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs dcx700ctl while this process keeps serving its peer.
CtlRun runCtl(const QStringList& args)
{
    const QString bin = qEnvironmentVariable("DCX_BIN_DIR") + QStringLiteral("/dcx700ctl");
    QProcess p;
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer guard;  // a hung tool fails the test instead of hanging it
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
        p.kill();
        loop.quit();
    });
    p.start(bin, QStringList{QStringLiteral("--home"), dcxTestProgramFolder()} + args);
    guard.start(30000);
    loop.exec();
    p.waitForFinished(5000);
    CtlRun r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QString tcpOption(quint16 port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

} // namespace

TEST(CliLink, SendPrintsReplyData)
{
    FramePeer peer;
    peer.replies[kIdOn] = kReplyId;
    peer.replies[kK1On] = kReply1234;
    peer.replies[kIdOff] = kReplyId;
    peer.replies[kK1Off] = kReply1234;

    CtlRun r = runCtl({QStringLiteral("--tcp"), tcpOption(peer.port()), QStringLiteral("--checksum"),
                    QStringLiteral("on"), QStringLiteral("send"), QStringLiteral("K1")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("12 34\n"));
    EXPECT_EQ(peer.frames, (QList<QByteArray>{kIdOn, kK1On}));  // identified first, as the program does

    peer.frames.clear();
    r = runCtl({QStringLiteral("--checksum=off"), QStringLiteral("--tcp=") + tcpOption(peer.port()),
                QStringLiteral("send"), QStringLiteral("K1")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("12 34\n"));
    EXPECT_EQ(peer.frames, (QList<QByteArray>{kIdOff, kK1Off}));

    r = runCtl({QStringLiteral("--tcp"), tcpOption(peer.port()), QStringLiteral("id")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("X\n"));
}

TEST(CliLink, SendOverASerialDevice)
{
    PtyPeer peer;
    ASSERT_FALSE(peer.slavePath().isEmpty());
    peer.replies[kIdOn] = kReplyId;
    peer.replies[kK1On] = kReply1234;
    const CtlRun r = runCtl({QStringLiteral("--serial"), peer.slavePath(), QStringLiteral("--checksum"),
                             QStringLiteral("on"), QStringLiteral("send"), QStringLiteral("K1")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("12 34\n"));
    EXPECT_EQ(peer.frames, (QList<QByteArray>{kIdOn, kK1On}));
}

TEST(CliLink, RefusedCommandExitsTwo)
{
    FramePeer peer;
    peer.replies[kIdOn] = kReplyId;
    const CtlRun r = runCtl({QStringLiteral("--tcp"), tcpOption(peer.port()), QStringLiteral("--checksum"),
                          QStringLiteral("on"), QStringLiteral("send"), QStringLiteral("K9")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Bad Command"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(CliLink, NothingListeningIsInstrumentNotFound)
{
    // A port that was free a moment ago, named through a configuration file read
    // the way the program reads it.
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("test.ini"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[CommSettings]\r\nType=2\r\nEPort=%1\r\nEAddress=127.0.0.1\r\nCheckSum=1\r\n")
                .arg(port)
                .toLatin1());
    f.close();

    const CtlRun r = runCtl({QStringLiteral("--ini"), ini, QStringLiteral("id")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Instrument not found."))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(CliLink, ConfiguredPortWithTrailingTextTakesItsLeadingNumber)
{
    FramePeer peer;
    peer.replies[kIdOn] = kReplyId;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("test.ini"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[CommSettings]\r\nType=2\r\nEPort=%1x\r\nEAddress=127.0.0.1\r\nCheckSum=1\r\n")
                .arg(peer.port())
                .toLatin1());
    f.close();

    const CtlRun r = runCtl({QStringLiteral("--ini"), ini, QStringLiteral("id")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("X\n"));
    EXPECT_EQ(peer.frames, QList<QByteArray>{kIdOn});
}

TEST(CliLink, UsageAndFileErrors)
{
    EXPECT_EQ(runCtl({}).exitCode, 64);
    EXPECT_EQ(runCtl({QStringLiteral("frobnicate")}).exitCode, 64);
    EXPECT_EQ(runCtl({QStringLiteral("--tcp"), QStringLiteral("127.0.0.1"), QStringLiteral("id")}).exitCode, 64);
    EXPECT_EQ(runCtl({QStringLiteral("--checksum"), QStringLiteral("maybe"), QStringLiteral("id")}).exitCode, 64);
    EXPECT_EQ(runCtl({QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:1"), QStringLiteral("--serial"),
                      QStringLiteral("/dev/null"), QStringLiteral("id")})
                  .exitCode,
              64);
    EXPECT_EQ(runCtl({QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:1"), QStringLiteral("send")}).exitCode, 64);
    EXPECT_EQ(runCtl({QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:1"), QStringLiteral("id"),
                      QStringLiteral("extra")})
                  .exitCode,
              64);

    const CtlRun missing = runCtl({QStringLiteral("--ini"), QStringLiteral("/nonexistent/dcx.ini"), QStringLiteral("id")});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("/nonexistent/dcx.ini")));

    const CtlRun help = runCtl({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("send TEXT")));
}
