// Materials check what they receive and ask the operator whether to retry.
#include "commands/modcommmaterial.h"
#include "scriptedpeer.h"
#include "store/model.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

namespace {

const QString kName = QStringLiteral("Gold            ");

class Materials : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultParameters();
        rec().Material = "Gold";
        rec().Density = 19.3;
        rec().ZFactor = 0.381;
    }
    static MaterialRecord& rec() { return Model().MaterialTable[5]; }

    ScriptedPeer peer;
    PeerLink link{peer};
    ScriptedDialogs dlg;
    ScopedDialogs scoped{dlg};
};

TEST_F(Materials, DensityLimits)
{
    peer.accept("40");
    EXPECT_EQ(Material_Get(5, 2), 0);
    EXPECT_DOUBLE_EQ(rec().Density, 0.4);
    EXPECT_TRUE(dlg.messages.isEmpty());

    peer.accept("9999");
    EXPECT_EQ(Material_Get(5, 2), 0);
    EXPECT_DOUBLE_EQ(rec().Density, 99.99);

    dlg.answer(MsgResult::No);
    peer.accept("39");
    EXPECT_EQ(Material_Get(5, 2), 0);
    dlg.answer(MsgResult::No);
    peer.accept("10000");
    EXPECT_EQ(Material_Get(5, 2), 0);
    dlg.answer(MsgResult::No);
    peer.accept("abc"); // not a number: reads as 0
    EXPECT_EQ(Material_Get(5, 2), 0);
    EXPECT_DOUBLE_EQ(rec().Density, 99.99);
    EXPECT_EQ(dlg.texts(), QStringList({
        kName + " Density = 0.39 upload failed.  Retry?",
        kName + " Density = 100 upload failed.  Retry?",
        kName + " Density = 0 upload failed.  Retry?"}));
    EXPECT_EQ(dlg.messages.first().buttons, MsgButtons::YesNo);
}

TEST_F(Materials, ZFactorLimits)
{
    peer.accept("9999");
    EXPECT_EQ(Material_Get(5, 3), 0);
    EXPECT_DOUBLE_EQ(rec().ZFactor, 9.999);
    peer.accept("100");
    EXPECT_EQ(Material_Get(5, 3), 0);
    EXPECT_DOUBLE_EQ(rec().ZFactor, 0.1);

    dlg.answer(MsgResult::No);
    peer.accept("10000");
    EXPECT_EQ(Material_Get(5, 3), 0);
    dlg.answer(MsgResult::No);
    peer.accept("99");
    EXPECT_EQ(Material_Get(5, 3), 0);
    EXPECT_DOUBLE_EQ(rec().ZFactor, 0.1);
    EXPECT_EQ(dlg.texts(), QStringList({
        kName + " ZFactor = 10 upload failed.  Retry?",
        kName + " ZFactor = 0.099 upload failed.  Retry?"}));
}

TEST_F(Materials, RetryAsksAgainAndNoGoesOn)
{
    // Empty name: prompt with the number, No keeps the name, upload goes on.
    peer.accept("");
    dlg.answer(MsgResult::No);
    peer.accept("39");      // density refused...
    dlg.answer(MsgResult::Yes);
    peer.accept("270");     // ...and good on the second try
    peer.accept("1234 extra");
    EXPECT_EQ(Material_Get(5, 0), 0);
    EXPECT_EQ(peer.commands, QStringList({"F5? 1", "F5? 2", "F5? 2", "F5? 3"}));
    EXPECT_EQ(dlg.texts(), QStringList({
        "Material # 5 name upload failed.  Retry?",
        kName + " Density = 0.39 upload failed.  Retry?"}));
    EXPECT_EQ(rec().Material.text(), kName);
    EXPECT_DOUBLE_EQ(rec().Density, 2.7);
    EXPECT_DOUBLE_EQ(rec().ZFactor, 1.234);

    // Only the first word of a name is taken.
    peer.accept("Silver Oxide");
    EXPECT_EQ(Material_Get(5, 1), 0);
    EXPECT_EQ(rec().Material.text(), QStringLiteral("Silver          "));
}

TEST_F(Materials, LinkFailuresReturnWithoutAPrompt)
{
    peer.accept("Gold");
    peer.refuse('B');
    EXPECT_EQ(Material_Get(5, 0), -1);
    EXPECT_EQ(Comm_GetStatus(), 3);
    EXPECT_EQ(peer.commands, QStringList({"F5? 1", "F5? 2"}));
    EXPECT_TRUE(dlg.messages.isEmpty());
    EXPECT_DOUBLE_EQ(rec().Density, 19.3);

    peer.refuse('D');
    EXPECT_EQ(Material_Set(5, 2), 5);
    EXPECT_TRUE(dlg.messages.isEmpty());
}

TEST_F(Materials, DownloadPromptsWhenTheReplyCarriesData)
{
    rec().Density = 2.7;
    peer.accept("ERR");
    dlg.answer(MsgResult::Yes);
    peer.accept(""); // the second try is accepted
    EXPECT_EQ(Material_Set(5, 2), 0);
    EXPECT_EQ(peer.commands, QStringList({"F5 2,270", "F5 2,270"}));
    EXPECT_EQ(dlg.texts(), QStringList({kName + " Density = 2.7 download failed.  Retry?"}));

    // No ends the item with the link status and the next item follows.
    peer.commands.clear();
    dlg.messages.clear();
    peer.accept("?");
    dlg.answer(MsgResult::No);
    EXPECT_EQ(Material_Set(5, 0), 0);
    EXPECT_EQ(peer.commands, QStringList({"F5 1,Gold            ", "F5 2,270", "F5 3,381"}));
    EXPECT_EQ(dlg.texts(), QStringList({kName + " material name download failed.  Retry?"}));

    peer.accept("x");
    dlg.answer(MsgResult::No);
    EXPECT_EQ(Material_Set(5, 3), 0);
    EXPECT_EQ(dlg.texts().last(), kName + " ZFactor = 0.381 download failed.  Retry?");
}

TEST_F(Materials, RefusedBeforeSending)
{
    rec().Density = 3.0e7; // 3e9 hundredths: beyond 32 bits
    EXPECT_EQ(Material_Set(5, 0), 5);
    EXPECT_EQ(Material_Set(5, 2), 5);
    EXPECT_EQ(Material_Get(0, 1), -1);
    EXPECT_EQ(Material_Get(101, 0), -1);
    EXPECT_EQ(Material_Set(5, 4), 5);
    EXPECT_TRUE(peer.commands.isEmpty());
}

} // namespace
