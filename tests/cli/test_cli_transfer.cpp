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

TEST_F(CliTransfer, UploadThatSkipsRecordsLeavesTheFileAsItWasUnlessToldToSavePartial)
{
    header(inst, 5, {"Cu Seed", "2", "12", "2"});
    inst.replies[layerQuery(12)] = {layerReply(13, -1)};
    inst.replies[layerQuery(13)] = {layerReply(-1, -1)};
    ASSERT_EQ(run({"upload", "--db", db, "--processes"}).exitCode, 0);
    const QByteArray saved = readFile(db);

    inst.replies[layerQuery(13)] = {"C:"};
    CtlRun r = run({"upload", "--db", db, "--processes", "--retries", "0"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(readFile(db), saved) << "byte for byte";
    EXPECT_TRUE(r.err.contains(": not saved, records were skipped (Process 5); the file is as it was."))
        << r.err.constData();
    const QString fresh = dir.filePath(QStringLiteral("fresh.mdb"));
    EXPECT_EQ(run({"upload", "--db", fresh, "--processes", "--retries", "0"}).exitCode, 4);
    EXPECT_FALSE(QFile::exists(fresh)) << "no file was there, none is made";

    r = run({"upload", "--db", db, "--processes", "--retries", "0", "--save-partial"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(dumpLine(QStringLiteral("Process 5")).value(1), "Cu Seed         ,-1,0,0") << "saved, emptied";
    EXPECT_EQ(dumpLine(QStringLiteral("Process 6")).value(1), "P6              ,-1,0,0")
        << "the next process";
}

TEST_F(CliTransfer, RetriesCountPerRecordAndSkippedRecordsExitWith4)
{
    // Density 0.39 forever: each answer re-sends a query that succeeds.
    inst.replies["F1? 2"] = {"39"};
    CtlRun r = run({"upload", "--db", db, "--materials", "--retries", "3", "--save-partial"});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    EXPECT_EQ(count("F1? 2"), 4) << "3 retries, then No";
    EXPECT_EQ(r.err.count("M1               Density = 0.39 upload failed.  Retry?"), 4);
    // The material goes on with its Z-factor.
    EXPECT_EQ(count("F1? 3"), 1);
    EXPECT_EQ(count("F100? 3"), 1);
    EXPECT_EQ(dumpLine(QStringLiteral("Material 1")).value(1), "M1              ,1.00,1.500");
    EXPECT_EQ(dumpLine(QStringLiteral("Material 2")).value(1), "M2              ,2.70,1.500");

    // A refused process header: Retry sends the header from item 1 again.
    inst.replies["C5? 2"] = {"C:"};
    r = run({"upload", "--db", db, "--processes", "--retries", "1"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(count("C5? 1"), 2);
    EXPECT_EQ(count("C6? 1"), 1);
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
    QList<QByteArray> head{"@", "E", "C1 1,Loop            ", "C1 2,1", "C1 3,30", "C1 4,2"};
    head << "D30  " + layer + "22,-1 23,31 24,0";
    head << "D31  " + layer + "22,-1 23,-1 24,0";
    head << QList<QByteArray>{"C2 1,P2              ", "C2 2,0", "C2 3,-1", "C2 4,0"};
    EXPECT_EQ(inst.commands.mid(0, head.size()), head);
    EXPECT_TRUE(inst.commands.contains("A2 7 1,10 2,5 3,0 4,2 5,1 6,100 7,0 8,0 9,0"));
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
    EXPECT_EQ(readFile(db), saved) << "the file is left as it was";
}

} // namespace
