// Parameter memory: the demo set and the state file. Every family written and
// read back through the program's own commands is tests/commands/test_simroundtrip.

#include "simtestclient.h"

#include "sim/simdemo.h"
#include "sim/simstatefile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

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
