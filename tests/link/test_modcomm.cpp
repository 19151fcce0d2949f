// Transactions through Comm_SendCommand over the in-process transport, on a fake clock.
#include "link/modcomm.h"
#include "linktestpeer.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/scripteddialogs.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Reply frames, built by hand (checksums computed independently).
const QByteArray kAcceptedEmpty = Bytes({0x21, 0x24, 0x41, 0x35, 0x97});
const QByteArray kAccepted1234 = Bytes({0x21, 0x29, 0x41, 0x31, 0x32, 0x20, 0x33, 0x34, 0x94, 0x35});
const QByteArray kStatusZ = Bytes({0x21, 0x24, 0x5A, 0x75, 0x93});

class LinkSend : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config() = AppConfig();
        Comm_ResetLink();
        Comm_UseInProcessPeer(&peer);
    }
    void TearDown() override { Comm_ResetLink(); }

    static QString send(const char* text) { return Comm_SendCommand(QString::fromLatin1(text)); }
    // Sends text and checks the reply it returns and the status it leaves.
    static void expectSend(const char* text, const QString& reply, LinkStatus status)
    {
        EXPECT_EQ(send(text), reply) << "reply to " << text;
        EXPECT_EQ(Comm_GetStatus(), status) << "status after " << text;
    }

    // The peer answers `frame` after the clock has moved by ms, from inside the wait.
    void answerLater(qint64 ms, QByteArray frame)
    {
        peer.handler = [this, ms, frame](ScriptedPeer& p, const QByteArray&) {
            QTimer::singleShot(0, &p, [this, &p, ms, frame] {
                clock.advanceMs(ms);
                p.send(frame);
            });
        };
    }

    FakeClock clock;
    ScopedClock scopedClock{clock};
    ScriptedDialogs dlg;
    ScopedDialogs scopedDialogs{dlg};
    ScriptedPeer peer;
};

} // namespace

TEST_F(LinkSend, WritesFramesWithTheChecksumOption)
{
    peer.reply = kAcceptedEmpty;
    // Any value of 1 and above means on.
    for (auto [on, text] : {std::pair(1, "K1"), {0, "@"}, {2, "@"}}) {
        Config().CheckSumOn = qint16(on);
        send(text);
    }

    ASSERT_EQ(peer.received, (QList<QByteArray>{Bytes({0x21, 0x24, 0x4B, 0x31, 0x5D, 0x31}),
                                                Bytes({0x21, 0x23, 0x40, 0x00, 0x00}),
                                                Bytes({0x21, 0x23, 0x40, 0x4F, 0x37})}));
    EXPECT_EQ(Comm_LastFrame(), peer.received[2]);
    EXPECT_EQ(Comm_GetStatus(), 0);
}

TEST_F(LinkSend, RepliesSetStatusDataAndIdentity)
{
    peer.reply = kAccepted1234;
    expectSend("V", QString("12 34"), 0);
    EXPECT_TRUE(Comm_Online());
    EXPECT_TRUE(Comm_InstrumentID().isEmpty()); // only "@" sets the identity

    EXPECT_EQ(Comm_SendCommand(QStringLiteral("@")), QStringLiteral("12 34"));
    EXPECT_EQ(Comm_InstrumentID(), QStringLiteral("12 34"));

    // Blanks around the data are trimmed from the returned text only.
    peer.reply = Bytes({0x21, 0x27, 0x41, 0x20, 0x58, 0x20, 0x75, 0x56}); // "A" + " X " (CRC 0x1A53)
    EXPECT_EQ(Comm_SendCommand(QStringLiteral("@")), QStringLiteral("X"));
    EXPECT_EQ(Comm_InstrumentID(), QStringLiteral(" X "));

    // Refusals and bad frames: empty data, the status says why.
    peer.reply = kStatusZ;
    expectSend("V", QString(), 5);
    peer.reply = Bytes({0x21, 0x24, 0x41, 0x97, 0x35}); // checksum characters swapped
    expectSend("V", QString(), 7);
}

TEST_F(LinkSend, ReceiveMachineThroughTheLink)
{
    // Zero bytes anywhere, noise before the start, a restart mid-reply, and
    // trailing bytes that complete nothing.
    peer.reply = Bytes({0x00, 0x33, 0x21, 0x29, 0x41, 0x31, 0x00, 0x21, 0x00, 0x29, 0x41, 0x31, 0x32,
                        0x00, 0x20, 0x33, 0x34, 0x94, 0x00, 0x35, 0x21, 0x24, 0x43, 0x34, 0x2C});
    expectSend("V", QString("12 34"), 0);

    // A reply arriving in pieces.
    peer.handler = [](ScriptedPeer& p, const QByteArray&) {
        QTimer::singleShot(0, &p, [&p] { p.send(Bytes({0x21, 0x29, 0x41})); });
        QTimer::singleShot(0, &p, [&p] { p.send(Bytes({0x31, 0x32, 0x20, 0x33, 0x34, 0x94, 0x35})); });
    };
    EXPECT_EQ(Comm_SendCommand(QStringLiteral("V")), QStringLiteral("12 34"));

    // The machine used directly.
    Comm_SetStatus(9);
    for (char c : kStatusZ)
        Comm_RxByte(c);
    EXPECT_EQ(Comm_GetStatus(), 5);
}

TEST_F(LinkSend, TimeoutNeedsMoreThanOneSecond)
{
    answerLater(1000, kAccepted1234);
    expectSend("V", QString("12 34"), 0);

    const qint64 before = clock.monotonicMs();
    answerLater(1001, kAccepted1234);
    expectSend("V", QString(), 1);
    EXPECT_EQ(Comm_ErrorText(1), QStringLiteral("Timeout"));
    EXPECT_EQ(clock.monotonicMs() - before, 1001);

    // Nothing answers: the wait ends as soon as the clock passes 1.0 s.
    peer.handler = [this](ScriptedPeer& p, const QByteArray&) {
        QTimer::singleShot(0, &p, [this] { clock.advanceMs(600); });
        QTimer::singleShot(0, &p, [this] { clock.advanceMs(400); });
        QTimer::singleShot(0, &p, [this] { clock.advanceMs(1); });
    };
    expectSend("V", QString(), 1);

    // Without any transport, a send times out too.
    Comm_SetTransportOverride(nullptr);
    QTimer::singleShot(0, &peer, [this] { clock.advanceMs(1001); });
    send("V");
    EXPECT_EQ(Comm_GetStatus(), 1) << "status";
}

TEST_F(LinkSend, NestedSendAndRefusedLength)
{
    QString nestedReply = QStringLiteral("not called");
    LinkStatus nestedStatus = -1;
    peer.handler = [&](ScriptedPeer& p, const QByteArray&) {
        QTimer::singleShot(0, &p, [&] {
            // A timer or button handler running inside the wait.
            nestedReply = Comm_SendCommand(QStringLiteral("K2"));
            nestedStatus = Comm_GetStatus();
            p.send(kAccepted1234);
        });
    };
    EXPECT_EQ(Comm_SendCommand(QStringLiteral("V")), QStringLiteral("12 34"));
    EXPECT_EQ(nestedReply, QString());
    EXPECT_EQ(nestedStatus, 9);
    EXPECT_EQ(peer.received.size(), 1); // the nested command was never sent
    EXPECT_EQ(Comm_ErrorText(9), QStringLiteral("Instrument Busy"));

    // Status 9 left by the caller: nothing is sent.
    Comm_SetStatus(9);
    expectSend("V", QString(), 9);
    EXPECT_EQ(peer.received.size(), 1);

    // 222 characters cannot be framed: refused unsent.
    Comm_SetStatus(0);
    EXPECT_EQ(Comm_SendCommand(QString(222, QLatin1Char('x'))), QString());
    EXPECT_EQ(Comm_GetStatus(), 5);
    EXPECT_EQ(peer.received.size(), 1);

    // Latin-1 on the wire: U+00C5 is the single byte 0xC5.
    peer.handler = nullptr;
    peer.reply = kAcceptedEmpty;
    Comm_SendCommand(QString(QChar(0xC5)));
    EXPECT_EQ(peer.received.last().mid(1, 2), Bytes({0x23, 0xC5}));
}
