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
    EXPECT_EQ(
        std::tuple(o["phase"].toInt(), o["phase_text"].toString(), o["process"].toInt(), o["layer"].toInt()),
        std::tuple(13, QString("Deposit"), 2, 5));
    EXPECT_DOUBLE_EQ(o["elapsed"].toDouble(), 125.4);
    const QJsonArray outs = o["outputs"].toArray(), sens = o["sensors"].toArray();
    ASSERT_EQ(std::tuple(outs.size(), sens.size()), std::tuple(4, 4));
    const std::tuple<const QJsonArray*, int, const char*, double> values[] = {
        {&outs, 0, "rate", 2.5},
        {&outs, 0, "deviation", 0.1},
        {&outs, 0, "thickness", 1.234},
        {&outs, 0, "power", 45.6},
        {&outs, 1, "power", -1.0},
        {&outs, 2, "rate", 3.25},
        {&outs, 2, "deviation", -0.5},
        {&outs, 2, "thickness", 10.0},
        {&outs, 2, "power", 99.9},
        {&sens, 0, "rate", 2.48},
        {&sens, 0, "thickness", 1.23},
        {&sens, 0, "frequency", 5981234.0},
        {&sens, 1, "frequency", 6000000.0},
        {&sens, 3, "rate", 0.5},
        {&sens, 3, "frequency", 5500000.5},
    };
    for (const auto& [array, i, key, value] : values)
        EXPECT_DOUBLE_EQ((*array)[i].toObject()[key].toDouble(), value)
            << (array == &outs ? "output " : "sensor ") << i << " " << key;
}

} // namespace
