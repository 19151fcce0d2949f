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

} // namespace
