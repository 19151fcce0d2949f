#include "process/processedit.h"
#include "process/processeditor.h"
#include "process/processtree.h"
#include "tests/process/processfixture.h"

#include "store/model.h"
#include "support/scripteddialogs.h"

#include <QSet>
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
};

void expectShape(const ParameterModel& m, int process, const Shape& want)
{
    const ProcessRecord& p = m.ProcessTable[size_t(process)];
    std::vector<int> members;
    for (const WalkStep& w : WalkProcess(m, process).steps)
        members.push_back(w.slot);
    EXPECT_EQ(members, want.members) << "walk";
    EXPECT_EQ(p.First_Layer, want.first) << "First_Layer";
    EXPECT_EQ(p.Number_Layers, want.groups) << "Number_Layers";
    EXPECT_EQ(p.Number_Act_Layers, want.layers) << "Number_Act_Layers";
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
    EXPECT_EQ(tree.nodes()[0].text, "Optic           ") << "first text";
    EXPECT_EQ(tree.nodes().size(), 100u + 2 * (3 + 4 + 1));
    EXPECT_EQ(processNodes(tree, 1), QStringList({"L10,P1=Layer 1.2", "F3,P1,L10=Film3", "L11,P1=->Layer 1.3",
                                                  "F4,P1,L11=Film4", "L12,P1=Layer 2", "F5,P1,L12=Film5"}));
    EXPECT_EQ(tree.find("L11,P1")->parentKey, "P1") << "layer's parent";
    EXPECT_EQ(tree.find("F4,P1,L11")->parentKey, "L11,P1") << "film's parent";
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
        {"delete the only layer", false, "L30,P4", 4, {{}, -1, 0, 0}},
        {"delete a primary with partners", false, "L10,P1", 1, {{11, 12}, 11, 2, 2}},
        {"delete a primary with two partners", false, "L20,P3", 3, {{21, 22, 23}, 21, 2, 3}},
        {"delete a middle partner", false, "L21,P3", 3, {{20, 22, 23}, 20, 2, 3}},
        {"delete the last partner", false, "L22,P3", 3, {{20, 21, 23}, 20, 2, 3}},
        {"delete the last step", false, "L12,P1", 1, {{10, 11}, 10, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel model = sampleModel();
        if (c.insert) {
            EXPECT_EQ(InsertLayer(model, c.key).slot, 1) << "slot";
            EXPECT_EQ(model.LayerTable[1].Film_Number, 1) << "Film_Number";
            EXPECT_EQ(model.LayerTable[1].Layer_Free, 0) << "Layer_Free";
        } else {
            const int slot = GetNum(c.key, 1);
            ASSERT_TRUE(DeleteLayer(model, c.key));
            EXPECT_TRUE(IsLayerFree(model.LayerTable[size_t(slot)])) << "links and film of the freed slot";
            EXPECT_EQ(model.LayerTable[size_t(slot)].Layer_Free, 1) << "Layer_Free";
        }
        expectShape(model, c.process, c.expected);
        EXPECT_EQ(Working().CurProcess, c.process);
        for (const LayerRecord& l : model.LayerTable) // links are slots or -1, never 0
            EXPECT_TRUE(l.Next_Layer != 0 && l.CoDep_Layer != 0);
    }
}

TEST_F(ProcessTreeTest, CoDepInsertRules)
{
    // A partner after 11 in process 1: 11 leaves the group through the new slot.
    EXPECT_EQ(InsertCoDep(m, "L10,P1", "Layer 1.2").slot, 1);
    expectShape(m, 1, {{10, 11, 1, 12}, 10, 2, 4});
    // Deleting the middle partner hands its place to slot 1.
    ParameterModel copy = m;
    ASSERT_TRUE(DeleteLayer(copy, "L11,P1"));
    expectShape(copy, 1, {{10, 1, 12}, 10, 2, 3});
    // Group of three gets a fourth, not a fifth (no message).
    EXPECT_EQ(InsertCoDep(m, "L20,P3", "Layer 1.1").slot, 2);
    EXPECT_EQ(Working().CurProcess, 3);
    EXPECT_FALSE(InsertCoDep(m, "L20,P3", "Layer 1.1").inserted());
    EXPECT_EQ(m.ProcessTable[3].Number_Act_Layers, 5);
    EXPECT_TRUE(dlg.messages.isEmpty());
    // Not a primary layer: the message, nothing changed.
    const ParameterModel before = m;
    for (const auto& [key, text] :
         {std::pair{"L11,P1", "->Layer 1.3"}, std::pair{"P2", "Empty"}, std::pair{"P5", "Lens"}})
        EXPECT_FALSE(InsertCoDep(m, key, text).inserted()) << key;
    EXPECT_EQ(dlg.texts(), QStringList(3, " Click the top layer for this layer number."));
    EXPECT_TRUE(m == before);
}

TEST_F(ProcessTreeTest, NoFreeSlotOrNoSlotChangesNothing)
{
    // Keys that name no slot or no process change nothing, not even the
    // current process; nor does deleting a film node.
    Working().CurProcess = 7;
    for (const char* key : {"L0,P1", "L1001,P1", "L10,P0", "L10,P101"}) {
        EXPECT_FALSE(DeleteLayer(m, key)) << key;
        EXPECT_FALSE(InsertLayer(m, key).inserted()) << key;
    }
    EXPECT_FALSE(DeleteLayer(m, "F3,P1,L10")) << "a film node";
    EXPECT_EQ(Working().CurProcess, 7) << "CurProcess";
    EXPECT_TRUE(m == sampleModel());
    EXPECT_EQ(InsertLayer(m, "P100").process, 100);
    m = sampleModel();
    for (LayerRecord& l : m.LayerTable)
        if (IsLayerFree(l))
            l.Film_Number = 1; // a film makes a slot taken
    const ParameterModel before = m;
    EXPECT_FALSE(InsertLayer(m, "P2").inserted());
    EXPECT_FALSE(InsertCoDep(m, "L10,P1", "Layer 1.2").inserted());

    EXPECT_TRUE(m == before);
    EXPECT_TRUE(dlg.messages.isEmpty());
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
        {"duplicate of process 100", {"proc100", "Unique"}, "Unique", {"Duplicate Name @ Process #100."}},
        {"duplicate of process 1", {"optic", "Unique"}, "Unique", {"Duplicate Name @ Process #1."}},
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
        EXPECT_EQ(RenameProcess(model, 2), c.stored != "Empty") << "changed";
        EXPECT_EQ(model.ProcessTable[2].Process_Name.trimmed(), c.stored);
        EXPECT_EQ(d.texts(), c.messages);
        EXPECT_EQ(d.prompts.size(), qsizetype(c.answers.size())) << "prompts";
        EXPECT_EQ(d.prompts.value(0), "Enter new name:");
    }
}

TEST_F(ProcessTreeTest, EditingALoopingProcessCutsTheLoopFirst)
{
    struct Case {
        const char* name;
        std::vector<L> loop; // process 2 "Loop" from slot 1
        int groups, layers;
        const char* op;
        const char* key;
        Shape expected;
    };
    const std::vector<L> steps = {{1, 1, 2, -1}, {2, 2, 1, -1}};
    const std::vector<L> partners = {{1, 1, -1, 2}, {2, 2, -1, 1}};
    const Case cases[] = {
        {"delete the first layer of 1 -> 2 -> 1", steps, 3, 3, "delete", "L1,P2", {{2}, 2, 1, 1}},
        {"insert after 1 -> 2 -> 1", steps, 3, 3, "insert", "L2,P2", {{1, 2, 3}, 1, 3, 3}},
        {"partner in 1 -> 2 -> 1", steps, 3, 3, "codep", "L1,P2", {{1, 3, 2}, 1, 2, 3}},
        {"a loop just past the count", steps, 2, 2, "insert", "L2,P2", {{1, 2, 3}, 1, 3, 3}},
        {"partners looping", partners, 1, 3, "delete", "L1,P2", {{2}, 2, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel model = sampleModel();
        link(model, 2, "Loop", 1, c.groups, c.layers, c.loop);
        ProcessTree tree;
        tree.rebuild(model);
        EXPECT_EQ(processNodes(tree, 2).size(), 4) << "each slot of the loop shown once";
        ScriptedDialogs d;
        ScopedDialogs s(d);
        const QString op = QLatin1String(c.op);
        if (op == "delete")
            EXPECT_TRUE(DeleteLayer(model, c.key));
        else if (op == "insert")
            EXPECT_EQ(InsertLayer(model, c.key).slot, 3);
        else
            EXPECT_EQ(InsertCoDep(model, c.key, "Layer 1").slot, 3);
        expectShape(model, 2, c.expected);
        ASSERT_EQ(d.messages.size(), 1);
        EXPECT_TRUE(d.messages[0].text.startsWith("Process 'Loop' loops back to one of its own layers.\n"
                                                  "The loop was cut after Layer "));
        // The next insert elsewhere takes no slot that process 2 still reaches.
        InsertLayer(model, "L30,P4");
        std::vector<int> owner(MaxLayers + 1, 0);
        for (int p = 1; p <= MaxProcesses; ++p) {
            for (const WalkStep& w : WalkProcess(model, p).steps) {
                EXPECT_FALSE(IsLayerFree(model.LayerTable[size_t(w.slot)])) << "slot " << w.slot;
                EXPECT_TRUE(owner[size_t(w.slot)] == 0 || owner[size_t(w.slot)] == p) << "slot " << w.slot;
                owner[size_t(w.slot)] = p;
            }
        }
        tree.rebuild(model);
        QSet<QString> keys;
        for (const TreeNode& n : tree.nodes()) {
            EXPECT_FALSE(keys.contains(n.key)) << "key used twice: " << n.key.toStdString();
            keys.insert(n.key);
        }
    }
}
