// The compare list between two models (a rate, a film name and the period are
// the transfer test's): times, float noise, layer shapes, unread records.
#include "process/modelcompare.h"
#include "store/model.h"
#include "support/scripteddialogs.h"
#include "tests/common/testfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Process 3: slot 20, then slot 21 co-deposited with it, then slot 30.
ParameterModel base()
{
    ParameterModel m;
    m.ProcessTable[3] = {m.ProcessTable[3].Process_Name, 2, 20, 3};
    m.LayerTable[20].CoDep_Layer = 21;
    m.LayerTable[21].Next_Layer = 30;
    for (int s : {20, 21, 30}) {
        m.LayerTable[s].Layer_Free = 0;
        m.LayerTable[s].Rate = 2.4;
        m.LayerTable[s].Film_Number = 7;
    }
    m.FilmTable[7].Film_Name = "Au";
    return m;
}

TEST(ModelCompare, ListsEachDifferenceOnceInTheEditorsFormat)
{
    using M = ParameterModel&;
    struct Row {
        const char* name;
        std::function<void(M)> changePc;
        QStringList expected;
        CompareFamilies families = {};
        QStringList unread = {};
        QString upTo = {};
    };
    const Row rows[] = {
        {"a time field in h:mm:ss",
         [](M m) { m.FilmTable[2].Soak1_Time = 90; },
         {"Film 2: Soak1 Time 0:01:30 (PC) vs 0:00:00 (instrument)"}},
        {"float noise below 0.1 A/s", [](M m) { m.LayerTable[30].Rate = 2.4000001; }, {}},
        {"a layer only on the PC",
         [](M m) {
             m.LayerTable[30].Next_Layer = 31;
             m.ProcessTable[3].Number_Act_Layers = 4;
             m.ProcessTable[3].Number_Layers = 3;
         },
         {"Process 3: 4 layers in 3 steps (PC) vs 3 layers in 2 steps (instrument)",
          "Process 3 Layer 31: only on the PC"}},
        {"a partner that is a step of its own on the PC",
         [](M m) {
             m.LayerTable[20].CoDep_Layer = -1;
             m.LayerTable[20].Next_Layer = 21;
             m.ProcessTable[3].Number_Layers = 3;
         },
         {"Process 3: 3 layers in 3 steps (PC) vs 3 layers in 2 steps (instrument)",
          "Process 3 Layer 21: a step of its own (PC) vs co-deposited (instrument)"}},
        {"a family not chosen", [](M m) { m.SystemParams.Period = 0.5; }, {}, {true, true, false}},
        {"a record at or after the stop",
         [](M m) {
             m.LayerTable[20].Rate = 2.5;
             m.FilmTable[7].Film_Name = "Gold";
         },
         {"Process 3 Layer 20: Rate 2.5 (PC) vs 2.4 (instrument)"},
         {},
         {},
         "Film 2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ParameterModel instrument = base();
        ParameterModel pc = base();
        row.changePc(pc);
        EXPECT_EQ(CompareModels(pc, instrument, row.families, row.unread, row.upTo), row.expected);
    }
}

TEST(ModelCompare, SaveWritesTheListAsText)
{
    ScriptedDialogs dlg;
    ScopedDialogs use(dlg);
    QTemporaryDir dir;
    const QString path = dir.filePath("diff.txt");
    dlg.answerSave(path);
    ASSERT_TRUE(SaveCompareList({"Film 7: name \"Gold\" (PC) vs \"Au\" (instrument)", "No more."}));
    EXPECT_EQ(readFile(path), "Film 7: name \"Gold\" (PC) vs \"Au\" (instrument)\nNo more.\n");
    EXPECT_EQ(dlg.fileRequests.last().filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(CompareResult{}.lines(), QStringList{"No differences."});
}

} // namespace
