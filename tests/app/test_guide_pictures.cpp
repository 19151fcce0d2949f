// Every window of the user guide opens offscreen with its caption and the
// control the guide points at. With DCX_GUIDE_PICTURES set to a folder (as
// scripts/pictures does), the pictures are saved there under the names the
// guide uses (data/guide/<name>.png).
#include "app/frmabout.h"
#include "app/frmsensors.h"
#include "commands/readingsrecord.h"
#include "link/frmcomm.h"
#include "runlog/chartmodel.h"
#include "runlog/frmdatalog.h"
#include "runlog/frmgraphset.h"
#include "support/config.h"
#include "support/scripteddialogs.h"

#include "programhome.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

TEST(GuidePictures, EveryWindowRenders)
{
    // a relative folder is taken from where the test was started
    const QString outEnv = qEnvironmentVariable("DCX_GUIDE_PICTURES");
    const QString out = outEnv.isEmpty() ? QString() : QDir(outEnv).absolutePath();
    ProgramHome home;
    ASSERT_TRUE(home.isValid());
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs(dialogs);
    // A sensor window worth showing: four crystals during a deposition.
    Readings() = ReadingsRecord{};
    Readings().SensorRate = {2.48, 4.02, 5.97, 8.05};
    Readings().SensorThickness = {0.312, 0.604, 0.911, 1.207};
    Readings().SensorFrequency = {5981234.0, 5974410.5, 5962875.25, 5950112.0};
    ChartModel chart;

    struct Window {
        const char* name;
        std::function<std::unique_ptr<QWidget>()> make;
        const char* caption; // its start
        const char* control; // a control the guide shows, enabled
    };
    const Window windows[] = {
        {"communications", [] { return std::make_unique<frmComm>(); }, "Communications", "optComm_2"},
        {"sensors", [] { return std::make_unique<frmSensors>(); }, "Sensor Readings", "grdReading"},
        {"datalog", [] { return std::make_unique<frmDataLog>(); }, "Data Log - [ ", "cmdNew"},
        {"graphsettings", [&chart] { return std::make_unique<frmGraphSet>(chart); }, "Configure Graph",
         "cmdOK"},
        {"about", [] { return std::make_unique<frmAbout>(); }, "About ", "cmdOK"},
    };
    for (const Window& w : windows) {
        SCOPED_TRACE(w.name);
        std::unique_ptr<QWidget> window = w.make();
        EXPECT_TRUE(window->windowTitle().startsWith(QLatin1String(w.caption)))
            << "caption " << window->windowTitle().toStdString();
        const auto* control = window->findChild<QWidget*>(QLatin1String(w.control));
        ASSERT_NE(control, nullptr) << w.control;
        EXPECT_TRUE(control->isEnabled()) << w.control;
        window->show();
        for (QTimer* t : window->findChildren<QTimer*>())
            if (t->isActive())
                QMetaObject::invokeMethod(t, "timeout");
        QApplication::processEvents();
        const QImage picture = window->grab().toImage();
        EXPECT_GT(picture.width(), 150) << "picture width";
        EXPECT_GT(picture.height(), 80) << "picture height";
        EXPECT_TRUE(out.isEmpty() ||
                    picture.save(QDir(out).filePath(QLatin1String(w.name) + QLatin1String(".png")), "PNG"))
            << "saved";
        window->close();
    }
    Readings() = ReadingsRecord{};
}
