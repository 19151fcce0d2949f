// The main window during a deposition on the simulated instrument, rendered
// offscreen: the rate chart shows the four outputs in their colours.
// With DCX_SCREENSHOT set to a file name the picture is also saved there.
#include "app/frmmain.h"
#include "commands/readingsrecord.h"
#include "link/modcomm.h"
#include "runlog/cgraphset.h"
#include "sim/simpeer.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/formposition.h"
#include "support/programfolder.h"
#include "support/scripteddialogs.h"
#include "tests/common/programfolder_env.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>

namespace {

// A process whose only layer deposits from all four sources at once:
// outputs 1..4 at 2, 4, 6 and 8 Å/s.
void AddFourSourceProcess(SimMemory& m, int process)
{
    struct Member { int film, output; double rate; };
    const Member members[4] = {{7, 1, 2.0}, {2, 2, 4.0}, {3, 3, 6.0}, {8, 4, 8.0}};
    const int first = 990;
    for (int i = 0; i < 4; ++i) {
        SimLayer& l = m.layer(first + i);
        l.item = {};
        l.item[kLayerRate] = qint32(std::lround(members[i].rate * 10));
        l.item[kLayerFinalThick] = 20000;
        l.item[kLayerThickLimit] = 18000;
        l.item[kLayerStartMode] = 1;
        l.item[kLayerOutput] = members[i].output;
        l.item[kLayerMaxPower] = 600;
        l.item[kLayerSlewRate] = 100;
        l.item[kLayerSensor1 + i] = 1;
        l.item[kLayerFilm] = members[i].film;
        l.item[kLayerCoDep] = i < 3 ? first + i + 1 : 0;
    }
    SimProcess& p = m.process(process);
    p.name = SimMemory::name16("Quad CoDep");
    p.item[kProcessFirst] = first;
    p.item[kProcessLayers] = 1;
    p.item[kProcessActLayers] = 4;
}

// Pixels of the image close to the colour c.
int countNear(const QImage& img, QColor c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) < 40 && std::abs(p.green() - c.green()) < 40 &&
                std::abs(p.blue() - c.blue()) < 40)
                ++n;
        }
    return n;
}

} // namespace

TEST(GraphScreenshot, DepositionShowsFourColouredSeriesOnTheRateChart)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QStandardPaths::setTestModeEnabled(true);
    {
        QSettings s{QString::fromLatin1(FormSettingsOrganization), QString::fromLatin1(FormSettingsApplication)};
        s.remove(QString::fromLatin1(FormSettingsGroup));
    }
    const QString previousDir = QDir::currentPath();
    SetProgramFolder(home.path());
    QDir::setCurrent(home.path());
    const QString data = qEnvironmentVariable("DCX_SOURCE_DIR") + QStringLiteral("/data/");
    for (const char* name : cGraphSet::FileNames)
        QFile::copy(data + QLatin1String(name), home.filePath(QLatin1String(name)));
    Config() = AppConfig{};
    Comm_ResetLink();
    SetDefaultParameters();
    Readings() = ReadingsRecord{};

    FakeClock clock;
    ScopedClock useClock(clock);
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs(dialogs);
    SimPeer peer;
    AddFourSourceProcess(peer.instrument().memory(), 6);
    peer.instrument().run().selectProcess(6);
    peer.instrument().attachClock(&clock);
    Comm_UseInProcessPeer(&peer);

    {
        frmMain w;
        w.findChild<QTimer*>(QStringLiteral("tmrUpdate"))->stop();
        w.resize(980, 760);
        w.show();
        auto tick = [&] {
            clock.advance(0.5);
            w.tmrUpdate_Timer();
            QApplication::processEvents();
        };
        tick(); // connects and reads the process list
        // Choosing the process reads its header (the layer count) from the instrument.
        w.findChild<QComboBox*>(QStringLiteral("cboProcess"))->setCurrentIndex(5);
        tick();
        w.findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
        auto* phase = w.findChild<QLineEdit*>(QStringLiteral("txtPhase"));
        for (int i = 0; i < 2000 && phase->text() != QLatin1String("Deposit"); ++i)
            tick();
        ASSERT_EQ(phase->text(), QStringLiteral("Deposit"));
        // Two minutes of deposition: the 100 s window has moved on to 25..125.
        for (int i = 0; i < 240; ++i)
            tick();
        ASSERT_EQ(phase->text(), QStringLiteral("Deposit"));

        auto* chart = w.findChild<QCustomPlot*>(QStringLiteral("AverageGraph"));
        ASSERT_TRUE(chart->isVisible());
        EXPECT_GT(chart->graph(0)->dataCount(), 200);
        EXPECT_DOUBLE_EQ(chart->xAxis->range().lower, 25.0);
        for (int s = 0; s < 4; ++s) {
            const int last = chart->graph(s)->dataCount() - 1;
            EXPECT_FALSE(std::isnan(chart->graph(s)->data()->at(last)->value)) << s;
        }

        const QImage shot = w.grab().toImage();
        const QImage plot = chart->grab().toImage();
        for (const QColor c : {QColor(0, 255, 0), QColor(255, 255, 0), QColor(0, 0, 255), QColor(255, 0, 0)}) {
            EXPECT_GT(countNear(plot, c), 150) << c.name().toStdString();
        }

        const QString out = qEnvironmentVariable("DCX_SCREENSHOT");
        if (!out.isEmpty()) {
            // A relative name is taken from where the test was started.
            const QString file = QDir(previousDir).absoluteFilePath(out);
            EXPECT_TRUE(shot.save(file, "PNG")) << file.toStdString();
        }
        w.findChild<QTimer*>(QStringLiteral("tmrUpdate"))->stop();
    }
    Comm_ResetLink();
    QDir::setCurrent(previousDir);
    SetProgramFolder(dcxTestProgramFolder());
    Config() = AppConfig{};
}
