// dcx700ctl status and operate against a hand-written instrument on a local
// TCP port: frames built and checked here, independently of the link code.
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/cli/clitestkit.h"
#include "tests/common/testfiles.h"

namespace {

using clitest::CtlRun;
using FakeInstrument = clitest::ScriptedInstrument;

// An empty configuration: every value at its default; the instrument on --tcp.
CtlRun runCtl(FakeInstrument& inst, const QStringList& args)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("empty.ini"));
    EXPECT_TRUE(writeFile(ini, {}));
    const QStringList all{"--ini", ini, "--tcp", QStringLiteral("127.0.0.1:%1").arg(inst.port())};
    return clitest::runCtl(dir.path(), all + args);
}

void setReadings(FakeInstrument& inst)
{
    inst.replies["@"] = {"DCX-700 TEST"};
    inst.replies["V"] = {"13 125.4 2 5 0"};
    inst.replies["K2"] = {"0 2.48 1.23 5981234 0 0 6000000 -1 0 0 0.5 0.25 5500000.5"};
    inst.replies["K1"] = {"0 2.5 0.1 1.234 45.6 0 0 0 -1 3.25 -0.5 10 99.9 0 0 0 -1"};
}

TEST(CliCommands, StatusJsonDecodesTheReadings)
{
    FakeInstrument inst;
    setReadings(inst);
    const CtlRun r = runCtl(inst, {QStringLiteral("status"), QStringLiteral("--json")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(inst.commands, (QList<QByteArray>{"@", "V", "K2", "K1"}));

    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(o["phase"].toInt(), 13) << "phase";
    EXPECT_EQ(o["phase_text"].toString(), QString("Deposit")) << "phase_text";
    EXPECT_EQ(o["process"].toInt(), 2) << "process";
    EXPECT_EQ(o["layer"].toInt(), 5) << "layer";
    EXPECT_DOUBLE_EQ(o["elapsed"].toDouble(), 125.4);
    const QJsonArray outs = o["outputs"].toArray(), sens = o["sensors"].toArray();
    ASSERT_EQ(outs.size(), 4) << "outs.size";
    ASSERT_EQ(sens.size(), 4) << "sens.size";
    const std::tuple<const QJsonArray*, int, const char*, double> values[] = {
        {&outs, 0, "rate", 2.5},       {&outs, 0, "deviation", 0.1},       {&outs, 0, "thickness", 1.234},
        {&outs, 0, "power", 45.6},     {&outs, 1, "power", -1.0},          {&sens, 0, "rate", 2.48},
        {&sens, 0, "thickness", 1.23}, {&sens, 0, "frequency", 5981234.0}, {&sens, 1, "frequency", 6000000.0},
        {&sens, 3, "rate", 0.5},       {&sens, 3, "frequency", 5500000.5},
    };
    for (const auto& [array, i, key, value] : values)
        EXPECT_DOUBLE_EQ((*array)[i].toObject()[key].toDouble(), value)
            << (array == &outs ? "output " : "sensor ") << i << " " << key;
}

TEST(CliCommands, StatusTextLines)
{
    FakeInstrument inst;
    setReadings(inst);
    const CtlRun r = runCtl(inst, {QStringLiteral("status")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 10) << r.out.toStdString();
    const std::pair<int, const char*> expected[] = {
        {0, "Phase: 13 Deposit"},
        {1, "Time: 0:02:05  Process: 2  Layer: 5"},
        {2, "Output 1: rate 2.50  dev 0.1  thick 1.234  power 45.6"},
        {4, "Output 3: rate 3.25  dev -0.5  thick 10.000  power 99.9"},
        {6, "Sensor 1: rate 2.48  thick 1.230  freq 5981234.00"},
    };
    for (const auto& [line, text] : expected)
        EXPECT_EQ(lines[line], text) << "line " << line;
}

// Each action sends its exact text after the identification; bad arguments
// are refused before anything is sent.
TEST(CliCommands, OperateSendsExactTextsAndRefusesBadArguments)
{
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
        QList<QByteArray> sent;
    };
    const Case cases[] = {
        {"power in tenths", {"power", "2", "45.5"}, 0, {"@", "S2 455"}},
        {"power 0", {"power", "1", "0"}, 0, {"@", "S1 0"}},
        {"power 100", {"power", "1", "100"}, 0, {"@", "S1 1000"}},
        {"output number as given", {"power", "5", "10"}, 0, {"@", "S5 100"}},
        {"auto", {"auto"}, 0, {"@", "S0"}},
        {"zero", {"zero"}, 0, {"@", "U 32"}},
        {"abort", {"abort"}, 0, {"@", "U 1"}},
        {"power above 100", {"power", "1", "100.1"}, 64, {}},
        {"power below 0", {"power", "1", "-1"}, 64, {}},
        {"output not whole", {"power", "1.5", "10"}, 64, {}},
        {"power without percentage", {"power", "1"}, 64, {}},
        {"select without a number", {"select", "x"}, 64, {}},
        {"argument to a plain action", {"zero", "1"}, 64, {}},
        {"unknown action", {"jump"}, 64, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeInstrument inst;
        inst.replies["@"] = {"DCX-700 TEST"};
        EXPECT_EQ(runCtl(inst, QStringList{"operate"} + c.args).exitCode, c.exitCode) << "exit code";
        EXPECT_EQ(inst.commands, c.sent) << "commands sent";
    }
}

} // namespace
