// How replies are read into the readings record and the model: fields by
// position, short replies, replies outside the format.
#include "commands/modcommdata.h"
#include "commands/modcommfilm.h"
#include "commands/modcommlayer.h"
#include "commands/modcommoperate.h"
#include "commands/modcommprocess.h"
#include "commands/modcommsystem.h"
#include "commands/replyfields.h"
#include "scriptedpeer.h"
#include "store/model.h"

#include <QLocale>

#include <clocale>
#include <gtest/gtest.h>

namespace {

class ReplyParsing : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultParameters();
        Readings() = ReadingsRecord{};
    }
    ScriptedPeer peer;
    PeerLink link{peer};
};

TEST(ReplyFieldsTest, SplitsAtEverySingleSpace)
{
    const ReplyFields f(QStringLiteral("1,25  3,7 x"));
    EXPECT_EQ(f.count(), 4);
    EXPECT_EQ(f.field(1), "1,25") << "field(1)";
    EXPECT_EQ(f.field(2), "") << "field(2)";
    EXPECT_EQ(f.field(5), "") << "field(5)";
    EXPECT_EQ(f.value(1), "25") << "value(1)";
    EXPECT_EQ(f.value(3), "7") << "value(3)";
    EXPECT_EQ(f.value(4), "") << "value(4)";
    EXPECT_EQ(ReplyFields(QString()).count(), 1);
    EXPECT_EQ(ReadNumber(QStringLiteral(" 2.5 "), NumberRule::Strict), 2.5);
}

TEST_F(ReplyParsing, OutputsReplyOfNineFieldsFillsOutputsOneAndTwo)
{
    ReadingsRecord& r = Readings();
    r.OutRate = {9, 9, 9, 9};
    r.OutPower = {-1, -1, 33.3, 44.4};
    peer.accept("7 1.5 0.1 1.234 45.6 2.50 -0.2 0.5 30");
    EXPECT_EQ(Data_GetOutputs(), 0);
    EXPECT_DOUBLE_EQ(r.OutputsLeadValue, 7.0);
    // Outputs 3 and 4 are not in a nine-field reply: kept.
    EXPECT_EQ(r.OutRate, (std::array<double, 4>{1.5, 2.5, 9, 9}));
    EXPECT_EQ(r.OutPower, (std::array<double, 4>{45.6, 30, 33.3, 44.4}));
}

TEST_F(ReplyParsing, FullOutputsAndSensorsRepliesIgnoreExtraFields)
{
    ReadingsRecord& r = Readings();
    peer.accept("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 99");
    peer.accept("1 2.48 1.23 5981234 4 5 6 7 8 9 10 11 12 99");
    EXPECT_EQ(Data_GetOutputs(), 0);
    EXPECT_EQ(Data_GetSensors(), 0);
    EXPECT_EQ(r.OutRate, (std::array<double, 4>{1, 5, 9, 13}));
    EXPECT_EQ(r.OutDeviation, (std::array<double, 4>{2, 6, 10, 14}));
    EXPECT_EQ(r.OutThickness, (std::array<double, 4>{3, 7, 11, 15}));
    EXPECT_EQ(r.OutPower, (std::array<double, 4>{4, 8, 12, 16}));
    EXPECT_DOUBLE_EQ(r.SensorsLeadValue, 1.0);
    EXPECT_EQ(r.SensorRate, (std::array<double, 4>{2.48, 4, 7, 10}));
    EXPECT_EQ(r.SensorThickness, (std::array<double, 4>{1.23, 5, 8, 11}));
    EXPECT_EQ(r.SensorFrequency, (std::array<double, 4>{5981234, 6, 9, 12}));
}

TEST_F(ReplyParsing, StatusReply)
{
    peer.accept("3 125.4 2 5 0");
    const ReadingsRecord& r = Readings();
    EXPECT_EQ(Operate_GetStatus(), 3);
    EXPECT_EQ(r.Phase, 3) << "Phase";
    EXPECT_EQ(r.StatusExtra, 0) << "StatusExtra";
    EXPECT_EQ(Operate_RunProcess(), 2) << "Operate_RunProcess";
    EXPECT_EQ(Operate_RunLayer(), 5) << "Operate_RunLayer";
    EXPECT_DOUBLE_EQ(Operate_ElapsedTime(), 125.4) << "Operate_ElapsedTime";

    // Leading-number rule and halves to even on the integer fields.
    peer.accept("12.5 7s x 4.5");
    EXPECT_EQ(Operate_GetStatus(), 12);
    EXPECT_DOUBLE_EQ(r.ElapsedTime, 7.0) << "ElapsedTime";
    EXPECT_EQ(r.RunProcess, 0) << "RunProcess";
    EXPECT_EQ(r.RunLayer, 4) << "RunLayer";
    EXPECT_EQ(r.StatusExtra, 0) << "StatusExtra, missing: kept";
}

TEST_F(ReplyParsing, FailedQueriesLeaveReadingsAlone)
{
    peer.accept("13 60 2 1 0");
    ASSERT_EQ(Operate_GetStatus(), 13);
    const ReadingsRecord before = Readings();
    peer.refuse('B');
    EXPECT_EQ(Data_GetOutputs(), -1);
    EXPECT_EQ(Comm_GetStatus(), 3);
    peer.refuse('E');
    EXPECT_EQ(Data_GetSensors(), -1);
    peer.refuse('C');
    EXPECT_EQ(Operate_GetStatus(), -1);
    peer.accept("13 61 99999 1 0"); // a process number beyond 16 bits
    EXPECT_EQ(Operate_GetStatus(), -1);
    EXPECT_EQ(Comm_GetStatus(), 5);
    EXPECT_EQ(Readings(), before);
}

TEST_F(ReplyParsing, LayerFieldsGoByPositionWhateverTheirNumber)
{
    LayerRecord& l = Model().LayerTable[40];
    l.Rate = 9.9;
    l.Max_Power1 = 33.0;
    peer.accept("9,25 9,1234 1,60 0,500 5,0 6,3");
    EXPECT_EQ(Layer_Get(40, 0), 0);
    EXPECT_DOUBLE_EQ(l.Rate, 2.5) << "Rate";
    EXPECT_DOUBLE_EQ(l.Final_Thick, 1.234) << "Final_Thick";
    // A short reply: the rest unchanged.
    EXPECT_DOUBLE_EQ(l.Max_Power1, 33.0) << "Max_Power1";
    EXPECT_EQ(l.Layer_Free, 1) << "Layer_Free";

    // All 24 plus an extra, ramp switches as received, ramp time rounded to even.
    peer.accept("1,10 2,2000 3,0 4,0 5,1 6,2 7,800 8,50 9,0 10,1 11,0 12,1 13,1 14,100 15,5 "
                "16,20 17,0.5 18,300 19,7 20,2.5 21,12 22,-1 23,41 24,0 25,9");
    EXPECT_EQ(Layer_Get(40, 0), 0);
    EXPECT_DOUBLE_EQ(l.Ramp2_Enabled, 0.5) << "Ramp2_Enabled";
    EXPECT_EQ(l.Ramp2_Time, 2) << "Ramp2_Time";
    EXPECT_EQ(l.Next_Layer, -1) << "Next_Layer";

    peer.accept("-0.5 ignored");
    EXPECT_EQ(Layer_Get(40, 3), 0);
    EXPECT_EQ(l.Time_Setpoint, 0);
}

TEST_F(ReplyParsing, LayerReplyOutsideTheFormatChangesNothing)
{
    LayerRecord& l = Model().LayerTable[2];
    l.Rate = 4.0;
    const LayerRecord before = l;
    const char* bad[] = {
        "1,25 2,abc",        // not a number
        "1,25 3",            // no comma
        "1,40000",           // tenths beyond 16 bits
        "1,25 2,3000000000", // Å beyond 32 bits
        "1,25 2,5 3,0 4,0 5,0 6,1 7,1 8,1 9,1 10,1 11,1 12,1 13,1 14,1 15,1 16,1 17,1 18,1 "
        "19,1 20,1 21,40000", // integer item beyond 16 bits
    };
    for (const char* reply : bad) {
        peer.accept(QString::fromLatin1(reply));
        EXPECT_EQ(Layer_Get(2, 0), -1) << reply;
        EXPECT_EQ(Comm_GetStatus(), 5) << reply;
        EXPECT_EQ(l, before) << reply;
    }
    peer.accept("abc");
    EXPECT_EQ(Layer_Get(2, 1), -1);
    peer.refuse('C');
    EXPECT_EQ(Layer_Get(2, 0), -1);
    EXPECT_EQ(Comm_GetStatus(), 4);
    EXPECT_EQ(l, before);
}

TEST_F(ReplyParsing, ProcessHeaderUpload)
{
    ProcessRecord& p = Model().ProcessTable[9];
    peer.accept(" Test ");
    peer.accept("5");
    peer.accept("17");
    peer.accept("6");
    EXPECT_EQ(Process_Get(9, 0), 0);
    EXPECT_EQ(p.Process_Name.text(), QStringLiteral("Test            "));

    // Item 2 fails: items 3 and 4 keep their values and are not asked for.
    peer.commands.clear();
    peer.accept("Other");
    peer.refuse('D');
    EXPECT_EQ(Process_Get(9, 0), 5);
    EXPECT_EQ(peer.commands, QStringList({"C9? 1", "C9? 2"}));
    EXPECT_EQ(p.Process_Name.trimmed(), "Other");
    EXPECT_EQ(p.Number_Layers, 5) << "Number_Layers";
    EXPECT_EQ(p.First_Layer, 17) << "First_Layer";

    peer.accept("-1");
    EXPECT_EQ(Process_Get(9, 3), 0);
    EXPECT_EQ(p.First_Layer, -1);
    peer.accept("4 layers");
    EXPECT_EQ(Process_Get(9, 2), 0);
    EXPECT_EQ(p.Number_Layers, 4);
    peer.accept("70000");
    EXPECT_EQ(Process_Get(9, 4), 5);
    EXPECT_EQ(p.Number_Act_Layers, 6);
}

TEST_F(ReplyParsing, FilmGroups)
{
    FilmRecord& f = Model().FilmTable[3];
    f.Crystal_Stability = 55;
    f.Crystal_Fail = 1;
    peer.accept("  Silver  ");
    peer.accept("1,12 2,25 3,5 4,7 5,2 6,90 7,15");
    peer.accept("1,105 2,30");
    peer.refuse('D'); // A4 refused
    EXPECT_EQ(Film_Get(3, 0), -1);
    EXPECT_EQ(f.Film_Name.text(), QStringLiteral("Silver          "));
    // 7 fields: 208 and 209 unchanged.
    EXPECT_EQ(f.Crystal_Quality, 15) << "Crystal_Quality";
    EXPECT_EQ(f.Crystal_Stability, 55) << "Crystal_Stability";
    EXPECT_EQ(f.Crystal_Fail, 1) << "Crystal_Fail";
    EXPECT_EQ(f.Ramp1_Time, 30) << "Ramp1_Time";
}

TEST_F(ReplyParsing, FailedA3LeavesNameAndA2AndSendsNoA4)
{
    FilmRecord& f = Model().FilmTable[8];
    f.Ramp1_Power = 3.0;
    peer.accept("Gold");
    peer.accept("1,4 2,15");
    peer.refuse('B');
    EXPECT_EQ(Film_Get(8, 0), -1);
    EXPECT_EQ(peer.commands.size(), 3);
    EXPECT_TRUE(peer.commands.last().startsWith("A3 8?"));
    EXPECT_EQ(f.Film_Name.trimmed(), "Gold");
    EXPECT_DOUBLE_EQ(f.Pterm, 4.0) << "Pterm";
    EXPECT_DOUBLE_EQ(f.Ramp1_Power, 3.0) << "Ramp1_Power";

    // A malformed A3 group: name and A2 stay, none of A3 changes, no A4.
    peer.commands.clear();
    peer.accept("Gold");
    peer.accept("1,4 2,15");
    peer.accept("1,100 2,x");
    EXPECT_EQ(Film_Get(8, 0), -1);
    EXPECT_EQ(Comm_GetStatus(), 5);
    EXPECT_EQ(peer.commands.size(), 3);
    EXPECT_DOUBLE_EQ(f.Ramp1_Power, 3.0);

    peer.accept("25");
    EXPECT_EQ(Film_Get(8, 202), 0);
    EXPECT_DOUBLE_EQ(f.Iterm, 2.5);
}

TEST_F(ReplyParsing, SystemFieldsByPosition)
{
    SystemRecord& s = Model().SystemParams;
    peer.accept("1,50 2,98 3,97 4,96 5,1 6,52 7,61 8,100 9,101 10,102 11,103 12,95 13,94 14,1");
    EXPECT_EQ(System_Get(0), 0);

    // Eleven fields: Xtool3 and Xtool4 unchanged.
    peer.accept("1,25 2,100 3,100 4,100 5,0 6,50 7,60 8,50 9,50 10,50 11,50");
    EXPECT_EQ(System_Get(0), 0);
    EXPECT_DOUBLE_EQ(s.Period, 0.25);
    EXPECT_EQ(s.Xtool3, 95) << "Xtool3";
    EXPECT_EQ(s.Xtool4, 94) << "Xtool4";

    const SystemRecord before = s;
    peer.accept("1,25 2,x1");
    EXPECT_EQ(System_Get(0), -1);
    EXPECT_EQ(Comm_GetStatus(), 5);
    peer.accept("1,25 2,100 3,40000");
    EXPECT_EQ(System_Get(0), -1);
    EXPECT_EQ(s, before);

    peer.accept("60");
    EXPECT_EQ(System_Get(7), 0);
    EXPECT_DOUBLE_EQ(s.Max_Freq, 6.0);
}

TEST_F(ReplyParsing, InputsAndRelays)
{
    for (auto& in : Model().InputTable)
        in.Input_Type = 9;
    peer.accept("1,4 2,0");
    EXPECT_EQ(Inputs_Get(), 0);
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(Model().InputTable[n].Input_Type, n == 0 ? 4 : n == 1 ? 0 : 9) << n;

    // Seventeen fields are outside the format: nothing changes.
    const auto relaysBefore = Model().OutputTable;
    peer.accept("1,1 2,2 3,3 4,4 5,5 6,6 7,7 8,8 9,9 10,10 11,11 12,12 13,13 14,14 15,15 16,16 17,17");
    EXPECT_EQ(Relays_Get(), -1);
    EXPECT_EQ(Comm_GetStatus(), 5);
    EXPECT_EQ(Model().OutputTable, relaysBefore);

    peer.accept("1,1 2,2 3,3 4,4 5,5 6,6 7,7 8,8 9,9 10,10 11,11 12,12 13,13 14,14 15,15 16,16.5");
    EXPECT_EQ(Relays_Get(), 0);
    EXPECT_EQ(Model().OutputTable[0].Output_Type, 1) << "OutputTable[0].Output_Type";
    EXPECT_EQ(Model().OutputTable[15].Output_Type, 16) << "OutputTable[15].Output_Type";
}

TEST_F(ReplyParsing, ItemsAsTheDumpWritesThem)
{
    LayerRecord& l = Model().LayerTable[12];
    l.Rate = 2.5;
    l.Final_Thick = 1.234;
    l.Ramp1_Enabled = 1.0;
    l.Next_Layer = -1;
    EXPECT_EQ(Layer_GetItem(12, 1), 25) << "Layer_GetItem(12, 1)";
    EXPECT_EQ(Layer_GetItem(12, 2), 1234) << "Layer_GetItem(12, 2)";
    EXPECT_EQ(Layer_GetItem(12, 13), 1) << "Layer_GetItem(12, 13)";
    EXPECT_EQ(Layer_GetItem(12, 22), -1) << "Layer_GetItem(12, 22)";
    EXPECT_EQ(Layer_GetItem(12, 25), 0) << "Layer_GetItem(12, 25)";

    Model().FilmTable[2].Iterm = 2.5;
    Model().FilmTable[2].Film_Name = Name16("Gold");
    EXPECT_EQ(Film_GetItem(2, 202), "25") << "Film_GetItem(2, 202)";
    EXPECT_EQ(Film_GetItem(2, 206), "100") << "Film_GetItem(2, 206)";
    EXPECT_EQ(Film_GetItem(2, 101), "Gold") << "Film_GetItem(2, 101)";
    EXPECT_EQ(Film_GetItem(2, 210), "") << "Film_GetItem(2, 210)";
    EXPECT_TRUE(Film_SetItem(2, 202, "31"));
    EXPECT_DOUBLE_EQ(Model().FilmTable[2].Iterm, 3.1);
    EXPECT_FALSE(Film_SetItem(2, 202, "3x"));
    EXPECT_FALSE(Film_SetItem(2, 999, "3"));

    // System items in the instrument's numbering.
    EXPECT_EQ(System_GetItem(1), 25) << "System_GetItem(1)";
    EXPECT_EQ(System_GetItem(6), 50) << "System_GetItem(6)";
    EXPECT_EQ(System_GetItem(14), 0) << "System_GetItem(14)";
    EXPECT_TRUE(System_SetItem(12, "95"));
    EXPECT_EQ(Model().SystemParams.Xtool3, 95) << "Xtool3";
    EXPECT_EQ(Model().SystemParams.Xtool1, 100) << "Xtool1";
    EXPECT_FALSE(System_SetItem(0, "95"));

    EXPECT_TRUE(Layer_SetItem(12, 2, "2000"));
    EXPECT_DOUBLE_EQ(l.Final_Thick, 2.0);
    EXPECT_FALSE(Layer_SetItem(12, 1, ""));
}

// Wire texts and reply numbers use "." whatever the user's locale says (the
// CLI monitor test reads decimal readings under a German locale).
TEST_F(ReplyParsing, GermanLocaleChangesNothingOnTheWire)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const char* cPrevious = std::setlocale(LC_ALL, nullptr);
    const std::string saved = cPrevious ? cPrevious : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");

    EXPECT_EQ(Operate_SetPower(2, 45.5), 0);
    Model().LayerTable[12].Rate = 2.5;
    Model().LayerTable[12].Final_Thick = 1.234;
    EXPECT_EQ(Layer_Set(12, 0), 0);
    peer.accept("1,25 2,1234");
    Model().LayerTable[12].Rate = 0.0;
    EXPECT_EQ(Layer_Get(12, 0), 0);
    EXPECT_DOUBLE_EQ(Model().LayerTable[12].Rate, 2.5);
    EXPECT_DOUBLE_EQ(Model().LayerTable[12].Final_Thick, 1.234);

    std::setlocale(LC_ALL, saved.c_str());
    QLocale::setDefault(previous);
    EXPECT_EQ(peer.commands.at(0), "S2 455");
    EXPECT_TRUE(peer.commands.at(1).startsWith("D12  1,25 2,1234 3,"));
}

} // namespace
