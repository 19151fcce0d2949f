// Fault injection: each fault as the host sees it, repeatable with a seed;
// the control language and the command-line options that set them.

#include "simtestclient.h"

#include "sim/simcontrol.h"
#include "sim/simoptions.h"
#include "support/clock.h"

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
    for (const char s : {'C', 'D', 'E'}) {
        ASSERT_EQ(control.execute(QStringLiteral("answer %1 1").arg(QChar::fromLatin1(s))), "ok");
        EXPECT_EQ(c.ask("V").status, s);
        EXPECT_EQ(c.ask("V").status, 'A');
    }

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

TEST(SimFaultInjection, DelayHoldsRepliesOnTheInstrumentClock)
{
    FakeClock clock;
    SimInstrument sim;
    sim.attachClock(&clock);
    Client c(sim);
    SimControl control(sim);
    ASSERT_EQ(control.execute("delay 1500"), "ok");
    EXPECT_TRUE(c.exchange(frame("@")).isEmpty());
    clock.advance(1.0);
    EXPECT_TRUE(c.received.isEmpty()) << "not before its time";
    clock.advance(0.5);
    EXPECT_EQ(parseReply(c.received).data, "DCX-700 SIM 4.20");
    // every reply is delayed, in order
    c.received.clear();
    sim.receive(frame("B?  1") + frame("F1? 2"));
    clock.advance(1.6);
    const int first = quint8(c.received.at(1)) - 31;
    EXPECT_EQ(parseReply(c.received.left(first)).data, "25");
    EXPECT_EQ(parseReply(c.received.mid(first)).data, "270");
    ASSERT_EQ(control.execute("delay 0"), "ok");
    EXPECT_TRUE(c.ask("@").wellFormed);
}

TEST(SimFaultInjection, RandomFaultsRepeatWithTheSeed)
{
    // the same seed and the same commands give the same bytes: dropped
    // replies, garbage, the bad field and the readings noise alike
    const auto session = [](quint32 seed) {
        SimInstrument sim(seed);
        Client c(sim);
        SimControl control(sim);
        EXPECT_EQ(c.ask("S1 455").status, 'A');
        EXPECT_EQ(control.execute("drop-rate 0.4"), "ok");
        EXPECT_EQ(control.execute("garbage 10"), "ok");
        EXPECT_EQ(control.execute("bad-field 5"), "ok");
        QByteArray all;
        QString pattern;
        for (int i = 0; i < 60; ++i) {
            sim.advance(0.5);
            const QByteArray out = c.exchange(frame(i % 2 ? "K1" : "K2"));
            pattern += out.isEmpty() ? '-' : 'x';
            all += out + '|';
        }
        return std::make_pair(pattern, all);
    };
    const auto a = session(42);
    const auto b = session(42);
    const auto other = session(43);
    EXPECT_EQ(a.first, b.first);
    EXPECT_EQ(a.second, b.second);
    EXPECT_NE(a.second, other.second);
    // about 40 % dropped
    const auto dropped = a.first.count('-');
    EXPECT_GE(dropped, 12);
    EXPECT_LE(dropped, 36);

    // reseeding through the control channel restarts the sequence
    SimInstrument sim(1);
    SimControl control(sim);
    Client c(sim);
    ASSERT_EQ(control.execute("drop-rate 0.5"), "ok");
    const auto run = [&] {
        QString p;
        for (int i = 0; i < 30; ++i)
            p += c.exchange(frame("@")).isEmpty() ? '-' : 'x';
        return p;
    };
    ASSERT_EQ(control.execute("seed 9"), "ok");
    const QString first = run();
    ASSERT_EQ(control.execute("seed 9"), "ok");
    EXPECT_EQ(run(), first);
}

TEST(SimFaultInjection, ControlLanguageRejectsWhatItCannotDo)
{
    SimInstrument sim;
    SimControl control(sim);
    for (const char* line : {"", "frobnicate", "drop", "drop x", "drop -1", "drop 1 2", "drop-rate 1.5",
                             "answer A 1", "answer BB 1", "answer B", "speed 0", "speed fast", "seed -4",
                             "delay 1.5", "crystal-fail 0", "crystal-fail 5", "crystal-new"}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(SimControl::isError(control.execute(line)));
    }
    EXPECT_EQ(control.execute("SPEED 50"), "ok");
    EXPECT_EQ(sim.speed(), 50.0);
    EXPECT_EQ(control.execute("speed 1"), "ok");
    EXPECT_EQ(control.execute("  drop   3 "), "ok");
    EXPECT_TRUE(control.execute("show").contains("drop next 3"));
    EXPECT_TRUE(control.execute("help").startsWith("ok commands:"));
    EXPECT_EQ(control.execute("crystal-fail 3"), "ok");
    EXPECT_EQ(sim.run().sensorFrequency(2), 0.0);
    EXPECT_EQ(control.execute("crystal-new 3"), "ok");
    EXPECT_GT(sim.run().sensorFrequency(2), 5.9e6);
    // advance moves the instrument: a started process leaves Stopped
    Client c(sim);
    ASSERT_EQ(control.execute("clear"), "ok");
    ASSERT_EQ(c.ask("U 0").status, 'A');
    ASSERT_EQ(control.execute("advance 1"), "ok");
    EXPECT_TRUE(control.execute("show").startsWith("ok phase 7,"));
}

TEST(SimFaultInjection, CommandLineOptions)
{
    auto parse = [](QStringList args) {
        args.prepend("dcx700-sim");
        return ParseSimOptions(args);
    };
    SimOptionsResult r = parse({});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->port, 2101);
    EXPECT_EQ(r.options->bind, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(r.options->speed, 1.0);
    EXPECT_FALSE(r.options->pty);

    r = parse({"--port", "0", "--speed", "50", "--seed", "7", "--state", "/tmp/x.state", "--pty",
               "--delay", "200", "--drop", "3", "--drop-rate", "0.1", "--corrupt", "2", "--answer", "B 2",
               "--garbage", "1", "--bad-field", "4", "--close-after", "9", "--fault", "drop 1",
               "--control", "0", "--id", "DCX-700 TEST"});
    ASSERT_TRUE(r.options) << r.message.toStdString();
    const SimOptions& o = *r.options;
    EXPECT_EQ(o.port, 0);
    EXPECT_EQ(o.speed, 50.0);
    EXPECT_EQ(o.seed, 7u);
    EXPECT_EQ(o.stateFile, "/tmp/x.state");
    EXPECT_TRUE(o.pty);
    EXPECT_EQ(o.control, SimOptions::Control::Tcp);
    EXPECT_EQ(o.identification, "DCX-700 TEST");
    // every fault option becomes a control line the simulator accepts
    EXPECT_EQ(o.faults.size(), 9);
    EXPECT_TRUE(o.faults.contains("answer B 2"));
    EXPECT_TRUE(o.faults.contains("delay 200"));
    SimInstrument sim;
    SimControl control(sim);
    for (const QString& line : o.faults)
        EXPECT_EQ(control.execute(line), "ok") << line.toStdString();

    // loopback only unless forced; usage errors exit 64, help exits 0
    for (const QStringList& bad : {QStringList{"--bind", "0.0.0.0"}, QStringList{"--bind", "192.168.1.20"},
                                   QStringList{"--port", "70000"}, QStringList{"--speed", "0"},
                                   QStringList{"--control", "tty"}, QStringList{"stray"},
                                   QStringList{"--nonsense"}}) {
        r = parse(bad);
        EXPECT_FALSE(r.options) << bad.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 64);
    }
    r = parse({"--bind", "127.0.0.2"});
    EXPECT_TRUE(r.options);
    r = parse({"--bind", "0.0.0.0", "--allow-remote"});
    EXPECT_TRUE(r.options);
    r = parse({"--help"});
    EXPECT_FALSE(r.options);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.message.contains("--speed"));
}
