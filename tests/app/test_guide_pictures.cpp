// Every window of the user guide renders offscreen with its controls laid
// out. With DCX_GUIDE_PICTURES set to a folder, the pictures are saved there
// under the names the guide uses (data/guide/<name>.png).
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
    };
    const Window windows[] = {
        {"communications", [] { return std::make_unique<frmComm>(); }},
        {"sensors", [] { return std::make_unique<frmSensors>(); }},
        {"datalog", [] { return std::make_unique<frmDataLog>(); }},
        {"graphsettings", [&chart] { return std::make_unique<frmGraphSet>(chart); }},
        {"about", [] { return std::make_unique<frmAbout>(); }},
    };
    for (const Window& w : windows) {
        std::unique_ptr<QWidget> window = w.make();
        window->show();
        for (QTimer* t : window->findChildren<QTimer*>())
            if (t->isActive())
                QMetaObject::invokeMethod(t, "timeout");
        QApplication::processEvents();
        const QImage picture = window->grab().toImage();
        EXPECT_TRUE(picture.width() > 150 && picture.height() > 80)
            << w.name << " " << picture.width() << "x" << picture.height();
        EXPECT_TRUE(out.isEmpty() ||
                    picture.save(QDir(out).filePath(QLatin1String(w.name) + QLatin1String(".png")), "PNG"))
            << w.name;
        window->close();
    }
    Readings() = ReadingsRecord{};
}
