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

TEST_F(CommandTexts, ProcessHeaderItems)
{
    ProcessRecord& p = Model().ProcessTable[7];
    p = {Name16("Test"), 3, -1, 4};
    EXPECT_EQ(Process_Get(7, 2), 0) << "Process_Get(7, 2)";
    EXPECT_EQ(Process_Set(7, 2), 0) << "Process_Set(7, 2)";
    EXPECT_EQ(Process_Set(7, 1), 0) << "Process_Set(7, 1)";
    EXPECT_EQ(Process_Set(7, 0), 0) << "Process_Set(7, 0)";
    EXPECT_EQ(Process_SendE(), 0) << "Process_SendE";
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
    l.Rate = 2.5;
    l.Final_Thick = 1.234;
    l.Time_Setpoint = 90;
    l.Thick_Limit = 0.5;
    l.Start_Mode = 0;
    l.Output_Number = 3;
    l.Max_Power1 = 45.5;
    l.Slew_Rate1 = 12.3;
    l.Sensor1 = 1;
    l.Sensor2 = 0;
    l.Sensor3 = 1;
    l.Sensor4 = 0;
    l.Ramp1_Enabled = 1.0;
    l.Ramp1_Start = 0.75;
    l.Ramp1_Rate = 1.5;
    l.Ramp1_Time = 30;
    l.Ramp2_Enabled = 0.0;
    l.Ramp2_Start = 1.1;
    l.Ramp2_Rate = 0.5;
    l.Ramp2_Time = 45;
    l.Film_Number = 7;
    l.Next_Layer = -1;
    l.CoDep_Layer = 13;
    l.Layer_Free = 1;

    EXPECT_EQ(Layer_Set(12, 0), 0) << "Layer_Set(12, 0)";
    EXPECT_EQ(Layer_Set(12, 5), 0) << "Layer_Set(12, 5)";
    EXPECT_EQ(Layer_Set(12, 2), 0) << "Layer_Set(12, 2)";
    peer.accept("0");
    EXPECT_EQ(Layer_Get(12, 5), 0);
    peer.accept("");
    Layer_Get(12, 0);
    EXPECT_EQ(peer.commands,
              QStringList({"D12  1,25 2,1234 3,90 4,500 5,0 6,3 7,455 8,123 9,1 10,0 11,1 12,0 13,1 14,750 "
                           "15,15 16,30 17,0 18,1100 19,5 20,45 21,7 22,-1 23,13 24,1",
                           "D12  5,0", "D12  2,1234", "D12? 5",
                           "D12? 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24"}));
}

TEST_F(CommandTexts, LayerRefusalsSendNothing)
{
    Model().LayerTable[3].Rate = 3276.8; // 32768 tenths: beyond 16 bits
    EXPECT_EQ(Layer_Set(3, 0), 5) << "Layer_Set(3, 0)";
    EXPECT_EQ(Layer_Set(3, 1), 5) << "Layer_Set(3, 1)";
    EXPECT_EQ(Layer_Get(0, 0), -1) << "Layer_Get(0, 0)";
    EXPECT_EQ(Layer_Get(1001, 1), -1) << "Layer_Get(1001, 1)";
    EXPECT_EQ(Layer_Set(1001, 0), 5) << "Layer_Set(1001, 0)";
    EXPECT_EQ(Layer_Get(5, 25), -1) << "Layer_Get(5, 25)";
    EXPECT_EQ(Comm_GetStatus(), 5);
    EXPECT_TRUE(peer.commands.isEmpty());

    // 100,000,000 Å still fits 32 bits.
    Model().LayerTable[3].Rate = 3276.7;
    Model().LayerTable[3].Final_Thick = 100000.0;
    EXPECT_EQ(Layer_Set(3, 1), 0) << "Layer_Set(3, 1)";
    EXPECT_EQ(Layer_Set(3, 2), 0) << "Layer_Set(3, 2)";
    EXPECT_EQ(peer.commands, QStringList({"D3  1,32767", "D3  2,100000000"}));
}

TEST_F(CommandTexts, FilmWholeDownloadAndUpload)
{
    FilmRecord& f = Model().FilmTable[3];
    f.Film_Name = "Gold";
    f.Pterm = 12;
    f.Iterm = 2.5;
    f.Dterm = 0.5;
    f.Material_Index = 2;
    f.Pocket = 1;
    f.Tooling = 95;
    f.Crystal_Quality = 10;
    f.Crystal_Stability = 20;
    f.Crystal_Fail = 1;
    f.Ramp1_Power = 10.5;
    f.Ramp1_Time = 30;
    f.Soak1_Time = 40;
    f.Ramp2_Power = 20.0;
    f.Ramp2_Time = 50;
    f.Soak2_Time = 60;
    f.Idle_Power = 5.5;
    f.Idle_Ramp_Time = 70;
    f.Feed_Power = 15.0;
    f.Feed_Ramp = 80;
    f.Feed_Time = 90;
    f.Shutter_Delay = 3;
    f.Capture = 2.5;
    f.Control_Error = 2;
    f.Control_Error_Percent = 12.5;
    f.Sampling = 1;
    f.Sample_Accuracy = 1.5;
    f.Sample_Hold = 4;
    f.Sample_Time = 6;

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
    EXPECT_EQ(Film_Set(4), 5) << "Film_Set(4)";
    EXPECT_EQ(Film_Set(51), 5) << "Film_Set(51)";
    EXPECT_EQ(Film_Get(0, 0), -1) << "Film_Get(0, 0)";
    EXPECT_EQ(Film_Get(4, 210), -1) << "Film_Get(4, 210)";
    EXPECT_TRUE(peer.commands.isEmpty()); // not even the name went out
}

TEST_F(CommandTexts, MaterialItems)
{
    MaterialRecord& m = Model().MaterialTable[5];
    m = {Name16("Gold"), 2.7, 1.234};
    EXPECT_EQ(Material_Set(5, 0), 0) << "Material_Set(5, 0)";
    EXPECT_EQ(Material_Set(5, 2), 0) << "Material_Set(5, 2)";
    peer.accept("Gold");
    peer.accept("270");
    peer.accept("1234");
    EXPECT_EQ(Material_Get(5, 0), 0) << "Material_Get(5, 0)";
    EXPECT_EQ(Material_Set(101, 1), 5) << "Material_Set(101, 1)";
    EXPECT_EQ(Material_Get(5, 4), -1) << "Material_Get(5, 4)";
    EXPECT_EQ(peer.commands, QStringList({"F5 1,Gold            ", "F5 2,270", "F5 3,1234", "F5 2,270",
                                          "F5? 1", "F5? 2", "F5? 3"}));
}

TEST_F(CommandTexts, SystemInputsRelays)
{
    SystemRecord& s = Model().SystemParams;
    s.Xtool3 = 97;
    s.Power_Scale_3 = 7.5;
    for (int n = 0; n < 16; ++n) {
        Model().InputTable[n].Input_Type = static_cast<qint16>(n % 4);
        Model().OutputTable[n].Output_Type = static_cast<qint16>(20 + n);
    }
    Model().InputTable[0].Input_Type = 3;

    EXPECT_EQ(System_Set(0), 0) << "System_Set(0)";
    EXPECT_EQ(System_Set(6), 0) << "System_Set(6)";
    EXPECT_EQ(Inputs_Set(), 0) << "Inputs_Set";
    EXPECT_EQ(Relays_Set(), 0) << "Relays_Set";
    Inputs_Get();
    Relays_Get();
    System_Get(0);
    System_Get(5);
    EXPECT_EQ(System_Get(14), -1) << "System_Get(14)";
    EXPECT_EQ(System_Set(-1), 5) << "System_Set(-1)";
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
    EXPECT_EQ(Operate_SetPower(2, 45.5), 0) << "Operate_SetPower(2, 45.5)";
    EXPECT_EQ(Operate_SetPower(1, 12.34), 0) << "Operate_SetPower(1, 12.34)";
    EXPECT_EQ(Operate_SetPower(0, 77.7), 0) << "Operate_SetPower(0, 77.7)";
    EXPECT_EQ(Operate_SetPower(3, 0.25), 0) << "Operate_SetPower(3, 0.25)";
    EXPECT_EQ(Operate_Command(0), 0) << "Operate_Command(0)";
    EXPECT_EQ(Operate_Command(32), 0) << "Operate_Command(32)";
    EXPECT_EQ(Operate_SetPower(5, 10.0), 0) << "Operate_SetPower(5, 10.0)";
    EXPECT_EQ(Operate_SetPower(1, 4000.0), 5) << "Operate_SetPower(1, 4000.0)";
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

    // "T 0" is sent; the header query that follows refuses process 0.
    peer.commands.clear();
    EXPECT_EQ(Operate_SelectProcess(0), 5);
    EXPECT_EQ(peer.commands, QStringList{"T 0"});
}

} // namespace
