// dcx700ctl upload and download against a hand-written instrument on a local
// TCP port: the exact command texts, the database written, the retry limit per
// record and the exit codes.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/cli/clitestkit.h"
#include "tests/common/testfiles.h"

namespace {

using clitest::CtlRun;
using clitest::ScriptedInstrument;

QByteArray n(int v)
{
    return QByteArray::number(v);
}

// "1,v 2,v .. count,v"
QByteArray fields(int count, int value)
{
    QByteArrayList f;
    for (int i = 1; i <= count; ++i)
        f << n(i) + ',' + n(value);
    return f.join(' ');
}

// " 1 2 .. count"
QByteArray items(int count)
{
    QByteArray t;
    for (int i = 1; i <= count; ++i)
        t += ' ' + n(i);
    return t;
}

QByteArray layerQuery(int slot)
{
    return 'D' + n(slot) + '?' + items(24);
}

// A layer reply: film 1, output 1, the given links, in use.
QByteArray layerReply(int next, int coDep)
{
    QByteArrayList f;
    for (int i = 1; i <= 24; ++i) {
        const int v = i == 6 || i == 21 ? 1 : i == 22 ? next : i == 23 ? coDep : i == 7 || i == 8 ? 250 : 0;
        f << n(i) + ',' + n(v);
    }
    return f.join(' ');
}

// The replies to the header items "C<p>? 1" .. "C<p>? 4".
void header(ScriptedInstrument& inst, int p, const QByteArrayList& values)
{
    for (int i = 0; i < values.size(); ++i)
        inst.replies['C' + n(p) + "? " + n(i + 1)] = {values[i]};
}

// An instrument with empty processes P1..P100, films F1..F50, materials
// M1..M100 (density 2.70, Z-factor 1.500) and every system value answered.
void fillInstrument(ScriptedInstrument& inst)
{
    inst.replies["@"] = {"DCX-700 TEST"};
    for (int p = 1; p <= 100; ++p)
        header(inst, p, {"P" + n(p), "0", "-1", "0"});
    for (int f = 1; f <= 50; ++f) {
        inst.replies["A1 " + n(f) + '?'] = {"F" + n(f)};
        inst.replies["A2 " + n(f) + '?' + items(9)] = {"1,10 2,5 3,0 4,2 5,1 6,100 7,0 8,0 9,0"};
        inst.replies["A3 " + n(f) + '?' + items(11)] = {fields(11, 0)};
        inst.replies["A4 " + n(f) + '?' + items(8)] = {fields(8, 0)};
    }
    for (int m = 1; m <= 100; ++m) {
        inst.replies['F' + n(m) + "? 1"] = {"M" + n(m)};
        inst.replies['F' + n(m) + "? 2"] = {"270"};
        inst.replies['F' + n(m) + "? 3"] = {"1500"};
    }
    inst.replies["B? " + items(13)] = {"1,50 2,90 3,91 4,92 5,0 6,50 7,60 8,50 9,50 10,50 11,50 12,95 13,96"};
    inst.replies["G?" + items(16)] = {fields(16, 3)};
    inst.replies["H?" + items(16)] = {fields(16, 4)};
}

class CliTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile ini(dir.filePath(QStringLiteral("empty.ini")));
        ini.open(QIODevice::WriteOnly);
        fillInstrument(inst);
    }
    CtlRun run(const QStringList& args)
    {
        QStringList all{QStringLiteral("--ini"), dir.filePath(QStringLiteral("empty.ini")),
                        QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(inst.port())};
        inst.commands.clear();
        return clitest::runCtl(dir.path(), all + args);
    }
    // The dump line that starts with prefix, split at ", ".
    QStringList dumpLine(const QString& prefix)
    {
        const CtlRun r = run({QStringLiteral("dump"), QStringLiteral("--db"), db});
        for (const QString& line : QString::fromUtf8(r.out).split(QLatin1Char('\n')))
            if (line.startsWith(prefix + QLatin1Char(',')))
                return line.split(QStringLiteral(", "));
        return {};
    }
    int count(const QByteArray& command) const { return static_cast<int>(inst.commands.count(command)); }

    QTemporaryDir dir;
    QString db = dir.filePath(QStringLiteral("params.mdb"));
    ScriptedInstrument inst;
};

TEST_F(CliTransfer, UploadEndsOnLoopingAndOutOfRangeLayerLinks)
{
    struct Row {
        const char* name;
        QByteArray layers, act;
        QList<QByteArray> replies30_31; // the replies of D30 and D31
        int act30, next30, next31;      // what the file holds
        bool countMessage;
    };
    const Row rows[] = {
        {"30 -> 31 -> 30", "2", "2", {layerReply(31, -1), layerReply(30, -1)}, 2, 31, -1, false},
        {"30 -> 1200", "2", "2", {layerReply(1200, -1), {}}, 1, -1, -1, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(db);
        header(inst, 1, {"Loop", row.layers, "30", row.act});
        inst.replies[layerQuery(30)] = {row.replies30_31[0]};
        inst.replies[layerQuery(31)] = {row.replies30_31[1]};
        const CtlRun r = run({"upload", "--db", db, "--processes"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.err.contains("Layer count error in Process Loop corrected."), row.countMessage);
        const QList<QByteArray> expected{"@", "C1? 1", "C1? 2", "C1? 3", "C1? 4", layerQuery(30)};
        EXPECT_EQ(inst.commands.mid(0, 6), expected);
        EXPECT_EQ(std::tuple(count(layerQuery(30)), count(layerQuery(31))),
                  std::tuple(1, row.next30 == 31 ? 1 : 0));
        EXPECT_EQ(inst.commands.size(), 1 + 400 + 200 + count(layerQuery(30)) + count(layerQuery(31)))
            << "processes and films only, nothing twice";
        EXPECT_EQ(inst.commands.last(), "A4 50?" + items(8));

        const QStringList p1 = dumpLine(QStringLiteral("Process 1"));
        ASSERT_EQ(p1.size(), 2);
        EXPECT_EQ(p1[1], QStringLiteral("Loop            ,30,%1,%1").arg(row.act30));
        EXPECT_EQ(dumpLine(QStringLiteral("Layer 30")).value(1 + 22), QString::number(row.next30));
        EXPECT_TRUE(row.next30 != 31 ||
                    dumpLine(QStringLiteral("Layer 31")).value(1 + 22) == QString::number(row.next31));
    }
}

TEST_F(CliTransfer, RetriesCountPerRecordAndSkippedRecordsExitWith4)
{
    // Density 0.39 forever: each answer re-sends a query that succeeds.
    inst.replies["F1? 2"] = {"39"};
    CtlRun r = run({"upload", "--db", db, "--materials", "--retries", "3"});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    EXPECT_EQ(count("F1? 2"), 4) << "3 retries, then No";
    EXPECT_EQ(r.err.count("M1               Density = 0.39 upload failed.  Retry?"), 4);
    // The material goes on with its Z-factor.
    EXPECT_EQ(std::tuple(count("F1? 3"), count("F100? 3")), std::tuple(1, 1));
    EXPECT_EQ((QStringList{dumpLine(QStringLiteral("Material 1")).value(1),
                           dumpLine(QStringLiteral("Material 2")).value(1)}),
              (QStringList{"M1              ,1.00,1.500", "M2              ,2.70,1.500"}));

    // A refused process header: Retry sends the header from item 1 again.
    inst.replies["C5? 2"] = {"C:"};
    r = run({"upload", "--db", db, "--processes", "--retries", "1"});
    EXPECT_EQ(std::tuple(r.exitCode, count("C5? 1"), count("C5? 2"), count("C6? 1")), std::tuple(4, 2, 2, 1));
    EXPECT_EQ(r.err.count("Upload error. Bad Command. Process: 5"), 2);
}

TEST_F(CliTransfer, DownloadSendsTheFileAsCommandTexts)
{
    header(inst, 1, {"Loop", "1", "30", "2"});
    inst.replies[layerQuery(30)] = {layerReply(-1, 31)};
    inst.replies[layerQuery(31)] = {layerReply(-1, -1)};
    ASSERT_EQ(run({"upload", "--db", db, "--processes"}).exitCode, 0);

    // The system record as the defaults of a new file.
    CtlRun r = run({"download", "--db", db, "--system"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(
        inst.commands,
        (QList<QByteArray>{"@", "B  1,25 2,100 3,100 4,100 5,0 6,50 7,60 8,50 9,50 10,50 11,50 12,100 13,100",
                           "G " + fields(16, 1), "H " + fields(16, 1)}));

    r = run({"download", "--db", db, "--processes"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray layer =
        "1,0 2,0 3,0 4,0 5,0 6,1 7,250 8,250 9,0 10,0 11,0 12,0 13,0 14,0 15,0 16,0 17,0 18,0 "
        "19,0 20,0 21,1 ";
    const QList<QByteArray> head{"@",
                                 "E",
                                 "C1 1,Loop            ",
                                 "C1 2,1",
                                 "C1 3,30",
                                 "C1 4,2",
                                 "D30  " + layer + "22,-1 23,31 24,0",
                                 "D31  " + layer + "22,-1 23,-1 24,0",
                                 "C2 1,P2              ",
                                 "C2 2,0",
                                 "C2 3,-1",
                                 "C2 4,0"};
    EXPECT_EQ(inst.commands.mid(0, head.size()), head);
    EXPECT_TRUE(inst.commands.contains("A1 50 F50") &&
                inst.commands.contains("A2 7 1,10 2,5 3,0 4,2 5,1 6,100 7,0 8,0 9,0"));
    EXPECT_EQ(inst.commands.size(), 1 + 1 + 400 + 2 + 200);

    EXPECT_EQ(run({"download", "--db", dir.filePath(QStringLiteral("none.mdb"))}).exitCode, 3);
    EXPECT_EQ(run({"download", "--db", db, "--bogus"}).exitCode, 64);
}

TEST_F(CliTransfer, DiffListsTheDifferencesAndChangesNeitherSide)
{
    // Process 3: one layer, in slot 20.
    header(inst, 3, {"P3", "1", "20", "1"});
    inst.replies[layerQuery(20)] = {layerReply(-1, -1)};
    ASSERT_EQ(run({"upload", "--db", db}).exitCode, 0);
    const QByteArray saved = readFile(db);
    const CtlRun same = run({"diff", "--db", db});
    EXPECT_EQ(same.exitCode, 0) << same.err.constData();
    EXPECT_TRUE(same.out.isEmpty());

    // The instrument's layer rate (tenths), film 7's name and the period (hundredths) change.
    inst.replies[layerQuery(20)] = {"1,25" + layerReply(-1, -1).mid(3)};
    inst.replies["A1 7?"] = {"Gold"};
    inst.replies["B? " + items(13)] = {"1,25 2,90 3,91 4,92 5,0 6,50 7,60 8,50 9,50 10,50 11,50 12,95 13,96"};
    const CtlRun r = run({"diff", "--db", db});
    EXPECT_EQ(r.exitCode, 5) << r.err.constData();
    EXPECT_EQ(r.out, "Process 3 Layer 20: Rate 0.0 (PC) vs 2.5 (instrument)\n"
                     "Film 7: name \"F7\" (PC) vs \"Gold\" (instrument)\n"
                     "System: Period 0.5 (PC) vs 0.25 (instrument)\n");
    for (const QByteArray& c : inst.commands)
        EXPECT_TRUE(c == "@" || c.contains('?')) << "not a query: " << c.constData();
    EXPECT_EQ(readFile(db), saved) << "the file is left as it was";
}

} // namespace
