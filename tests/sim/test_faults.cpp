// Fault injection: each fault as the host sees it.

#include "simtestclient.h"

#include "sim/simcontrol.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace simtest;

TEST(SimFaultInjection, CountedFaultsHitExactlyTheNextReplies)
{
    SimInstrument sim;
    Client c(sim);
    SimControl control(sim);

    // drop: no reply for the next two commands, which still run
    ASSERT_EQ(control.execute("drop 2"), "ok");
    EXPECT_TRUE(c.exchange(frame("C9 1,Dropped")).isEmpty());
    EXPECT_TRUE(c.exchange(frame("@")).isEmpty());
    EXPECT_EQ(c.value("C9? 1"), "Dropped         ");

    // corrupt: a complete frame whose checksum does not match
    ASSERT_EQ(control.execute("corrupt 1"), "ok");
    QByteArray bytes = c.exchange(frame("@"));
    Reply r = parseReply(bytes);
    EXPECT_EQ(bytes.size(), 5 + 16);
    EXPECT_EQ(r.data, "DCX-700 SIM 4.20");
    EXPECT_FALSE(r.wellFormed);
    EXPECT_TRUE(c.ask("@").wellFormed);

    // answer: the next commands get the status and are not run
    ASSERT_EQ(control.execute("answer B 2"), "ok");
    r = c.ask("C9 1,Busy");
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(r.status, 'B');
    EXPECT_EQ(c.ask("@").status, 'B');
    EXPECT_EQ(c.value("C9? 1"), "Dropped         ");

    // garbage: bytes before the start character, none of them a start
    ASSERT_EQ(control.execute("garbage 1"), "ok");
    bytes = c.exchange(frame("@"));
    const qsizetype start = bytes.indexOf('!');
    EXPECT_GE(start, 1);
    EXPECT_LE(start, 8);
    r = parseReply(bytes.mid(start));
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(r.data, "DCX-700 SIM 4.20");
    EXPECT_EQ(c.exchange(frame("@")).indexOf('!'), 0);

    // bad field: a data reply (set commands carry none, so they pass it on)
    // gets one field that is not a number, in a well-formed frame
    ASSERT_EQ(control.execute("bad-field 1"), "ok");
    EXPECT_EQ(c.ask("U 32").status, 'A');
    r = c.ask("K1");
    EXPECT_TRUE(r.wellFormed);
    const auto fs = fields(r.data);
    ASSERT_EQ(fs.size(), 17);
    int bad = 0;
    for (const QByteArray& f : fs)
        bad += !isNumber(f);
    EXPECT_EQ(bad, 1);
    r = c.ask("D1?" + QByteArray(" 1 2 3"));
    EXPECT_EQ(r.data, "1,10 2,50 3,0") << "the fault is used up";

    // close-after: the connection is dropped right after the n-th reply
    QSignalSpy closes(&sim, &SimInstrument::closeRequested);
    ASSERT_EQ(control.execute("close-after 2"), "ok");
    EXPECT_TRUE(c.ask("@").wellFormed);
    EXPECT_EQ(closes.count(), 0);
    EXPECT_TRUE(c.ask("@").wellFormed);
    EXPECT_EQ(closes.count(), 1);
    EXPECT_TRUE(c.ask("@").wellFormed);
    EXPECT_EQ(closes.count(), 1);
    ASSERT_EQ(control.execute("close"), "ok");
    EXPECT_EQ(closes.count(), 2);

    // clear removes what is left
    ASSERT_EQ(control.execute("drop 5"), "ok");
    ASSERT_EQ(control.execute("clear"), "ok");
    EXPECT_TRUE(c.ask("@").wellFormed);
}
