// Parameter memory: every family written and read back, the demo set, the state file.

#include "simtestclient.h"

#include "sim/simdemo.h"
#include "sim/simstatefile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace simtest;

namespace {

QByteArray n(int v)
{
    return QByteArray::number(v);
}

// n,value fields for items 1..count from a generator.
template <typename F>
QByteArray itemFields(int count, F value)
{
    QByteArray s;
    for (int i = 1; i <= count; ++i)
        s += ' ' + n(i) + ',' + n(value(i));
    return s;
}

QByteArray itemQuery(int count)
{
    QByteArray s;
    for (int i = 1; i <= count; ++i)
        s += ' ' + n(i);
    return s;
}

// A valid wire value for layer item i of layer l, different for every layer.
int layerValue(int l, int i)
{
    switch (i) {
    case 1: case 15: case 19: return l % 1000;            // rates, tenths
    case 2: case 4: case 14: case 18: return l * 97;      // thicknesses, Å
    case 3: case 16: case 20: return l * 5;               // times
    case 6: return 1 + l % 4;                             // output
    case 7: case 8: return l % 1001;                      // powers
    case 21: return l % 2 ? -1 : 1 + l % 50;              // film
    case 22: return l % 3 ? -1 : 1 + (l * 7) % 1000;     // next layer
    case 23: return l % 5 ? -1 : 1 + (l * 11) % 1000;    // partner
    default: return (l + i) % 2;                          // switches
    }
}

int filmValue(int f, int group, int i)
{
    static const int g2Max[] = {0, 999, 999, 999, 100, 8, 399, 9, 9, 1};
    static const int g4Max[] = {0, 3600, 999, 2, 999, 2, 999, 3600, 3600};
    if (group == 2)
        return i == 4 || i == 6 ? 10 + (f * 3) % (g2Max[i] - 9) : (f + i) % (g2Max[i] + 1);
    if (group == 3)
        return (i == 1 || i == 4 || i == 7 || i == 9) ? (f * 19 + i) % 1001 : (f * 71 + i) % 3601;
    return (f * 13 + i) % (g4Max[i] + 1);
}

} // namespace

TEST(SimParameters, WholeParameterSetWrittenAndReadBackEqual)
{
    SimInstrument sim;
    Client c(sim);
    ASSERT_EQ(c.ask("E").status, 'A');

    for (int p = 1; p <= kSimProcesses; ++p) {
        const QByteArray name = SimMemory::name16("Run " + n(p * 3));
        ASSERT_EQ(c.ask('C' + n(p) + " 1," + name).status, 'A');
        ASSERT_EQ(c.ask('C' + n(p) + " 2," + n(p % 7)).status, 'A');
        ASSERT_EQ(c.ask('C' + n(p) + " 3," + n(p * 10)).status, 'A');
        ASSERT_EQ(c.ask('C' + n(p) + " 4," + n(p % 9)).status, 'A');
    }
    for (int l = 1; l <= kSimLayers; ++l)
        ASSERT_EQ(c.ask('D' + n(l) + ' ' + itemFields(24, [l](int i) { return layerValue(l, i); })).status, 'A') << l;
    for (int f = 1; f <= kSimFilms; ++f) {
        ASSERT_EQ(c.ask("A1 " + n(f) + " Film-" + n(f * 2)).status, 'A');
        for (int g = 2; g <= 4; ++g) {
            const int count = kFilmGroupItems[g - 2];
            const QByteArray cmd = 'A' + n(g) + ' ' + n(f) + itemFields(count, [f, g](int i) { return filmValue(f, g, i); });
            ASSERT_EQ(c.ask(cmd).status, 'A') << cmd.constData();
        }
    }
    for (int m = 1; m <= kSimMaterials; ++m) {
        ASSERT_EQ(c.ask('F' + n(m) + " 1," + SimMemory::name16("Mat" + n(m))).status, 'A');
        ASSERT_EQ(c.ask('F' + n(m) + " 2," + n(40 + m * 97)).status, 'A');
        ASSERT_EQ(c.ask('F' + n(m) + " 3," + n(100 + m * 98)).status, 'A');
    }
    const int system[] = {0, 15, 250, 11, 399, 1, 45, 62, -35, 100, -100, 0, 120, 10};
    ASSERT_EQ(c.ask("B " + itemFields(13, [&](int i) { return system[i]; })).status, 'A');
    ASSERT_EQ(c.ask('G' + itemFields(16, [](int i) { return i * 2; })).status, 'A');
    ASSERT_EQ(c.ask('H' + itemFields(16, [](int i) { return 69 - i; })).status, 'A');

    // read everything back, item by item and whole records
    for (int p = 1; p <= kSimProcesses; ++p) {
        EXPECT_EQ(c.value('C' + n(p) + "? 1"), SimMemory::name16("Run " + n(p * 3)));
        EXPECT_EQ(c.value('C' + n(p) + "? 2"), n(p % 7));
        EXPECT_EQ(c.value('C' + n(p) + "? 3"), n(p * 10));
        EXPECT_EQ(c.value('C' + n(p) + "? 4"), n(p % 9));
    }
    for (int l = 1; l <= kSimLayers; ++l) {
        const QByteArray expected = itemFields(24, [l](int i) { return layerValue(l, i); }).mid(1);
        ASSERT_EQ(c.value('D' + n(l) + '?' + itemQuery(24)), expected) << l;
    }
    EXPECT_EQ(c.value("D10? 6"), n(layerValue(10, 6)));
    EXPECT_EQ(c.value("D10? 21"), n(layerValue(10, 21)));
    for (int f = 1; f <= kSimFilms; ++f) {
        EXPECT_EQ(c.value("A1 " + n(f) + '?'), SimMemory::name16("Film-" + n(f * 2)));
        for (int g = 2; g <= 4; ++g) {
            const int count = kFilmGroupItems[g - 2];
            EXPECT_EQ(c.value('A' + n(g) + ' ' + n(f) + '?' + itemQuery(count)),
                      itemFields(count, [f, g](int i) { return filmValue(f, g, i); }).mid(1));
        }
    }
    EXPECT_EQ(c.value("A3 7? 4"), n(filmValue(7, 3, 4)));
    for (int m = 1; m <= kSimMaterials; ++m) {
        EXPECT_EQ(c.value('F' + n(m) + "? 1"), SimMemory::name16("Mat" + n(m)));
        EXPECT_EQ(c.value('F' + n(m) + "? 2"), n(40 + m * 97));
        EXPECT_EQ(c.value('F' + n(m) + "? 3"), n(100 + m * 98));
    }
    EXPECT_EQ(c.value("B? " + itemQuery(13)), itemFields(13, [&](int i) { return system[i]; }).mid(1));
    EXPECT_EQ(c.value("B?  12"), "120");  // Xtool3 is item 12, not 3
    EXPECT_EQ(c.value("G?" + itemQuery(16)), itemFields(16, [](int i) { return i * 2; }).mid(1));
    EXPECT_EQ(c.value("H?" + itemQuery(16)), itemFields(16, [](int i) { return 69 - i; }).mid(1));

    // names: trailing blanks padded, a shorter one padded to 16
    ASSERT_EQ(c.ask("C5 1,Test").status, 'A');
    EXPECT_EQ(c.value("C5? 1"), "Test            ");
    ASSERT_EQ(c.ask("A1 5   Gold  ").status, 'A');
    EXPECT_EQ(c.value("A1 5?"), "Gold            ");

    // the state file holds exactly this memory
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("sim.state");
    QString error;
    ASSERT_TRUE(SaveSimState(path, sim.memory(), 4, &error)) << error.toStdString();
    SimMemory loaded;
    int selected = 1;
    ASSERT_TRUE(LoadSimState(path, loaded, selected, &error)) << error.toStdString();
    EXPECT_TRUE(loaded == sim.memory());
    EXPECT_EQ(selected, 4);
}

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
    // a missing file is an error, not a crash
    EXPECT_FALSE(LoadSimState("/nonexistent/dir/sim.state", target, selected, &error));
    EXPECT_FALSE(error.isEmpty());
}
