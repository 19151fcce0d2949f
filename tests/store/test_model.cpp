#include "store/model.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<ParameterModel> freshModel()
{
    return std::make_unique<ParameterModel>();
}

// Links slot a -> b as the next step (a is the last member of its group).
void linkNext(ParameterModel& m, int a, int b)
{
    m.LayerTable[a].Next_Layer = static_cast<qint16>(b);
}
void linkCoDep(ParameterModel& m, int a, int b)
{
    m.LayerTable[a].CoDep_Layer = static_cast<qint16>(b);
}

void use(ParameterModel& m, std::initializer_list<int> slotList)
{
    for (int s : slotList)
        m.LayerTable[s].Film_Number = 1;
}

std::vector<int> slotsOf(const WalkResult& r)
{
    std::vector<int> out;
    for (const auto& s : r.steps)
        out.push_back(s.slot);
    return out;
}

} // namespace

TEST(Name16, CutsPadsAndTrims)
{
    Name16 longName(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(longName.text(), "ABCDEFGHIJKLMNOP") << "long text";
    EXPECT_EQ(longName.trimmed(), "ABCDEFGHIJKLMNOP") << "long trimmed";

    Name16 shortName;
    shortName = QStringLiteral("SiO");
    EXPECT_EQ(shortName.text(), "SiO             ") << "short text";
    EXPECT_EQ(shortName.trimmed(), "SiO") << "short trimmed";

    // Leading blanks are part of the name; only trailing ones go.
    Name16 lead(QStringLiteral("  x  "));
    EXPECT_EQ(lead.trimmed(), QStringLiteral("  x"));
    EXPECT_EQ(Name16().text(), QString(16, QLatin1Char(' '))) << "empty text";
    EXPECT_EQ(Name16().trimmed(), "") << "empty trimmed";
    EXPECT_EQ(Name16("abc"), Name16(QStringLiteral("abc ")));
}

TEST(FreeSlot, FirstFreeOrNone)
{
    auto m = freshModel();
    EXPECT_EQ(FindFreeLayer(*m), 1);
    use(*m, {1, 2});
    EXPECT_EQ(FindFreeLayer(*m), 3);
    // Any one of the three fields in use makes the slot taken.
    linkNext(*m, 3, 7);
    linkCoDep(*m, 4, 9);
    EXPECT_EQ(FindFreeLayer(*m), 5);
    for (int n = 1; n <= MaxLayers; ++n)
        m->LayerTable[n].Film_Number = 2;
    EXPECT_EQ(FindFreeLayer(*m), 1001);
    m->LayerTable[1000].Film_Number = -1;
    EXPECT_EQ(FindFreeLayer(*m), 1000);
}

TEST(Walk, CoDepositionGroupsInOrder)
{
    auto m = freshModel();
    // One group: primary 10 with partners 20, 30, 40.
    m->ProcessTable[1] = {Name16(), 1, 10, 4};
    use(*m, {10, 20, 30, 40});
    linkCoDep(*m, 10, 20);
    linkCoDep(*m, 20, 30);
    linkCoDep(*m, 30, 40);
    WalkResult r = WalkProcess(*m, 1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(slotsOf(r), (std::vector<int>{10, 20, 30, 40}));
    EXPECT_FALSE(r.steps[0].coDep) << "primary";
    EXPECT_TRUE(r.steps[1].coDep) << "first partner";
    EXPECT_TRUE(r.steps[3].coDep) << "last partner";
    EXPECT_EQ(r.steps[3].position, 4) << "last partner's position";

    // Two steps: group (5, 6) then single layer 2; the group's last member
    // holds the link to the next step.
    m->ProcessTable[2] = {Name16(), 2, 5, 3};
    use(*m, {5, 6, 2});
    linkCoDep(*m, 5, 6);
    linkNext(*m, 6, 2);
    r = WalkProcess(*m, 2);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(slotsOf(r), (std::vector<int>{5, 6, 2}));
    EXPECT_TRUE(r.steps[1].coDep) << "partner 6";
    EXPECT_FALSE(r.steps[2].coDep) << "next step 2";

    // Next_Layer wins over CoDep_Layer when both are set.
    linkCoDep(*m, 6, 99);
    r = WalkProcess(*m, 2);
    EXPECT_EQ(slotsOf(r), (std::vector<int>{5, 6, 2}));
}

TEST(Walk, CountDrivesTheWalk)
{
    auto m = freshModel();
    ProcessRecord& p = m->ProcessTable[3];
    use(*m, {1, 2, 3});
    linkNext(*m, 1, 2);
    linkNext(*m, 2, 3);

    p.First_Layer = 1;

    // Fewer steps than links: stops after the count; the link after the last
    // visited slot is not examined.
    for (int count : {2, 3}) {
        p.Number_Act_Layers = static_cast<qint16>(count);
        const WalkResult r = WalkProcess(*m, 3);
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(slotsOf(r), (count == 2 ? std::vector{1, 2} : std::vector{1, 2, 3})) << count;
    }
}

TEST(Walk, LoopsAreFollowedToTheCountAndReported)
{
    auto m = freshModel();
    ProcessRecord& p = m->ProcessTable[1];
    use(*m, {4, 8});
    p.First_Layer = 4;
    p.Number_Act_Layers = 3;
    linkNext(*m, 4, 8);
    linkNext(*m, 8, 4);
    // The count bounds the walk: slot 4 is visited again.
    WalkResult r = WalkProcess(*m, 1);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.repeatedSlot, 4) << "repeatedSlot";
    EXPECT_EQ(slotsOf(r), (std::vector{4, 8, 4}));
    // Asked to stop there, the walk ends before the repeat.
    r = WalkProcess(*m, 1, WalkLoops::Stop);
    EXPECT_EQ(r.error, WalkError::Cycle);
    EXPECT_EQ(slotsOf(r), (std::vector{4, 8}));

    // Self link through CoDep_Layer.
    linkNext(*m, 4, -1);
    linkCoDep(*m, 4, 4);
    r = WalkProcess(*m, 1);
    EXPECT_EQ(slotsOf(r), (std::vector{4, 4, 4}));
    EXPECT_EQ(WalkProcess(*m, 1, WalkLoops::Stop).error, WalkError::Cycle);
    // No loop: nothing reported.
    linkCoDep(*m, 4, 8);
    linkNext(*m, 8, -1);
    p.Number_Act_Layers = 2;
    EXPECT_FALSE(WalkProcess(*m, 1).loops());

    // The step form: a reader that supplies links as it reads them.
    ProcessWalk w(7, 2);
    ASSERT_FALSE(w.atEnd());
    EXPECT_EQ(w.current().slot, 7);
    w.advance(0, 9); // Next_Layer 0 is not a link: go to the partner
    ASSERT_FALSE(w.atEnd());
    EXPECT_EQ(w.current().slot, 9) << "slot";
    EXPECT_TRUE(w.current().coDep);
    EXPECT_EQ(w.current().position, 2) << "position";
    w.advance(-1, -1);
    EXPECT_TRUE(w.atEnd());
    EXPECT_EQ(w.error(), WalkError::None);
}
