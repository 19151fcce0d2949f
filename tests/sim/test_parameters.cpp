// Parameter memory: the demo set and the state file. Every family written and
// read back through the program's own commands is tests/commands/test_simroundtrip.

#include "simtestclient.h"

#include "sim/simdemo.h"
#include "sim/simstatefile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SimParameters, DemoSetIsConsistent)
{
    SimMemory m;
    LoadDemoSet(m);
    int used = 0;
    int codepPartners = 0;
    std::vector<bool> seen(kSimLayers + 1, false);
    for (int p = 1; p <= kSimProcesses; ++p) {
        const SimProcess& proc = m.process(p);
        EXPECT_EQ(proc.name.size(), 16);
        if (proc.item[kProcessFirst] < 1) {
            EXPECT_EQ(proc.item[kProcessActLayers], 0);
            continue;
        }
        // the canonical walk: Next_Layer when above 0, else CoDep_Layer
        int slot = proc.item[kProcessFirst];
        int groups = 0;
        bool newGroup = true;
        for (int i = 0; i < proc.item[kProcessActLayers]; ++i) {
            ASSERT_GE(slot, 1);
            ASSERT_FALSE(seen[slot]) << "slot in two processes";
            seen[slot] = true;
            ++used;
            const auto& l = m.layer(slot).item;
            groups += newGroup;
            codepPartners += !newGroup;
            EXPECT_EQ(l[kLayerFree], 0);
            EXPECT_GE(l[kLayerFilm], 1);
            EXPECT_TRUE(m.film(l[kLayerFilm]).name.trimmed().size() > 0);
            for (int item = 1; item <= kLayerItems; ++item)
                EXPECT_TRUE(SimMemory::layerRanges()[item].accepts(l[item])) << slot << ':' << item;
            newGroup = l[kLayerNext] > 0;
            slot = newGroup ? l[kLayerNext] : l[kLayerCoDep];
        }
        EXPECT_EQ(slot, -1) << "walk must end at the last layer";
        EXPECT_EQ(groups, proc.item[kProcessLayers]);
    }
    EXPECT_GE(used, 10);
    EXPECT_EQ(codepPartners, 1);
    EXPECT_EQ(m.process(1).name, "Al Mirror       ");
    EXPECT_EQ(m.process(6).name, "Process 6       ");
    EXPECT_EQ(m.film(20).name, "Film 20         ");
    EXPECT_EQ(m.material(3).item[kMaterialDensity], 1930);
    for (int i = 1; i <= kSimMaterials; ++i)
        EXPECT_FALSE(m.material(i).name.trimmed().contains(' ')) << "material names are single words: " << i;
    // free slots follow the blank defaults
    const auto& free = m.layer(kSimLayers).item;
    EXPECT_EQ(free[kLayerFree], 1);
    EXPECT_EQ(free[kLayerFilm], -1);
    EXPECT_EQ(free[kLayerMaxPower], 250);
}

TEST(SimParameters, StateFileRejectsDamageAndKeepsMemory)
{
    SimMemory demo;
    LoadDemoSet(demo);
    const QByteArray text = SimStateText(demo, 2);
    EXPECT_TRUE(text.startsWith("# dcx700-sim parameter memory\n"));
    EXPECT_TRUE(text.contains("\nC1 1,Al Mirror\n"));
    EXPECT_TRUE(text.contains("\nD1  1,10 2,50 "));
    EXPECT_TRUE(text.contains("\nT 2\n"));

    SimMemory target;   // blank: any change shows
    const SimMemory blank;
    int selected = 9;
    QString error;
    // an out-of-range value, a query, a foreign command, a bad process number
    for (const QByteArray& bad : {QByteArray("D3  6,7"), QByteArray("D3? 1"), QByteArray("U 0"), QByteArray("T 0")}) {
        QByteArray damaged = text;
        damaged.replace("\nT 2\n", "\n" + bad + "\nT 2\n");
        EXPECT_FALSE(ParseSimState(damaged, target, selected, &error)) << bad.constData();
        EXPECT_TRUE(error.startsWith("line ")) << error.toStdString();
        EXPECT_TRUE(target == blank);
        EXPECT_EQ(selected, 9);
    }
    // CR LF line ends, blank lines and comments are fine
    QByteArray windows = text;
    windows.replace("\n", "\r\n");
    windows.prepend("\r\n# edited by hand\r\n");
    ASSERT_TRUE(ParseSimState(windows, target, selected, &error)) << error.toStdString();
    EXPECT_TRUE(target == demo);
    EXPECT_EQ(selected, 2);
    // saved and loaded again: the same memory and selection
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("sim.state");
    ASSERT_TRUE(SaveSimState(path, demo, 4, &error)) << error.toStdString();
    SimMemory loaded;
    ASSERT_TRUE(LoadSimState(path, loaded, selected, &error)) << error.toStdString();
    EXPECT_TRUE(loaded == demo);
    EXPECT_EQ(selected, 4);
    // a missing file is an error, not a crash
    EXPECT_FALSE(LoadSimState("/nonexistent/dir/sim.state", target, selected, &error));
    EXPECT_FALSE(error.isEmpty());
}
