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
        rec() = {Name16("Gold"), 19.3, 0.381};
    }
    static MaterialRecord& rec() { return Model().MaterialTable[5]; }
    // Reads item of material 5 from reply; refused() answers No to the retry question.
    int ask(int item, const char* reply)
    {
        peer.accept(reply);
        return Material_Get(5, item);
    }
    int refused(int item, const char* reply)
    {
        dlg.answer(MsgResult::No);
        return ask(item, reply);
    }

    ScriptedPeer peer;
    PeerLink link{peer};
    ScriptedDialogs dlg;
    ScopedDialogs scoped{dlg};
};

TEST_F(Materials, DensityLimits)
{
    EXPECT_EQ(ask(2, "40"), 0);
    EXPECT_DOUBLE_EQ(rec().Density, 0.4);
    EXPECT_TRUE(dlg.messages.isEmpty());
    EXPECT_EQ(ask(2, "9999"), 0);
    EXPECT_DOUBLE_EQ(rec().Density, 99.99);

    // "abc" is not a number: it reads as 0.
    for (const char* reply : {"39", "10000", "abc"})
        EXPECT_EQ(refused(2, reply), 0) << reply;
    EXPECT_DOUBLE_EQ(rec().Density, 99.99);
    EXPECT_EQ(dlg.texts(), QStringList({kName + " Density = 0.39 upload failed.  Retry?",
                                        kName + " Density = 100 upload failed.  Retry?",
                                        kName + " Density = 0 upload failed.  Retry?"}));
    EXPECT_EQ(dlg.messages.first().buttons, MsgButtons::YesNo);
}

TEST_F(Materials, ZFactorLimits)
{
    EXPECT_EQ(ask(3, "9999"), 0);
    EXPECT_DOUBLE_EQ(rec().ZFactor, 9.999);
    EXPECT_EQ(ask(3, "100"), 0);
    EXPECT_DOUBLE_EQ(rec().ZFactor, 0.1);
    for (const char* reply : {"10000", "99"})
        EXPECT_EQ(refused(3, reply), 0) << reply;
    EXPECT_DOUBLE_EQ(rec().ZFactor, 0.1);
    EXPECT_EQ(dlg.texts(), QStringList({kName + " ZFactor = 10 upload failed.  Retry?",
                                        kName + " ZFactor = 0.099 upload failed.  Retry?"}));
}

} // namespace
