// The main window: controls and menus by name, start-up from the
// configuration file, the chart choice, help, and writing the file at close.
#include "app/frmmain.h"
#include "support/config.h"
#include "support/formposition.h"
#include "support/programfolder.h"
#include "support/scripteddialogs.h"
#include "support/shell.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/app/programhome.h"
#include <qcustomplot.h>

namespace {

const char* const kCharts[4] = {"AverageGraph", "DevGraph", "PowerGraph", "ChannelGraph"};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        Config() = AppConfig{};
        setShell(&recorder);
    }
    void TearDown() override
    {
        setShell(nullptr);
        Config() = AppConfig{};
    }
    QString ini() const { return home.filePath(QStringLiteral("DCX700 Comm.ini")); }
    void writeIni(const QByteArray& text) const
    {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray iniText() const
    {
        QFile f(ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    template <class T> static T* child(const QObject& w, const QString& name)
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
    RecordingShell recorder;
    ScriptedDialogs answers;
    ScopedDialogs installAnswers{answers};
};

TEST_F(MainWindow, CarriesEveryControlAndMenuByName)
{
    frmMain w;
    EXPECT_EQ(w.windowTitle(), "DCX-700 Comm");
    EXPECT_EQ(w.objectName(), "frmMain");

    const std::pair<const char*, const char*> buttons[] = {
        {"cmdStart", "&Start Process"},      {"cmdAbort", "&Abort Process"},
        {"cmdStartLayer", "Start &Layer"},   {"cmdStartManLayer", "Start &Man Layer"},
        {"cmdStopLayer", " S&top   Layer"},  {"cmdNextLayer", "&Next Layer"},
        {"cmdZero", "&Zero Thickness"},      {"cmdAutoMan", "&Auto -> Manual"},
        {"cmdManAuto", "&Manual -> Auto"}};
    for (const auto& [name, text] : buttons)
        EXPECT_EQ(child<QPushButton>(w, QLatin1String(name))->text(), QLatin1String(text)) << name;

    for (const char* name : {"txtPhase", "txtLayerNum", "txtLayerTotal", "txtTime"})
        EXPECT_TRUE(child<QLineEdit>(w, QLatin1String(name))->isReadOnly()) << name;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(child<QLabel>(w, QStringLiteral("LblOutput_%1").arg(i))->text(), QString::number(i + 1));
        for (const char* base : {"txtOutRate", "txtOutDev", "txtOutThick", "txtOutPower"})
            child<QLineEdit>(w, QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(i));
        QSlider* slider = child<QSlider>(w, QStringLiteral("sldManPwr_%1").arg(i));
        EXPECT_EQ(slider->minimum(), 0);
        EXPECT_EQ(slider->maximum(), 100);
        EXPECT_FALSE(slider->isVisibleTo(&w));
    }
    QStringList labels;
    for (QLabel* l : w.findChildren<QLabel*>())
        labels << l->text();
    for (const char* text : {"Run Process:", "Phase:", "Layer:", "of", "Time:", "Output", "Rate (A/s)",
                             "Dev. (%)", "Thick. (kA)", "Power (%)"})
        EXPECT_TRUE(labels.contains(QLatin1String(text))) << text;
    EXPECT_FALSE(child<QFrame>(w, QStringLiteral("fraOnLine"))->isVisibleTo(&w)) << "offline at start";
    EXPECT_EQ(child<QFrame>(w, QStringLiteral("fraOnLine"))->frameShape(), QFrame::NoFrame);
    child<QComboBox>(w, QStringLiteral("cboProcess"));
    for (const char* chart : kCharts)
        child<QCustomPlot>(w, QLatin1String(chart));

    QTimer* timer = child<QTimer>(w, QStringLiteral("tmrUpdate"));
    EXPECT_EQ(timer->interval(), 500);
    EXPECT_TRUE(timer->isActive()) << "enabled at the end of loading";

    // Menus in order, with their entries in order.
    QStringList titles;
    for (QAction* a : w.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&View", "&Help"}));
    const auto entries = [&](const char* menu) {
        QStringList out;
        for (QAction* a : child<QMenu>(w, QLatin1String(menu))->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + QLatin1Char('=') + a->text());
        return out;
    };
    EXPECT_EQ(entries("mnuFile"), QStringList({"mnuFileExit=E&xit"}));
    EXPECT_EQ(entries("mnuEdit"), QStringList({"mnuEditProcess=&Processes", "-", "mnuEditGraph=&Graph",
                                               "mnuEditLog=Data &Log", "mnuEditComm=&Communications"}));
    EXPECT_EQ(entries("mnuView"),
              QStringList({"mnuViewGraph_0=Output &Rate Graph", "mnuViewGraph_1=Output &Deviation Graph",
                           "mnuViewGraph_2=Output &Power Graph", "mnuViewGraph_3=&Sensor Rate Graph", "-",
                           "mnuViewSensorRdg=Se&nsor Readings"}));
    EXPECT_EQ(entries("mnuHelp"), QStringList({"mnuHelpHelp=&Help", "-", "mnuHelpAbout=&About"}));
    EXPECT_TRUE(child<QAction>(w, QStringLiteral("mnuFileExit"))->isEnabled());
    EXPECT_TRUE(child<QAction>(w, QStringLiteral("mnuHelpAbout"))->isEnabled());
}

TEST_F(MainWindow, StartsWithTheChartOfTheConfigurationFile)
{
    writeIni("[Graph]\r\nDisplay=2\r\n");
    frmMain w;
    EXPECT_EQ(w.Display(), 2);
    EXPECT_EQ(shownChart(w), 2);
    EXPECT_EQ(checkedEntry(w), 2);
    EXPECT_EQ(Config().LogEnd, 300);
    EXPECT_EQ(Config().EPort, "2101");
}

TEST_F(MainWindow, UnknownChartChangesNothingAndIsWrittenBack)
{
    writeIni("[Graph]\r\nDisplay=7\r\n");
    {
        frmMain w;
        EXPECT_EQ(w.Display(), 7);
        EXPECT_EQ(shownChart(w), 0) << "the charts stay as designed";
        w.setDisplay(3);
        w.setDisplay(-1);
        EXPECT_EQ(shownChart(w), 3);
        EXPECT_EQ(checkedEntry(w), 3);
        w.setDisplay(7);
        w.close();
    }
    EXPECT_TRUE(QString::fromUtf8(iniText()).contains(QStringLiteral("Display=7")));
}

TEST_F(MainWindow, ViewMenuSwitchesTheChart)
{
    writeIni("[Graph]\nDisplay=1\n");
    frmMain w;
    QAction* power = child<QAction>(w, QStringLiteral("mnuViewGraph_2"));
    QAction* deviation = child<QAction>(w, QStringLiteral("mnuViewGraph_1"));
    deviation->trigger(); // already checked: nothing changes
    EXPECT_EQ(w.Display(), 1);
    EXPECT_EQ(checkedEntry(w), 1);
    EXPECT_EQ(shownChart(w), 1);
    power->trigger();
    EXPECT_EQ(w.Display(), 2);
    EXPECT_EQ(checkedEntry(w), 2);
    EXPECT_EQ(shownChart(w), 2);
    w.mnuViewGraph_Click(0); // as another window would choose it
    EXPECT_EQ(shownChart(w), 0);
    EXPECT_EQ(checkedEntry(w), 0);
    child<QAction>(w, QStringLiteral("mnuViewGraph_3"))->trigger();
    EXPECT_EQ(shownChart(w), 3);
    EXPECT_EQ(Config().Display, 3) << "the choice is kept for the configuration file";
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
    EXPECT_TRUE(text.contains(QStringLiteral("Type=2"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Display=3")));
    EXPECT_TRUE(text.contains(QStringLiteral("File=runs.txt"))) << "a log beside the program is kept as a bare name";
    EXPECT_FALSE(text.contains(QStringLiteral("Debug")));

    QSettings s{QString::fromLatin1(FormSettingsOrganization), QString::fromLatin1(FormSettingsApplication)};
    s.beginGroup(QString::fromLatin1(FormSettingsGroup));
    EXPECT_TRUE(s.value(QStringLiteral("frmMain")).toString().startsWith(QStringLiteral("L=")));
}

TEST_F(MainWindow, ReopensWithTheSizeItWasClosedWith)
{
    {
        frmMain w;
        w.resize(1010, 730);
        w.close();
    }
    frmMain again;
    EXPECT_EQ(again.size(), QSize(1010, 730));
}

TEST_F(MainWindow, WithoutConfigurationFileRunsOnDefaultsAndWritesNothing)
{
    {
        frmMain w;
        EXPECT_EQ(w.Display(), 0);
        EXPECT_EQ(shownChart(w), 0);
        EXPECT_EQ(checkedEntry(w), 0);
        w.close();
    }
    EXPECT_FALSE(QFile::exists(ini()));
    EXPECT_TRUE(answers.messages.isEmpty());
}

TEST_F(MainWindow, HelpOpensTheGuideInTheProgramFolder)
{
    frmMain w;
    child<QAction>(w, QStringLiteral("mnuHelpHelp"))->trigger();
    ASSERT_EQ(recorder.documents.size(), 1);
    EXPECT_EQ(recorder.documents.first(), home.filePath(QStringLiteral("DCX700 Comm.html")));
    EXPECT_EQ(answers.busyDepth, 0) << "the pointer is restored";
}

} // namespace
