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
    Shape s{{}, m.ProcessTable[size_t(process)].First_Layer, m.ProcessTable[size_t(process)].Number_Layers,
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

TEST(ProcessKeys, GetNumReadsEachField)
{
    EXPECT_EQ(GetNum("F3,P12,L407", 1), 3);
    EXPECT_EQ(GetNum("F3,P12,L407", 2), 12);
    EXPECT_EQ(GetNum("F3,P12,L407", 3), 407);
    EXPECT_EQ(GetNum("F-1,P2,L9", 1), -1);
    EXPECT_EQ(GetNum("P7", 2), 0);
    EXPECT_EQ(FilmKey(3, 12, 407), "F3,P12,L407");
    EXPECT_EQ(LayerKey(407, 12), "L407,P12");
}

TEST_F(ProcessTreeTest, FullRebuildAndRefreshTexts)
{
    ProcessTree tree;
    tree.rebuild(m);
    ASSERT_GE(tree.nodes().size(), 100u);
    EXPECT_EQ(tree.nodes()[0].key, "P1");
    EXPECT_EQ(tree.nodes()[0].text, "Optic           ");
    EXPECT_EQ(tree.nodes()[99].key, "P100");
    EXPECT_EQ(tree.nodes().size(), 100u + 2 * (3 + 4 + 1));
    EXPECT_EQ(processNodes(tree, 1),
              QStringList({"L10,P1=Layer 1.2", "F3,P1,L10=Film3", "L11,P1=->Layer 1.3", "F4,P1,L11=Film4",
                           "L12,P1=Layer 2", "F5,P1,L12=Film5"}));
    EXPECT_EQ(tree.find("L11,P1")->parentKey, "P1");
    EXPECT_EQ(tree.find("F4,P1,L11")->parentKey, "L11,P1");
    // The single-process refresh gives every primary its output number.
    EXPECT_EQ(layerNodes(ProcessLayerNodes(m, 1, true)),
              QStringList({"L10,P1=Layer 1.2", "F3,P1,L10=Film3", "L11,P1=->Layer 1.3", "F4,P1,L11=Film4",
                           "L12,P1=Layer 2.1", "F5,P1,L12=Film5"}));
}

TEST_F(ProcessTreeTest, ExpandedStateKeptByPositionForEveryNode)
{
    // 1000 layers in process 1: 2,100 nodes, positions far beyond 1000.
    for (int s = 1; s <= MaxLayers; ++s) {
        LayerRecord& l = m.LayerTable[size_t(s)];
        l = LayerRecord();
        l.Layer_Free = 0;
        l.Film_Number = 1;
        l.Next_Layer = qint16(s < MaxLayers ? s + 1 : -1);
    }
    for (int p = 1; p <= MaxProcesses; ++p)
        m.ProcessTable[size_t(p)] = ProcessRecord();
    m.ProcessTable[1] = ProcessRecord{"Big", 1000, 1, 1000};
    ProcessTree tree;
    tree.rebuild(m);
    ASSERT_EQ(tree.nodes().size(), 2100u);
    for (const char* key : {"P1", "P50", "L600,P1", "L1000,P1"})
        tree.setExpanded(key, true);
    tree.rebuild(m);
    std::vector<size_t> expanded;
    for (size_t i = 0; i < tree.nodes().size(); ++i)
        if (tree.nodes()[i].expanded)
            expanded.push_back(i);
    // Positions: processes 0..99, then layer s at 100 + 2 (s - 1).
    EXPECT_EQ(expanded, (std::vector<size_t>{0, 49, 100 + 2 * 599, 100 + 2 * 999}));
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
            EXPECT_EQ(r.slot, 1);
            EXPECT_EQ(model.LayerTable[1].Film_Number, 1);
            EXPECT_EQ(model.LayerTable[1].Layer_Free, 0);
        } else {
            const int slot = GetNum(c.key, 1);
            ASSERT_TRUE(DeleteLayer(model, c.key));
            const LayerRecord& freed = model.LayerTable[size_t(slot)];
            EXPECT_EQ(freed.Layer_Free, 1);
            EXPECT_EQ(freed.Film_Number, -1);
            EXPECT_EQ(freed.Next_Layer, -1);
            EXPECT_EQ(freed.CoDep_Layer, -1);
            EXPECT_EQ(freed.Output_Number, model.LayerTable[size_t(slot)].Output_Number);
        }
        EXPECT_EQ(shape(model, c.process), c.expected);
        EXPECT_EQ(Working().CurProcess, c.process);
    }
}

TEST_F(ProcessTreeTest, DeletingThePrimaryOfThreeRenumbersTheGroup)
{
    ASSERT_TRUE(DeleteLayer(m, "L20,P3"));
    ProcessTree tree;
    tree.rebuild(m);
    EXPECT_EQ(processNodes(tree, 3),
              QStringList({"L21,P3=Layer 1.2", "F2,P3,L21=Film2", "L22,P3=->Layer 1.3", "F3,P3,L22=Film3",
                           "L23,P3=Layer 2", "F4,P3,L23=Film4"}));
}

TEST_F(ProcessTreeTest, CoDepInsertRules)
{
    // A partner after 11 in process 1: 11 leaves the group through the new slot.
    EXPECT_EQ(InsertCoDep(m, "L10,P1", "Layer 1.2").slot, 1);
    EXPECT_EQ(shape(m, 1), (Shape{{10, 11, 1, 12}, 10, 2, 4}));
    EXPECT_EQ(m.LayerTable[11].Next_Layer, -1);
    EXPECT_EQ(m.LayerTable[1].Next_Layer, 12);
    // Group of three gets a fourth, not a fifth (no message).
    EXPECT_EQ(InsertCoDep(m, "L20,P3", "Layer 1.1").slot, 2);
    EXPECT_FALSE(InsertCoDep(m, "L20,P3", "Layer 1.1").inserted());
    EXPECT_EQ(shape(m, 3).layers, 5);
    EXPECT_TRUE(dlg.messages.isEmpty());
    // Not a primary layer: the message, nothing changed.
    const ParameterModel before = m;
    for (const auto& [key, text] : {std::pair{"L11,P1", "->Layer 1.3"}, std::pair{"P2", "Empty"},
                                    std::pair{"P5", "Lens"}}) {
        EXPECT_FALSE(InsertCoDep(m, key, text).inserted());
    }
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
        {"20 characters keep their first 16", {"ABCDEFGHIJKLMNOPQRST"}, "ABCDEFGHIJKLMNOP", {}},
        {"duplicate in another letter case asks again", {"optic", "Unique"}, "Unique",
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
        EXPECT_EQ(d.prompts.size(), qsizetype(c.answers.size()));
        EXPECT_EQ(d.prompts.value(0), "Enter new name:");
    }
}

TEST_F(ProcessTreeTest, NodeClickDispatchAndArming)
{
    ProcessEditor ed(m);
    ed.UpdateTreeView();
    int layerEdits = 0;
    int filmEdits = 0;
    ed.setEditors({[&] { ++layerEdits; m.LayerTable[size_t(Working().CurLayer)].Film_Number = 7; return true; },
                   [&] { ++filmEdits; return false; }, {}, {}});

    EXPECT_TRUE(ed.arm(ProcessEditor::Armed::DeleteLayer));
    EXPECT_FALSE(ed.arm(ProcessEditor::Armed::InsertLayer)); // one at a time
    // Delete armed, a film node is edited instead and the arm stays.
    EXPECT_EQ(ed.nodeClick("F5,P1,L12").kind, ProcessEditor::TreeChange::None);
    EXPECT_EQ(filmEdits, 1);
    EXPECT_EQ(Working().CurFilm, 5);
    EXPECT_EQ(ed.armed(), ProcessEditor::Armed::DeleteLayer);
    EXPECT_EQ(ed.nodeClick("L12,P1").kind, ProcessEditor::TreeChange::Rebuilt);
    EXPECT_EQ(ed.armed(), ProcessEditor::Armed::None);
    EXPECT_EQ(m.ProcessTable[1].Number_Act_Layers, 2);

    // Insert armed, click the empty process: refreshed, process expanded.
    ed.arm(ProcessEditor::Armed::InsertLayer);
    const auto change = ed.nodeClick("P2");
    EXPECT_EQ(change.kind, ProcessEditor::TreeChange::Refreshed);
    EXPECT_EQ(change.scrollTo, "L1,P2");
    EXPECT_TRUE(ed.tree().find("P2")->expanded);
    EXPECT_EQ(ed.tree().find("L1,P2")->text, "Layer 1.1");

    // Co-dep armed on a partner: refused and disarmed.
    ed.arm(ProcessEditor::Armed::InsertCoDep);
    EXPECT_EQ(ed.nodeClick("L11,P1").kind, ProcessEditor::TreeChange::None);
    EXPECT_EQ(ed.armed(), ProcessEditor::Armed::None);

    // Nothing armed, a layer: its editor; a changed film rebuilds.
    m.LayerTable[30].Film_Number = 6;
    EXPECT_EQ(ed.nodeClick("L10,P1").kind, ProcessEditor::TreeChange::Rebuilt);
    EXPECT_EQ(layerEdits, 1);
    EXPECT_EQ(Working().CurLayer, 10);

    // A process node: rename, text of its node.
    dlg.answerInput(QStringLiteral("Renamed"));
    const auto renamed = ed.nodeClick("P4");
    EXPECT_EQ(renamed.kind, ProcessEditor::TreeChange::Text);
    EXPECT_EQ(ed.tree().find("P4")->text.trimmed(), "Renamed");
}
