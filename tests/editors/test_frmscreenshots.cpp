// The four editors rendered offscreen on sample records. With
// DCX_SCREENSHOT_DIR set the pictures are saved there (docs/ keeps them).
#include "editors/frmlayer.h"
#include "tests/editors/editortestkit.h"

#include <QDir>
#include <QPixmap>

namespace {

void grab(QWidget& form, const char* file)
{
    form.show();
    QApplication::processEvents();
    const QPixmap pic = form.grab();
    EXPECT_FALSE(pic.isNull());
    EXPECT_GT(pic.width(), 200);
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

} // namespace
