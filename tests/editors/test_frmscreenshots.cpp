// The four editors offscreen on sample records: each shows its caption with
// every control usable in the state shown. With DCX_SCREENSHOT_DIR set
// (scripts/pictures) the pictures are saved there; docs/ keeps them.
#include "editors/frmfilm.h"
#include "editors/frmlayer.h"
#include "editors/frmmaterial.h"
#include "editors/frmsystem.h"
#include "tests/editors/editortestkit.h"

#include <QDir>
#include <QPixmap>
#include <QRegularExpression>
#include <QTabWidget>

namespace {

// Shows the form, checks its caption and that none of its controls is
// disabled, and saves the picture when asked.
void grab(QWidget& form, const char* file, const QString& caption)
{
    SCOPED_TRACE(file);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), caption) << "caption";
    const QRegularExpression control(QStringLiteral("^(txt|spn|cmd|opt|chk|cmb|cbo)"));
    QStringList disabled;
    for (const QWidget* w : form.findChildren<QWidget*>())
        if (w->objectName().contains(control) && !w->isEnabled())
            disabled << w->objectName();
    EXPECT_EQ(disabled, QStringList()) << "disabled controls";
    const QString dir = qEnvironmentVariable("DCX_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(form.grab().save(QDir(dir).filePath(QString::fromLatin1(file)))) << "saved";
    }
}

using Screenshots = EditorTest;

TEST_F(Screenshots, Layer)
{
    Model().FilmTable[3].Film_Name = "Gold";
    LayerRecord& l = Model().LayerTable[12];
    std::tie(l.Rate, l.Final_Thick, l.Time_Setpoint, l.Thick_Limit, l.Film_Number, l.Output_Number,
             l.Ramp1_Enabled, l.Ramp1_Rate, l.Ramp1_Start, l.Ramp1_Time) =
        std::tuple(12.5, 1.25, 300, 1.1, 3, 2, 1.0, 5.0, 1.0, 60);
    Working().CurLayer = 12;
    frmLayer form;
    grab(form, "screenshot-layer.png", "Layer Parameters");
}

TEST_F(Screenshots, Film)
{
    Model().MaterialTable[4].Material = "Gold";
    FilmRecord& f = Model().FilmTable[3];
    f.Film_Name = "Gold";
    std::tie(f.Material_Index, f.Pocket, f.Tooling, f.Pterm, f.Iterm, f.Dterm, f.Crystal_Quality,
             f.Crystal_Fail) = std::tuple(4, 2, 112, 40.0, 1.5, 0.2, 5, 1);
    std::tie(f.Ramp1_Power, f.Ramp1_Time, f.Soak1_Time, f.Capture, f.Control_Error, f.Control_Error_Percent,
             f.Sampling, f.Sample_Time, f.Sample_Hold) = std::tuple(12.5, 90, 60.0, 2.5, 1, 10.0, 2, 30, 120);
    Working().CurFilm = 3;
    frmFilm form;
    const QString caption = "Film #3: Gold            ";
    grab(form, "screenshot-film.png", caption);
    Find<QTabWidget>(&form, "tabFilm")->setCurrentIndex(1);
    grab(form, "screenshot-film-conditioning.png", caption);
    Find<QTabWidget>(&form, "tabFilm")->setCurrentIndex(2);
    grab(form, "screenshot-film-controls.png", caption);
    // Control error 1 shows its value; sampling 2 shows the times, not the accuracy.
    EXPECT_TRUE(Find<QWidget>(&form, "txtControlError")->isVisible()) << "control error";
    EXPECT_TRUE(Find<QWidget>(&form, "spnHoldTime_0")->isVisible()) << "hold time";
    EXPECT_FALSE(Find<QWidget>(&form, "txtAccuracy")->isVisible()) << "accuracy";
}

TEST_F(Screenshots, Material)
{
    Model().MaterialTable[1] = {Name16("Aluminum"), 2.7, 1.08};
    frmMaterial form;
    grab(form, "screenshot-material.png", "Materials");
}

TEST_F(Screenshots, System)
{
    for (int n = 0; n < MaxInputs; ++n)
        Model().InputTable[size_t(n)].Input_Type = qint16(n < 6 ? n + 1 : 46);
    for (int n = 0; n < MaxOutputs; ++n)
        Model().OutputTable[size_t(n)].Output_Type = qint16(n < 8 ? n + 1 : 69);
    frmSystem form;
    grab(form, "screenshot-system.png", "System Parameters");
}

} // namespace
