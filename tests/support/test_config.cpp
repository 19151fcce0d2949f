// Reading and writing the configuration file: defaults, conversions,
// fall-backs and the bare-name rule for the two file names.
#include "support/cfile.h"
#include "support/config.h"
#include "support/modconfig.h"
#include "support/programfolder.h"
#include "tests/common/programfolder_env.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every setting in the file's order, "key=value" joined by "|", so one
// comparison shows the whole record.
QString describe(const AppConfig& c)
{
    const auto n = [](int v) { return QString::number(v); };
    return QStringList{"File=" + c.DBFileName,
                       "Debug=" + n(c.DebugDump),
                       "Type=" + n(c.CommType),
                       "RS232Port=" + n(c.RS232Port),
                       "RS232Device=" + c.RS232Device,
                       "USBDevice=" + c.USBDevice,
                       "EPort=" + c.EPort,
                       "EAddress=" + c.EAddress,
                       "CheckSum=" + n(c.CheckSumOn),
                       "UpDnProcesses=" + n(c.UpDnProcesses),
                       "UpDnSystem=" + n(c.UpDnSystem),
                       "UpDnMaterials=" + n(c.UpDnMaterials),
                       "Log=" + c.LogFileName,
                       "LogType=" + n(c.LogType),
                       "Start=" + n(c.LogStart),
                       "End=" + n(c.LogEnd),
                       "Interval=" + n(c.LogInterval),
                       "Display=" + n(c.Display),
                       "RunHistory=" + n(c.RunHistory),
                       "KeepDays=" + n(c.RunHistoryDays)}
        .join(QLatin1Char('|'));
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        previousDir = QDir::currentPath();
        SetProgramFolder(home.path());
        QDir::setCurrent(home.path());
        Config() = AppConfig{};
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        SetProgramFolder(dcxTestProgramFolder());
        Config() = AppConfig{};
    }
    QString ini() const { return home.filePath(QStringLiteral("DCX700 Comm.ini")); }
    void writeIni(const QByteArray& text) const { ASSERT_TRUE(writeFile(ini(), text)); }
    QByteArray iniText() const { return readFile(ini()); }
    void touch(const QString& path) const { ASSERT_TRUE(writeFile(path, {})); }

    QTemporaryDir home;
    QTemporaryDir elsewhere;
    QString previousDir;
};

TEST_F(ConfigFile, EveryKeyIsReadAndWrittenBackInOrder)
{
    touch(elsewhere.filePath(QStringLiteral("params.mdb")));
    touch(elsewhere.filePath(QStringLiteral("run.txt")));
    writeIni("[Database]\r\nFile=" + elsewhere.filePath(QStringLiteral("params.mdb")).toUtf8() +
             "\r\nDebug=1\r\n"
             "[CommSettings]\r\nType=2\r\nRS232Port=3\r\nRS232Device=/dev/ttyUSB1\r\nUSBDevice=A1B2\r\n"
             "EPort=4001\r\nEAddress=10.0.0.7\r\nCheckSum=0\r\nUpDnProcesses=1\r\nUpDnSystem=1\r\n"
             "UpDnMaterials=1\r\n"
             "[DataLog]\r\nFile=" +
             elsewhere.filePath(QStringLiteral("run.txt")).toUtf8() +
             "\r\nType=2\r\nStart=10\r\nEnd=600\r\nInterval=5\r\n"
             "[Graph]\r\nDisplay=3\r\n[RunHistory]\r\nRunHistory=0\r\nKeepDays=30\r\n");
    ReadINI();
    EXPECT_EQ(describe(Config()),
              "File=" + elsewhere.filePath(QStringLiteral("params.mdb")) +
                  "|Debug=1|Type=2|RS232Port=3|RS232Device=/dev/"
                  "ttyUSB1|USBDevice=A1B2|EPort=4001|EAddress=10.0.0.7|"
                  "CheckSum=0|UpDnProcesses=1|UpDnSystem=1|UpDnMaterials=1|Log=" +
                  elsewhere.filePath(QStringLiteral("run.txt")) +
                  "|LogType=2|Start=10|End=600|Interval=5|Display=3|RunHistory=0|KeepDays=30");

    // Changed in memory, written at close; Debug is never written back.
    Config().CommType = 1;
    Config().LogStart = -20;
    Config().DebugDump = 0;
    Config().EAddress = QString("192.168.7.9");
    ASSERT_TRUE(WriteINI());
    const QString text = QString::fromUtf8(iniText());
    // Numbers are written without a leading blank.
    for (const char* line : {"Debug=1", "Type=1", "Start=-20"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
    EXPECT_LT(text.indexOf(QStringLiteral("RS232Port=")), text.indexOf(QStringLiteral("RS232Device=")));
    EXPECT_LT(text.indexOf(QStringLiteral("RS232Device=")), text.indexOf(QStringLiteral("USBDevice=")));

    // Read back: the same record, Debug as the file had it.
    AppConfig expected = Config();
    expected.DebugDump = 1;
    Config() = AppConfig{};
    ReadINI();
    EXPECT_EQ(describe(Config()), describe(expected));
}

TEST_F(ConfigFile, BadNumbersKeepTheirDefaults)
{
    writeIni("[CommSettings]\nType=ethernet\nRS232Port=40000\nCheckSum=\nUpDnSystem= 1 \n"
             "[DataLog]\nType=1.5\nStart=12.5\nEnd=13.5\nInterval=-32769\n"
             "[Graph]\nDisplay=2 graphs\n");
    ReadINI();
    const AppConfig& c = Config();
    // Not a number, above the 16-bit range, an empty value: the default. Blanks
    // around a value are ignored; integers round half to even; below the
    // 16-bit range and trailing text: the default.
    EXPECT_EQ(c.CommType, 0) << "CommType";
    EXPECT_EQ(c.RS232Port, 1) << "RS232Port";
    EXPECT_EQ(c.CheckSumOn, 1) << "CheckSumOn";
    EXPECT_EQ(c.UpDnSystem, 1) << "UpDnSystem";
    EXPECT_EQ(c.LogType, 2) << "LogType";
    EXPECT_EQ(c.LogStart, 12) << "LogStart";
    EXPECT_EQ(c.LogEnd, 14) << "LogEnd";
    EXPECT_EQ(c.LogInterval, 1) << "LogInterval";
    EXPECT_EQ(c.Display, 0) << "Display";
}

} // namespace
