// The simulator's side of the protocol, seen by an independent host.

#include "simtestclient.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

QByteArray itemList(int n)
{
    QByteArray s;
    for (int i = 1; i <= n; ++i)
        s += ' ' + QByteArray::number(i);
    return s;
}

} // namespace

TEST(SimProtocol, EveryFamilyAnswersWithChecksummedReplies)
{
    SimInstrument sim;
    Client c(sim);

    // plain acknowledgement is exactly the 5-byte frame of the worked example
    EXPECT_EQ(c.exchange(frame("U 32")), QByteArray("\x21\x24\x41\x35\x97", 5));

    struct Case {
        QByteArray command;
        int fields;        // expected number of space-separated fields; 0: empty data
    };
    const Case cases[] = {
        {"V", 5},
        {"K1", 17},
        {"K2", 13},
        {"U 32", 0},
        {"T 2", 0},
        {"S1 455", 0},
        {"S0", 0},
        {"C1? 2", 1},
        {"C1 2,2", 0},
        {"D2? 5", 1},
        {"D2?" + itemList(24), 24},
        {"D900  1,25 2,1234 24,1", 0},
        {"A1 3?", -1},
        {"A1 3 Gold", 0},
        {"A2 3?" + itemList(9), 9},
        {"A3 3?" + itemList(11), 11},
        {"A4 3?" + itemList(8), 8},
        {"A3 3? 4", 1},
        {"A2 3 1,12 2,25", 0},
        {"F5? 2", 1},
        {"F5 2,270", 0},
        {"B? " + itemList(13), 13},
        {"B?  1", 1},
        {"B  1,25 6,50", 0},
        {"G? 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", 16},
        {"G 1,3 2,4", 0},
        {"H? 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", 16},
        {"H 1,5 16,69", 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.command.toStdString());
        const Reply r = c.ask(k.command);
        ASSERT_TRUE(r.wellFormed);
        EXPECT_EQ(r.status, 'A');
        if (k.fields == 0) {
            EXPECT_TRUE(r.data.isEmpty());
        } else if (k.fields > 0) {
            const auto fs = fields(r.data);
            ASSERT_EQ(fs.size(), k.fields);
            for (int i = 0; i < fs.size(); ++i) {
                QByteArray v = fs[i];
                if (k.fields > 1 && v.contains(',')) {  // n,value fields carry their item number
                    EXPECT_EQ(v.left(v.indexOf(',')), QByteArray::number(i + 1));
                    v = v.mid(v.indexOf(',') + 1);
                }
                EXPECT_TRUE(isNumber(v)) << v.constData();
            }
        }
    }

    // identification and names
    EXPECT_EQ(c.value("@"), "DCX-700 SIM 4.20");
    EXPECT_EQ(c.value("C1? 1"), "Al Mirror       ");
    EXPECT_EQ(c.value("A1 3?"), "Gold            ");
    EXPECT_EQ(c.value("F1? 1"), "Aluminum        ");
    // single items are bare values; demo values in wire units
    EXPECT_EQ(c.value("B?  1"), "25");     // period 0.25 s in hundredths
    EXPECT_EQ(c.value("F1? 2"), "270");    // aluminium 2.70 g/cm³
    EXPECT_EQ(c.value("F1? 3"), "1080");   // Z-factor 1.080
    EXPECT_EQ(c.value("D2? 1"), "100");    // 10.0 Å/s
    EXPECT_EQ(c.value("D2? 2"), "1000");   // 1.000 kÅ
    // the status reply: stopped, process 2 selected (above), layer 1
    EXPECT_EQ(c.value("V"), "0 0.0 2 1 0");

    // "E" empties every process and frees the layer pool
    EXPECT_EQ(c.ask("E").status, 'A');
    EXPECT_EQ(c.value("C1? 3"), "-1");
    EXPECT_EQ(c.value("C1? 4"), "0");
    EXPECT_EQ(c.value("C1? 1"), "Al Mirror       ");
    EXPECT_EQ(c.value("D2? 21"), "-1");
    EXPECT_EQ(c.value("D2? 24"), "1");

    // names are stored padded to 16; a film name's leading blanks go
    ASSERT_EQ(c.ask("C5 1,Test").status, 'A');
    EXPECT_EQ(c.value("C5? 1"), "Test            ");
    ASSERT_EQ(c.ask("A1 5   Gold  ").status, 'A');
    EXPECT_EQ(c.value("A1 5?"), "Gold            ");
}

TEST(SimProtocol, StatusCharactersForUnknownCommandsRangesAndFields)
{
    SimInstrument sim;
    Client c(sim);
    const std::pair<QByteArray, char> cases[] = {
        // unknown commands
        {"X", 'C'}, {"K3", 'C'}, {"", 'C'}, {"VV", 'C'}, {"A5 1?", 'C'}, {"K1 2", 'C'},
        // records out of range
        {"C0? 1", 'D'}, {"C101? 1", 'D'}, {"D0? 1", 'D'}, {"D1001? 1", 'D'}, {"A1 51?", 'D'},
        {"A2 0? 1", 'D'}, {"F101? 2", 'D'}, {"T 0", 'D'}, {"T 101", 'D'},
        // items out of range
        {"C1? 5", 'D'}, {"D1? 25", 'D'}, {"A2 1? 10", 'D'}, {"A3 1? 12", 'D'}, {"A4 1? 9", 'D'},
        {"B?  14", 'D'}, {"G? 17", 'D'}, {"H 17,1", 'D'}, {"F1? 4", 'D'},
        // malformed fields and values out of range
        {"D1  1,abc", 'D'}, {"D1  1", 'D'}, {"D1  1,2.5", 'D'}, {"D1  6,5", 'D'}, {"D1  2,100000", 'D'},
        {"D1  21,0", 'D'}, {"D1  21,51", 'D'}, {"D1x", 'D'}, {"C1?", 'D'},
        {"F1 2,39", 'D'}, {"F1 2,10000", 'D'}, {"F1 3,99", 'D'}, {"F1 1,", 'D'},
        {"C1 1,ABCDEFGHIJKLMNOPQ", 'D'}, {"C1 1,Tab\there", 'D'}, {"F1 1,Line\n", 'D'},
        {"A1 1 Bell\a", 'D'}, {"A1 1 ", 'D'}, {"A2 1 6,9", 'D'}, {"A4 1 3,3", 'D'},
        {"B  1,9", 'D'}, {"B  6,65", 'D'}, {"G 1,0", 'D'}, {"G 1,47", 'D'}, {"H 1,70", 'D'},
        {"U 7", 'D'}, {"U", 'D'}, {"Ux", 'D'}, {"S5 100", 'D'}, {"S1 1001", 'D'}, {"S1", 'D'}, {"S0 5", 'D'},
        // operate commands the stopped state does not allow
        {"U 1", 'E'}, {"U 2", 'E'}, {"U 3", 'E'}, {"U 4", 'E'},
    };
    for (const auto& [command, status] : cases) {
        SCOPED_TRACE(command.toStdString());
        const Reply r = c.ask(command);
        ASSERT_TRUE(r.wellFormed);
        EXPECT_EQ(r.status, status);
        EXPECT_TRUE(r.data.isEmpty());
    }
    // the edge values themselves are accepted
    for (const QByteArray ok : {"F1 2,40", "F1 2,9999", "F1 3,9999", "D1  21,-1", "D1  6,4", "G 1,46",
                                "H 1,69", "B  6,10 7,65", "C1 1,ABCDEFGHIJKLMNOP", "S1 1000"}) {
        SCOPED_TRACE(ok.toStdString());
        EXPECT_EQ(c.ask(ok).status, 'A');
    }
    // a refused set changes nothing, not even its valid fields
    EXPECT_EQ(c.ask("D2  1,55 6,9").status, 'D');
    EXPECT_EQ(c.value("D2? 1"), "100");
    // starting an empty process is refused in this state
    EXPECT_EQ(c.ask("S0").status, 'A');
    EXPECT_EQ(c.ask("T 50").status, 'A');
    EXPECT_EQ(c.ask("U 0").status, 'E');
}

TEST(SimProtocol, FramingChecksumsAndByteStreams)
{
    SimInstrument sim;
    Client c(sim);

    // a bad checksum gets no reply at all
    QByteArray bad = frame("@");
    bad[3] = char(bad[3] + 1);
    EXPECT_TRUE(c.exchange(bad).isEmpty());
    EXPECT_EQ(sim.badChecksums(), 1);
    // swapped checksum characters are bad too
    QByteArray swapped = frame("V");
    std::swap(swapped[3], swapped[4]);
    EXPECT_TRUE(c.exchange(swapped).isEmpty());

    // with the checksum option off (two zero bytes) the command is answered
    Reply r = c.ask("@", false);
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(r.data, "DCX-700 SIM 4.20");

    // line noise before a frame is skipped
    r = parseReply(c.exchange(QByteArray("\x05\x7e zz", 5) + frame("@")));
    EXPECT_EQ(r.data, "DCX-700 SIM 4.20");

    // two frames in one chunk give two replies, in order
    const QByteArray two = c.exchange(frame("B?  1") + frame("F1? 2"));
    const int firstLength = quint8(two.at(1)) - 31;
    EXPECT_EQ(parseReply(two.left(firstLength)).data, "25");
    EXPECT_EQ(parseReply(two.mid(firstLength)).data, "270");

    // a frame arriving one byte at a time is answered once, after its last byte
    const QByteArray f = frame("C2? 1");
    QByteArray out;
    for (int i = 0; i < f.size(); ++i) {
        out += c.exchange(f.mid(i, 1));
        if (i + 1 < f.size()) {
            EXPECT_TRUE(out.isEmpty());
        }
    }
    EXPECT_EQ(parseReply(out).data, "AR 4-Layer      ");

    // a frame cut short swallows what follows into a garbled frame (no reply);
    // the next command after it is answered again
    EXPECT_TRUE(c.exchange(frame("K1").left(3) + frame("@")).isEmpty());
    r = c.ask("@");
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(r.data, "DCX-700 SIM 4.20");

    // the longest reply (a whole layer at its widest values) still fits one frame
    ASSERT_EQ(c.ask("D7  1,999 2,99999 3,5999 4,99999 5,1 6,4 7,1000 8,1000 9,1 10,1 11,1 12,1 "
                    "13,1 14,99999 15,999 16,5999 17,1 18,99999 19,999 20,5999 21,50 22,1000 "
                    "23,1000 24,1").status, 'A');
    QByteArray all = "D7?";
    for (int i = 1; i <= 24; ++i)
        all += ' ' + QByteArray::number(i);
    r = c.ask(all);
    EXPECT_TRUE(r.wellFormed);
    EXPECT_EQ(fields(r.data).size(), 24);
    EXPECT_EQ(fields(r.data).at(13), "14,99999");
}
