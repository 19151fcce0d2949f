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

namespace {

using clitest::CtlRun;
using FakeInstrument = clitest::ScriptedInstrument;

// An empty configuration: every value at its default; the instrument on --tcp.
CtlRun runCtl(FakeInstrument& inst, const QStringList& args)
{
    QTemporaryDir dir;
    QFile ini(dir.filePath(QStringLiteral("empty.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.close();
    QStringList all{QStringLiteral("--ini"), ini.fileName(),
                    QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(inst.port())};
    all += args;
    return clitest::runCtl(dir.path(), all);
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
    EXPECT_EQ(o["phase"].toInt(), 13);
    EXPECT_EQ(o["phase_text"].toString(), "Deposit");
    EXPECT_DOUBLE_EQ(o["elapsed"].toDouble(), 125.4);
    EXPECT_EQ(o["process"].toInt(), 2);
    EXPECT_EQ(o["layer"].toInt(), 5);
    const QJsonArray outs = o["outputs"].toArray();
    ASSERT_EQ(outs.size(), 4);
    EXPECT_DOUBLE_EQ(outs[0].toObject()["rate"].toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(outs[0].toObject()["deviation"].toDouble(), 0.1);
    EXPECT_DOUBLE_EQ(outs[0].toObject()["thickness"].toDouble(), 1.234);
    EXPECT_DOUBLE_EQ(outs[0].toObject()["power"].toDouble(), 45.6);
    EXPECT_DOUBLE_EQ(outs[1].toObject()["power"].toDouble(), -1.0);
    EXPECT_DOUBLE_EQ(outs[2].toObject()["rate"].toDouble(), 3.25);
    EXPECT_DOUBLE_EQ(outs[2].toObject()["deviation"].toDouble(), -0.5);
    EXPECT_DOUBLE_EQ(outs[2].toObject()["thickness"].toDouble(), 10.0);
    EXPECT_DOUBLE_EQ(outs[2].toObject()["power"].toDouble(), 99.9);
    const QJsonArray sens = o["sensors"].toArray();
    ASSERT_EQ(sens.size(), 4);
    EXPECT_DOUBLE_EQ(sens[0].toObject()["rate"].toDouble(), 2.48);
    EXPECT_DOUBLE_EQ(sens[0].toObject()["thickness"].toDouble(), 1.23);
    EXPECT_DOUBLE_EQ(sens[0].toObject()["frequency"].toDouble(), 5981234.0);
    EXPECT_DOUBLE_EQ(sens[1].toObject()["frequency"].toDouble(), 6000000.0);
    EXPECT_DOUBLE_EQ(sens[3].toObject()["rate"].toDouble(), 0.5);
    EXPECT_DOUBLE_EQ(sens[3].toObject()["frequency"].toDouble(), 5500000.5);
}

} // namespace
