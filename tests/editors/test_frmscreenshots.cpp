// The four editors rendered offscreen on sample records. With
// DCX_SCREENSHOT_DIR set the pictures are saved there (docs/ keeps them).
#include "editors/frmfilm.h"
#include "editors/frmlayer.h"
#include "editors/frmmaterial.h"
#include "editors/frmsystem.h"
#include "tests/editors/editortestkit.h"

#include <QDir>
#include <QPixmap>
#include <QTabWidget>

namespace {

void grab(QWidget& form, const char* file)
{
    form.show();
    QApplication::processEvents();
    const QPixmap pic = form.grab();
    EXPECT_FALSE(pic.isNull());
    EXPECT_GT(pic.width(), 100);
    const QString dir = qEnvironmentVariable("DCX_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(pic.save(QDir(dir).filePath(QString::fromLatin1(file))));
    }
}

using Screenshots = EditorTest;

TEST_F(Screenshots, Layer)
{
    Model().FilmTable[3].Film_Name = "Gold";
    LayerRecord& l = Model().LayerTable[12];
    l.Rate = 12.5;
    l.Final_Thick = 1.25;
    l.Time_Setpoint = 300;
    l.Thick_Limit = 1.1;
    l.Film_Number = 3;
    l.Output_Number = 2;
    l.Ramp1_Enabled = 1;
    l.Ramp1_Rate = 5.0;
    l.Ramp1_Start = 1.0;
    l.Ramp1_Time = 60;
    Working().CurLayer = 12;
    frmLayer form;
    grab(form, "screenshot-layer.png");
}

TEST_F(Screenshots, Film)
{
    Model().MaterialTable[4].Material = "Gold";
    FilmRecord& f = Model().FilmTable[3];
    f.Film_Name = "Gold";
    f.Material_Index = 4;
    f.Pocket = 2;
    f.Tooling = 112;
    f.Pterm = 40;
    f.Iterm = 1.5;
    f.Dterm = 0.2;
    f.Crystal_Quality = 5;
    f.Crystal_Fail = 1;
    f.Ramp1_Power = 12.5;
    f.Ramp1_Time = 90;
    f.Soak1_Time = 60;
    f.Capture = 2.5;
    f.Control_Error = 1;
    f.Control_Error_Percent = 10;
    f.Sampling = 2;
    f.Sample_Time = 30;
    f.Sample_Hold = 120;
    Working().CurFilm = 3;
    frmFilm form;
    grab(form, "screenshot-film.png");
    auto* tabs = Find<QTabWidget>(&form, "tabFilm");
    tabs->setCurrentIndex(1);
    grab(form, "screenshot-film-conditioning.png");
    tabs->setCurrentIndex(2);
    grab(form, "screenshot-film-controls.png");
}

TEST_F(Screenshots, Material)
{
    Model().MaterialTable[1].Material = "Aluminum";
    Model().MaterialTable[1].Density = 2.7;
    Model().MaterialTable[1].ZFactor = 1.08;
    frmMaterial form;
    grab(form, "screenshot-material.png");
}

TEST_F(Screenshots, System)
{
    for (int n = 0; n < MaxInputs; ++n)
        Model().InputTable[size_t(n)].Input_Type = qint16(n < 6 ? n + 1 : 46);
    for (int n = 0; n < MaxOutputs; ++n)
        Model().OutputTable[size_t(n)].Output_Type = qint16(n < 8 ? n + 1 : 69);
    frmSystem form;
    grab(form, "screenshot-system.png");
}

} // namespace
