// dcx700ctl status and operate against a hand-written instrument on a local
// TCP port: frames built and checked here, independently of the link code.
#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The 14-bit checksum: start 0x3FFF, reflected polynomial 0x2001.
QByteArray checksumChars(const QByteArray& covered)
{
    quint16 crc = 0x3FFF;
    for (char c : covered) {
        crc ^= static_cast<quint8>(c);
        for (int i = 0; i < 8; ++i) {
            const bool lsb = crc & 1;
            crc >>= 1;
            if (lsb)
                crc ^= 0x2001;
        }
    }
    crc &= 0x3FFF;
    QByteArray out;
    out.append(static_cast<char>((crc & 0x7F) + 0x22));
    out.append(static_cast<char>(((crc >> 7) & 0x7F) + 0x22));
    return out;
}

QByteArray replyFrame(const QByteArray& data)
{
    QByteArray covered;
    covered.append(static_cast<char>(0x23 + 1 + data.size()));
    covered.append('A');
    covered.append(data);
    return QByteArray("!") + covered + checksumChars(covered);
}

// Answers command frames from a table of replies and records the texts.
class FakeInstrument {
public:
    FakeInstrument()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { onData(s); });
        });
    }
    quint16 port() const { return server.serverPort(); }

    QMap<QByteArray, QByteArray> replies;
    QList<QByteArray> commands;

private:
    void onData(QTcpSocket* s)
    {
        buffer += s->readAll();
        for (;;) {
            const qsizetype start = buffer.indexOf('!');
            if (start < 0 || buffer.size() - start < 2)
                return;
            const int n = static_cast<quint8>(buffer[start + 1]) - 0x22;
            if (buffer.size() - start < n + 4)
                return;
            const QByteArray text = buffer.mid(start + 2, n);
            buffer.remove(0, start + n + 4);
            commands.append(text);
            s->write(replyFrame(replies.value(text)));
        }
    }

    QTcpServer server;
    QByteArray buffer;
};

// The program folder: DCX_BIN_DIR, else the bin folder beside the tests folder.
QString programFolder()
{
    const QString env = QString::fromLocal8Bit(qgetenv("DCX_BIN_DIR"));
    if (!env.isEmpty())
        return env;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
}

struct CtlRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CtlRun runCtl(FakeInstrument& inst, const QStringList& args)
{
    QTemporaryDir dir;
    QFile ini(dir.filePath(QStringLiteral("empty.ini")));
    ini.open(QIODevice::WriteOnly); // an empty configuration: every value at its default
    ini.close();
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QStringList all{QStringLiteral("--ini"), ini.fileName(),
                    QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(inst.port())};
    all += args;
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    QTimer guard; // only against a hang; a good run ends long before
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    p.start(programFolder() + QStringLiteral("/dcx700ctl"), all);
    guard.start(30000);
    loop.exec();
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

void setReadings(FakeInstrument& inst)
{
    inst.replies["@"] = "DCX-700 TEST";
    inst.replies["V"] = "13 125.4 2 5 0";
    inst.replies["K2"] = "0 2.48 1.23 5981234 0 0 6000000 -1 0 0 0.5 0.25 5500000.5";
    inst.replies["K1"] = "0 2.5 0.1 1.234 45.6 0 0 0 -1 3.25 -0.5 10 99.9 0 0 0 -1";
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

TEST(CliCommands, StatusText)
{
    FakeInstrument inst;
    setReadings(inst);
    const CtlRun r = runCtl(inst, {QStringLiteral("status")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 10) << r.out.toStdString();
    EXPECT_EQ(lines[0], "Phase: 13 Deposit");
    EXPECT_EQ(lines[1], "Time: 0:02:05  Process: 2  Layer: 5");
    EXPECT_EQ(lines[2], "Output 1: rate 2.50  dev 0.1  thick 1.234  power 45.6");
    EXPECT_EQ(lines[4], "Output 3: rate 3.25  dev -0.5  thick 10.000  power 99.9");
    EXPECT_EQ(lines[6], "Sensor 1: rate 2.48  thick 1.230  freq 5981234.00");
}

TEST(CliCommands, OperateSendsTheCommand)
{
    FakeInstrument inst;
    inst.replies["@"] = "DCX-700 TEST";
    EXPECT_EQ(runCtl(inst, {"operate", "power", "2", "45.5"}).exitCode, 0);
    EXPECT_EQ(runCtl(inst, {"operate", "auto"}).exitCode, 0);
    EXPECT_EQ(runCtl(inst, {"operate", "zero"}).exitCode, 0);
    EXPECT_EQ(runCtl(inst, {"operate", "abort"}).exitCode, 0);
    EXPECT_EQ(inst.commands, (QList<QByteArray>{"@", "S2 455", "@", "S0", "@", "U 32", "@", "U 1"}));

    inst.commands.clear();
    EXPECT_EQ(runCtl(inst, {"operate", "power", "5", "10"}).exitCode, 64);
    EXPECT_EQ(runCtl(inst, {"operate", "jump"}).exitCode, 64);
    EXPECT_TRUE(inst.commands.isEmpty());
}

} // namespace
