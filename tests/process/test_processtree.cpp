#include "process/processedit.h"
#include "process/processeditor.h"
#include "process/processtree.h"
#include "tests/process/processfixture.h"

#include "store/model.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

using namespace proctest;

namespace {

// Key and text of every layer and film node of a process, in order.
QStringList layerNodes(const std::vector<TreeNode>& nodes)
{
    QStringList out;
    for (const TreeNode& n : nodes)
        out << n.key + QLatin1Char('=') + n.text.trimmed();
    return out;
}

QStringList processNodes(const ProcessTree& tree, int process)
{
    std::vector<TreeNode> sub;
    for (const TreeNode& n : tree.nodes())
        if (n.parentKey == ProcessKey(process) || (n.key.startsWith('F') && GetNum(n.key, 2) == process))
            sub.push_back(n);
    return layerNodes(sub);
}

// The members a process's walk reaches, with the counts.
struct Shape {
    std::vector<int> members;
    int first, groups, layers;
    bool operator==(const Shape&) const = default;
};

Shape shape(const ParameterModel& m, int process)
{
    Shape s{{},
            m.ProcessTable[size_t(process)].First_Layer,
            m.ProcessTable[size_t(process)].Number_Layers,
            m.ProcessTable[size_t(process)].Number_Act_Layers};
    for (const WalkStep& w : WalkProcess(m, process).steps)
        s.members.push_back(w.slot);
    return s;
}

class ProcessTreeTest : public ::testing::Test {
protected:
    ParameterModel m = sampleModel();
    ScriptedDialogs dlg;
    ScopedDialogs scoped{dlg};
};

} // namespace

TEST_F(ProcessTreeTest, FullRebuildAndRefreshTexts)
{
    ProcessTree tree;
    tree.rebuild(m);
    ASSERT_GE(tree.nodes().size(), 100u);
    EXPECT_EQ((QStringList{tree.nodes()[0].key, tree.nodes()[0].text, tree.nodes()[99].key}),
              (QStringList{"P1", "Optic           ", "P100"}));
    EXPECT_EQ(tree.nodes().size(), 100u + 2 * (3 + 4 + 1));
    EXPECT_EQ(processNodes(tree, 1), QStringList({"L10,P1=Layer 1.2", "F3,P1,L10=Film3", "L11,P1=->Layer 1.3",
                                                  "F4,P1,L11=Film4", "L12,P1=Layer 2", "F5,P1,L12=Film5"}));
    EXPECT_EQ((QStringList{tree.find("L11,P1")->parentKey, tree.find("F4,P1,L11")->parentKey}),
              (QStringList{"P1", "L11,P1"}));
    // The single-process refresh gives every primary its output number.
    EXPECT_EQ(layerNodes(ProcessLayerNodes(m, 1, true)),
              QStringList({"L10,P1=Layer 1.2", "F3,P1,L10=Film3", "L11,P1=->Layer 1.3", "F4,P1,L11=Film4",
                           "L12,P1=Layer 2.1", "F5,P1,L12=Film5"}));
}

TEST_F(ProcessTreeTest, InsertAndDeleteFollowTheLinkRules)
{
    // First free slot in the sample set is 1.
    struct Case {
        const char* name;
        bool insert;
        const char* key;
        int process;
        Shape expected;
    };
    const Case cases[] = {
        {"insert into an empty process", true, "P2", 2, {{1}, 1, 1, 1}},
        {"insert as first step", true, "P1", 1, {{1, 10, 11, 12}, 1, 3, 4}},
        {"insert below a partner goes after the group", true, "L11,P1", 1, {{10, 11, 1, 12}, 10, 3, 4}},
        {"insert below a primary goes after its group", true, "L20,P3", 3, {{20, 21, 22, 1, 23}, 20, 3, 5}},
        {"insert after the last step", true, "L12,P1", 1, {{10, 11, 12, 1}, 10, 3, 4}},
        {"delete the only layer", false, "L30,P4", 4, {{}, -1, 0, 0}},
        {"delete a primary with partners", false, "L10,P1", 1, {{11, 12}, 11, 2, 2}},
        {"delete a primary with two partners", false, "L20,P3", 3, {{21, 22, 23}, 21, 2, 3}},
        {"delete a middle partner", false, "L21,P3", 3, {{20, 22, 23}, 20, 2, 3}},
        {"delete the last partner", false, "L22,P3", 3, {{20, 21, 23}, 20, 2, 3}},
        {"delete the last step", false, "L12,P1", 1, {{10, 11}, 10, 1, 2}},
        {"delete a step reached by Next_Layer", false, "L23,P3", 3, {{20, 21, 22}, 20, 1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel model = sampleModel();
        if (c.insert) {
            const InsertResult r = InsertLayer(model, c.key);
            EXPECT_EQ(std::tuple(r.slot, model.LayerTable[1].Film_Number, model.LayerTable[1].Layer_Free),
                      std::tuple(1, 1, 0));
        } else {
            const int slot = GetNum(c.key, 1);
            ASSERT_TRUE(DeleteLayer(model, c.key));
            const LayerRecord& freed = model.LayerTable[size_t(slot)];
            EXPECT_EQ(std::tuple(freed.Layer_Free, freed.Film_Number, freed.Next_Layer, freed.CoDep_Layer),
                      std::tuple(1, -1, -1, -1));
        }
        EXPECT_EQ(shape(model, c.process), c.expected);
        EXPECT_EQ(Working().CurProcess, c.process);
    }
}

TEST_F(ProcessTreeTest, CoDepInsertRules)
{
    // A partner after 11 in process 1: 11 leaves the group through the new slot.
    EXPECT_EQ(InsertCoDep(m, "L10,P1", "Layer 1.2").slot, 1);
    EXPECT_EQ(shape(m, 1), (Shape{{10, 11, 1, 12}, 10, 2, 4}));
    EXPECT_EQ(std::tuple(m.LayerTable[11].Next_Layer, m.LayerTable[1].Next_Layer), std::tuple(-1, 12));
    // Group of three gets a fourth, not a fifth (no message).
    EXPECT_EQ(InsertCoDep(m, "L20,P3", "Layer 1.1").slot, 2);
    EXPECT_FALSE(InsertCoDep(m, "L20,P3", "Layer 1.1").inserted());
    EXPECT_TRUE(shape(m, 3).layers == 5 && dlg.messages.isEmpty());
    // Not a primary layer: the message, nothing changed.
    const ParameterModel before = m;
    for (const auto& [key, text] :
         {std::pair{"L11,P1", "->Layer 1.3"}, std::pair{"P2", "Empty"}, std::pair{"P5", "Lens"}})
        EXPECT_FALSE(InsertCoDep(m, key, text).inserted()) << key;
    EXPECT_EQ(dlg.texts(), QStringList(3, " Click the top layer for this layer number."));
    EXPECT_TRUE(m == before);
}

TEST_F(ProcessTreeTest, NoFreeSlotChangesNothing)
{
    for (LayerRecord& l : m.LayerTable)
        if (IsLayerFree(l))
            l.Film_Number = 1; // a film makes a slot taken
    const ParameterModel before = m;
    EXPECT_FALSE(InsertLayer(m, "P2").inserted());
    EXPECT_FALSE(InsertCoDep(m, "L10,P1", "Layer 1.2").inserted());
    EXPECT_TRUE(m == before && dlg.messages.isEmpty());
}

TEST_F(ProcessTreeTest, RenameDialog)
{
    struct Case {
        const char* name;
        std::vector<std::optional<QString>> answers;
        QString stored;
        QStringList messages;
    };
    const Case cases[] = {
        {"plain", {"  New Name  "}, "New Name", {}},
        {"20 characters keep their first 16", {"ABCDEFGHIJKLMNOPQRST"}, "ABCDEFGHIJKLMNOP", {}},
        {"duplicate in another letter case asks again",
         {"optic", "Unique"},
         "Unique",
         {"Duplicate Name @ Process #1."}},
        {"same name in another case is no change", {"EMPTY"}, "Empty", {}},
        {"empty answer", {""}, "Empty", {}},
        {"cancel", {std::nullopt}, "Empty", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel model = sampleModel();
        ScriptedDialogs d;
        ScopedDialogs s(d);
        for (const auto& a : c.answers)
            d.answerInput(a);
        RenameProcess(model, 2);
        EXPECT_EQ(model.ProcessTable[2].Process_Name.trimmed(), c.stored);
        EXPECT_EQ(d.texts(), c.messages);
        EXPECT_EQ(std::tuple(d.prompts.size(), d.prompts.value(0)),
                  std::tuple(qsizetype(c.answers.size()), QString("Enter new name:")));
    }
}
