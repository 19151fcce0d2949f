// The main window: start-up from the configuration file, the chart choice,
// and writing the file at close.
#include "app/frmmain.h"
#include "support/config.h"
#include "support/formposition.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QFile>
#include <QSettings>
#include <QTcpServer>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/app/programhome.h"
#include "tests/common/testfiles.h"
#include <qcustomplot.h>

namespace {

const char* const kCharts[4] = {"AverageGraph", "DevGraph", "PowerGraph", "ChannelGraph"};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        Config() = AppConfig{};
    }
    void TearDown() override { Config() = AppConfig{}; }
    QString ini() const { return home.filePath(QStringLiteral("DCX700 Comm.ini")); }
    void writeIni(const QByteArray& text) const { ASSERT_TRUE(writeFile(ini(), text)); }
    QByteArray iniText() const { return readFile(ini()); }
    template <class T>
    static T* child(const QObject& w, const QString& name)
    {
        T* c = w.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }
    static int shownChart(const frmMain& w)
    {
        int shown = -1;
        for (int i = 0; i < 4; ++i)
            if (child<QCustomPlot>(w, QLatin1String(kCharts[i]))->isVisibleTo(&w)) {
                EXPECT_EQ(shown, -1) << "more than one chart is visible";
                shown = i;
            }
        return shown;
    }
    static int checkedEntry(const frmMain& w)
    {
        int checked = -1;
        for (int i = 0; i < 4; ++i)
            if (child<QAction>(w, QStringLiteral("mnuViewGraph_%1").arg(i))->isChecked()) {
                EXPECT_EQ(checked, -1) << "more than one chart entry is checked";
                checked = i;
            }
        return checked;
    }

    ProgramHome home;
    ScriptedDialogs answers;
    ScopedDialogs installAnswers{answers};
};

TEST_F(MainWindow, StartsWithTheChartOfTheConfigurationFile)
{
    writeIni("[Graph]\r\nDisplay=2\r\n");
    frmMain w;
    EXPECT_EQ(w.Display(), 2) << "Display";
    EXPECT_EQ(shownChart(w), 2) << "shownChart(w)";
    EXPECT_EQ(checkedEntry(w), 2) << "checkedEntry(w)";
    EXPECT_EQ(Config().LogEnd, 300) << "LogEnd";
    EXPECT_EQ(Config().EPort, QString("2101")) << "EPort";
}

TEST_F(MainWindow, ClosingSavesPositionAndConfiguration)
{
    writeIni("[CommSettings]\r\nType=0\r\n");
    {
        frmMain w;
        Config().CommType = 2;
        Config().LogFileName = home.filePath(QStringLiteral("runs.txt"));
        child<QAction>(w, QStringLiteral("mnuViewGraph_3"))->trigger();
        EXPECT_EQ(iniText(), "[CommSettings]\r\nType=0\r\n") << "nothing is written before close";
        child<QAction>(w, QStringLiteral("mnuFileExit"))->trigger();
        EXPECT_FALSE(child<QTimer>(w, QStringLiteral("tmrUpdate"))->isActive());
    }
    const QString text = QString::fromUtf8(iniText());
    // A log beside the program is kept as a bare name.
    for (const char* line : {"Type=2", "Display=3", "File=runs.txt"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Debug")));

    QSettings s{QString::fromLatin1(FormSettingsOrganization), QString::fromLatin1(FormSettingsApplication)};
    s.beginGroup(QString::fromLatin1(FormSettingsGroup));
    EXPECT_TRUE(s.value(QStringLiteral("frmMain")).toString().startsWith(QStringLiteral("L=")));
}

TEST_F(MainWindow, WithoutConfigurationFileRunsOnDefaultsAndWritesNothing)
{
    {
        frmMain w;
        EXPECT_EQ(w.Display(), 0) << "Display";
        EXPECT_EQ(shownChart(w), 0) << "shownChart(w)";
        EXPECT_EQ(checkedEntry(w), 0) << "checkedEntry(w)";
        w.close();
    }
    EXPECT_FALSE(QFile::exists(ini()));
    EXPECT_TRUE(answers.messages.isEmpty());
}

TEST_F(MainWindow, RemoteMonitoringFollowsTheConfigurationAndTheViewMenu)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const QString port = QString::number(probe.serverPort());
    probe.close();
    writeIni("[Remote]\r\nHttpPort=" + port.toLatin1() + "\r\n");
    {
        frmMain w;
        QAction* entry = child<QAction>(w, QStringLiteral("mnuViewRemote"));
        EXPECT_TRUE(entry->isChecked()) << "on at start";
        EXPECT_TRUE(entry->text().endsWith(QStringLiteral("http://127.0.0.1:%1/").arg(port))) << "address";
        entry->trigger();
        EXPECT_FALSE(entry->isChecked()) << "off from the menu";
        w.close();
    }
    EXPECT_TRUE(iniText().contains("HttpPort=0")) << "off is kept";

    writeIni("[Remote]\r\nHttpPort=" + port.toLatin1() + "\r\nHttpBind=0.0.0.0\r\n");
    frmMain w;
    EXPECT_FALSE(child<QAction>(w, QStringLiteral("mnuViewRemote"))->isChecked())
        << "refused without a token";
    ASSERT_EQ(answers.messages.size(), 1) << "messages";
    EXPECT_TRUE(answers.messages.first().text.contains(QLatin1String("token"))) << "message names the token";
}

} // namespace
