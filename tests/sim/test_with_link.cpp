// The program's own link talking to the simulator in-process: what other
// tests get when they put a SimPeer behind the link.

#include "link/modcomm.h"
#include "sim/simcontrol.h"
#include "sim/simpeer.h"
#include "support/config.h"

#include <gtest/gtest.h>

namespace {

class SimWithLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        Comm_ResetLink();
        Config().CheckSumOn = 1;
        Comm_UseInProcessPeer(&peer);
    }
    void TearDown() override { Comm_ResetLink(); }

    SimPeer peer;
};

} // namespace

TEST_F(SimWithLink, ConnectsIdentifiesAndTransacts)
{
    ASSERT_TRUE(Comm_Connect());
    EXPECT_TRUE(Comm_Online());
    EXPECT_EQ(Comm_InstrumentID(), "DCX-700 SIM 4.20");

    EXPECT_EQ(Comm_SendCommand("C4? 1"), "NiCr CoDep");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::Ok);
    EXPECT_EQ(Comm_SendCommand("D12  1,25 2,1234 24,1"), "");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::Ok);
    EXPECT_EQ(Comm_SendCommand("D12? 2"), "1234");
    EXPECT_EQ(Comm_SendCommand("V"), "0 0.0 1 1 0");

    // refusals map to the link's status codes
    Comm_SendCommand("Q");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::BadCommand);
    Comm_SendCommand("D1001? 1");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::BadData);
    Comm_SendCommand("U 3");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::BadMode);

    // with the checksum option off the simulator still answers
    Config().CheckSumOn = 0;
    EXPECT_EQ(Comm_SendCommand("B?  1"), "25");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::Ok);
}

TEST_F(SimWithLink, FaultsReachTheLinkAsItsStatusCodes)
{
    ASSERT_TRUE(Comm_Connect());
    SimControl control(peer.instrument());

    ASSERT_EQ(control.execute("corrupt 1"), "ok");
    EXPECT_EQ(Comm_SendCommand("@"), "");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::ChecksumError);

    ASSERT_EQ(control.execute("answer B 1"), "ok");
    Comm_SendCommand("V");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::NotReady);

    ASSERT_EQ(control.execute("garbage 3"), "ok");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Comm_SendCommand("F3? 1"), "Gold");
        EXPECT_EQ(Comm_GetStatus(), linkstatus::Ok);
    }

    ASSERT_EQ(control.execute("bad-field 1"), "ok");
    const QString v = Comm_SendCommand("V");
    EXPECT_EQ(Comm_GetStatus(), linkstatus::Ok) << "a bad field is the command layer's to catch";
    EXPECT_EQ(v.split(' ').size(), 5);
    EXPECT_NE(v, "0 0.0 1 1 0");
}
