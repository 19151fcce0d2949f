// Exact command texts each family puts on the wire, written out by hand.
#include "commands/modcommdata.h"
#include "commands/modcommfilm.h"
#include "commands/modcommlayer.h"
#include "commands/modcommmaterial.h"
#include "commands/modcommoperate.h"
#include "commands/modcommprocess.h"
#include "commands/modcommsystem.h"
#include "scriptedpeer.h"
#include "store/model.h"

#include <gtest/gtest.h>

namespace {

// The calls of a braced tuple run left to right, so their commands go out in order.
class CommandTexts : public ::testing::Test {
protected:
    void SetUp() override { SetDefaultParameters(); }
    ScriptedPeer peer;
    PeerLink link{peer};
};

QString numbers(int from, int to)
{
    QString s;
    for (int i = from; i <= to; ++i)
        s += QLatin1Char(' ') + QString::number(i);
    return s;
}

TEST_F(CommandTexts, ProcessHeaderItems)
{
    ProcessRecord& p = Model().ProcessTable[7];
    p = {Name16("Test"), 3, -1, 4};
    EXPECT_EQ((std::tuple{Process_Get(7, 2), Process_Set(7, 2), Process_Set(7, 1), Process_Set(7, 0),
                          Process_SendE()}),
              std::tuple(0, 0, 0, 0, 0));
    EXPECT_EQ(peer.commands, QStringList({"C7? 2", "C7 2,0", "C7 1,Test            ", "C7 1,Test            ",
                                          "C7 2,0", "C7 3,-1", "C7 4,4", "E"}));
}

TEST_F(CommandTexts, ProcessItemsBeyondFourAndBadNumbers)
{
    EXPECT_EQ(Process_Get(7, 5), 0);   // sent, nothing stored
    EXPECT_EQ(Process_Set(7, 5), 0);   // nothing sent
    EXPECT_EQ(Process_Get(101, 1), 5); // refused before sending
    EXPECT_EQ(Process_Set(0, 1), 5);
    EXPECT_EQ(Comm_GetStatus(), 5);
    EXPECT_EQ(peer.commands, QStringList({"C7? 5"}));
}

TEST_F(CommandTexts, LayerSingleAndWhole)
{
    LayerRecord& l = Model().LayerTable[12];
    // In wire order, items 1 to 24.
    std::tie(l.Rate, l.Final_Thick, l.Time_Setpoint, l.Thick_Limit, l.Start_Mode, l.Output_Number,
             l.Max_Power1, l.Slew_Rate1) = std::tuple(2.5, 1.234, 90, 0.5, 0, 3, 45.5, 12.3);
    std::tie(l.Sensor1, l.Sensor2, l.Sensor3, l.Sensor4, l.Ramp1_Enabled, l.Ramp1_Start, l.Ramp1_Rate,
             l.Ramp1_Time) = std::tuple(1, 0, 1, 0, 1.0, 0.75, 1.5, 30);
    std::tie(l.Ramp2_Enabled, l.Ramp2_Start, l.Ramp2_Rate, l.Ramp2_Time, l.Film_Number, l.Next_Layer,
             l.CoDep_Layer, l.Layer_Free) = std::tuple(0.0, 1.1, 0.5, 45, 7, -1, 13, 1);

    EXPECT_EQ((std::tuple{Layer_Set(12, 0), Layer_Set(12, 5), Layer_Set(12, 2)}), std::tuple(0, 0, 0));
    peer.accept("0");
    EXPECT_EQ(Layer_Get(12, 5), 0);
    peer.accept("");
    Layer_Get(12, 0);
    EXPECT_EQ(peer.commands,
              QStringList({"D12  1,25 2,1234 3,90 4,500 5,0 6,3 7,455 8,123 9,1 10,0 11,1 12,0 13,1 14,750 "
                           "15,15 16,30 17,0 18,1100 19,5 20,45 21,7 22,-1 23,13 24,1",
                           "D12  5,0", "D12  2,1234", "D12? 5", "D12?" + numbers(1, 24)}));
    EXPECT_EQ(peer.commands.last(), "D12? 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24");
}

TEST_F(CommandTexts, LayerRefusalsSendNothing)
{
    Model().LayerTable[3].Rate = 3276.8; // 32768 tenths: beyond 16 bits
    EXPECT_EQ((std::tuple{Layer_Set(3, 0), Layer_Set(3, 1), Layer_Get(0, 0), Layer_Get(1001, 1),
                          Layer_Set(1001, 0), Layer_Get(5, 25)}),
              std::tuple(5, 5, -1, -1, 5, -1));
    EXPECT_EQ(Comm_GetStatus(), 5);
    EXPECT_TRUE(peer.commands.isEmpty());

    // 100,000,000 Å still fits 32 bits.
    std::tie(Model().LayerTable[3].Rate, Model().LayerTable[3].Final_Thick) = std::tuple(3276.7, 100000.0);
    EXPECT_EQ((std::tuple{Layer_Set(3, 1), Layer_Set(3, 2)}), std::tuple(0, 0));
    EXPECT_EQ(peer.commands, QStringList({"D3  1,32767", "D3  2,100000000"}));
}

TEST_F(CommandTexts, FilmWholeDownloadAndUpload)
{
    FilmRecord& f = Model().FilmTable[3];
    f.Film_Name = "Gold";
    std::tie(f.Pterm, f.Iterm, f.Dterm, f.Material_Index, f.Pocket, f.Tooling, f.Crystal_Quality,
             f.Crystal_Stability, f.Crystal_Fail) = std::tuple(12, 2.5, 0.5, 2, 1, 95, 10, 20, 1);
    std::tie(f.Ramp1_Power, f.Ramp1_Time, f.Soak1_Time, f.Ramp2_Power, f.Ramp2_Time, f.Soak2_Time,
             f.Idle_Power, f.Idle_Ramp_Time, f.Feed_Power, f.Feed_Ramp, f.Feed_Time) =
        std::tuple(10.5, 30, 40, 20.0, 50, 60, 5.5, 70, 15.0, 80, 90);
    std::tie(f.Shutter_Delay, f.Capture, f.Control_Error, f.Control_Error_Percent, f.Sampling,
             f.Sample_Accuracy, f.Sample_Hold, f.Sample_Time) = std::tuple(3, 2.5, 2, 12.5, 1, 1.5, 4, 6);

    EXPECT_EQ(Film_Set(3), 0);
    EXPECT_EQ(peer.commands, QStringList({"A1 3 Gold", "A2 3 1,12 2,25 3,5 4,2 5,1 6,95 7,10 8,20 9,1",
                                          "A3 3 1,105 2,30 3,40 4,200 5,50 6,60 7,55 8,70 9,150 10,80 11,90",
                                          "A4 3 1,3 2,25 3,2 4,125 5,1 6,15 7,4 8,6"}));

    peer.commands.clear();
    peer.accept("Gold");
    peer.accept("1,12");
    peer.accept("1,105");
    peer.accept("1,3");
    EXPECT_EQ(Film_Get(3, 0), 0);
    EXPECT_EQ(Film_Get(3, 304), -1); // an empty reply is no number
    EXPECT_EQ(peer.commands, QStringList({"A1 3?", "A2 3? 1 2 3 4 5 6 7 8 9", "A3 3? 1 2 3 4 5 6 7 8 9 10 11",
                                          "A4 3? 1 2 3 4 5 6 7 8", "A3 3? 4"}));
}

TEST_F(CommandTexts, FilmRefusals)
{
    Model().FilmTable[4].Iterm = 5000.0; // 50000 tenths does not fit
    EXPECT_EQ((std::tuple{Film_Set(4), Film_Set(51), Film_Get(0, 0), Film_Get(4, 210)}),
              std::tuple(5, 5, -1, -1));
    EXPECT_TRUE(peer.commands.isEmpty()); // not even the name went out
}

TEST_F(CommandTexts, MaterialItems)
{
    MaterialRecord& m = Model().MaterialTable[5];
    m = {Name16("Gold"), 2.7, 1.234};
    EXPECT_EQ((std::tuple{Material_Set(5, 0), Material_Set(5, 2)}), std::tuple(0, 0));
    peer.accept("Gold");
    peer.accept("270");
    peer.accept("1234");
    EXPECT_EQ((std::tuple{Material_Get(5, 0), Material_Set(101, 1), Material_Get(5, 4)}),
              std::tuple(0, 5, -1));
    EXPECT_EQ(peer.commands, QStringList({"F5 1,Gold            ", "F5 2,270", "F5 3,1234", "F5 2,270",
                                          "F5? 1", "F5? 2", "F5? 3"}));
}

TEST_F(CommandTexts, SystemInputsRelays)
{
    SystemRecord& s = Model().SystemParams;
    std::tie(s.Xtool3, s.Power_Scale_3) = std::tuple(97, 7.5);
    for (int n = 0; n < 16; ++n) {
        Model().InputTable[n].Input_Type = static_cast<qint16>(n % 4);
        Model().OutputTable[n].Output_Type = static_cast<qint16>(20 + n);
    }
    Model().InputTable[0].Input_Type = 3;

    EXPECT_EQ((std::tuple{System_Set(0), System_Set(6), Inputs_Set(), Relays_Set()}), std::tuple(0, 0, 0, 0));
    Inputs_Get(), Relays_Get(), System_Get(0), System_Get(5);
    EXPECT_EQ((std::tuple{System_Get(14), System_Set(-1)}), std::tuple(-1, 5));
    EXPECT_EQ(peer.commands,
              QStringList(
                  {"B  1,25 2,100 3,100 4,100 5,0 6,50 7,60 8,50 9,50 10,75 11,50 12,97 13,100", "B  6,50",
                   "G 1,3 2,1 3,2 4,3 5,0 6,1 7,2 8,3 9,0 10,1 11,2 12,3 13,0 14,1 15,2 16,3",
                   "H 1,20 2,21 3,22 4,23 5,24 6,25 7,26 8,27 9,28 10,29 11,30 12,31 13,32 14,33 15,34 16,35",
                   "G? 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", "H? 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16",
                   "B?  1 2 3 4 5 6 7 8 9 10 11 12 13", "B?  5"}));
}

TEST_F(CommandTexts, OperateCommands)
{
    // 0.25 is 2.5 tenths: halves go to even. Any other output number goes to
    // the instrument, which judges it.
    EXPECT_EQ((std::tuple{Operate_SetPower(2, 45.5), Operate_SetPower(1, 12.34), Operate_SetPower(0, 77.7),
                          Operate_SetPower(3, 0.25), Operate_Command(0), Operate_Command(32),
                          Operate_SetPower(5, 10.0), Operate_SetPower(1, 4000.0)}),
              std::tuple(0, 0, 0, 0, 0, 0, 0, 5));
    EXPECT_EQ(peer.commands, QStringList({"S2 455", "S1 123", "S0", "S3 2", "U 0", "U 32", "S5 100"}));
}

TEST_F(CommandTexts, SelectProcessReadsItsHeader)
{
    peer.accept();         // T 7
    peer.accept(" Coat "); // name
    peer.accept("2");
    peer.accept("14");
    peer.accept("3");
    EXPECT_EQ(Operate_SelectProcess(7), 0);
    EXPECT_EQ(peer.commands, QStringList({"T 7", "C7? 1", "C7? 2", "C7? 3", "C7? 4"}));
    const ProcessRecord& p = Model().ProcessTable[7];
    EXPECT_EQ(p.Process_Name.text(), QStringLiteral("Coat            "));
    EXPECT_EQ(p.Number_Layers, 2);
    EXPECT_EQ(p.First_Layer, 14);
    EXPECT_EQ(p.Number_Act_Layers, 3);

    // "T 0" is sent; the header query that follows refuses process 0.
    peer.commands.clear();
    EXPECT_EQ(Operate_SelectProcess(0), 5);
    EXPECT_EQ(peer.commands, QStringList{"T 0"});
}

} // namespace
