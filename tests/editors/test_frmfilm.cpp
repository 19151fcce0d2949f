// The film editor driven by its control names, offscreen.
#include "editors/frmeditors.h"
#include "editors/frmfilm.h"
#include "support/scripteddialogs.h"
#include "tests/editors/editortestkit.h"

#include <QComboBox>

namespace {

using FilmEditor = EditorTest;

TEST_F(FilmEditor, LoadsTimesWordsAndStoresWhatItShows)
{
    FilmRecord& f = Model().FilmTable[1];
    f.Ramp1_Time = 90;
    f.Feed_Time = 5000;
    f.Capture = 2.5;
    f.Pterm = 1500;
    f.Control_Error = 0;
    f.Sampling = 1;
    f.Material_Index = 3;
    frmFilm form; // CurFilm 0 opens film 1
    form.show();
    EXPECT_EQ(form.windowTitle(), "Film #1: Film 1          ");
    EXPECT_EQ(Text(&form, "txtRamp1Time"), "0:01:30");
    EXPECT_EQ(Text(&form, "txtFeedTime"), "0:00:20");
    EXPECT_EQ(Text(&form, "txtCapture"), "2.5");
    EXPECT_EQ(Text(&form, "txtPTerm"), "1500");
    EXPECT_EQ(Text(&form, "txtXtalQual"), "Disable");
    EXPECT_EQ(Text(&form, "txtPocket"), "None");
    EXPECT_EQ(Find<QComboBox>(&form, "cmbMaterial")->currentIndex(), 2);
    EXPECT_TRUE(Find<QWidget>(&form, "txtControlError")->isHidden());
    EXPECT_FALSE(Find<QWidget>(&form, "txtAccuracy")->isHidden());
    EXPECT_TRUE(Find<QWidget>(&form, "spnHoldTime_0")->isHidden());

    // At 60 minutes the seconds cannot be raised, whichever spinner moves.
    QTest::keyClick(Spin(&form, "spnFeedRamp_1"), Qt::Key_End);
    QTest::keyClick(Spin(&form, "spnFeedRamp_0"), Qt::Key_Up);
    EXPECT_EQ(Spin(&form, "spnFeedRamp_0")->value(), 0);
    EXPECT_EQ(Text(&form, "txtFeedRamp"), "1:00:00");
    Wheel(Spin(&form, "spnShutterDelaySecs"), 5);
    QTest::keyClick(Spin(&form, "spnShutterDelayMins"), Qt::Key_End);
    EXPECT_EQ(Text(&form, "txtShutterDelay"), "1:00:00");
    QTest::keyClick(Spin(&form, "spnXtalQual"), Qt::Key_Up);
    EXPECT_EQ(Text(&form, "txtXtalQual"), "1");
    QTest::mouseClick(Find<QWidget>(&form, "optCntrlErr_2"), Qt::LeftButton);
    EXPECT_FALSE(Find<QWidget>(&form, "txtControlError")->isHidden());

    QTest::mouseClick(Find<QWidget>(&form, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(f.Ramp1_Time, 90);
    EXPECT_EQ(f.Feed_Time, 20);
    EXPECT_EQ(f.Feed_Ramp, 3600.0);
    EXPECT_EQ(f.Shutter_Delay, 3600);
    EXPECT_EQ(f.Capture, 2.5);
    EXPECT_EQ(f.Pterm, 1500.0);
    EXPECT_EQ(f.Crystal_Quality, 1);
    EXPECT_EQ(f.Control_Error, 2);
    EXPECT_EQ(f.Material_Index, 3);
}

TEST_F(FilmEditor, SwitchingStoresTheFilmLeftAndCloseDropsOnlyTheOneOnShow)
{
    Working().CurFilm = 1;
    WhenModal([](QWidget* w) {
        QTest::keyClick(Spin(w, "spnPocket"), Qt::Key_Up);
        QTest::keyClick(Find<QComboBox>(w, "cboFilms"), Qt::Key_Down); // to film 2
        EXPECT_EQ(Text(w, "txtPocket"), "None");
        QTest::keyClick(Spin(w, "spnPocket"), Qt::Key_PageUp);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_TRUE(ShowFilmEditor(nullptr));
    EXPECT_EQ(Model().FilmTable[1].Pocket, 1);
    EXPECT_EQ(Model().FilmTable[2].Pocket, 0);
}

TEST_F(FilmEditor, RenameRefusesDuplicatesAndCutsToTwelve)
{
    Model().FilmTable[7].Film_Name = "Silver";
    Working().CurFilm = 4;
    ScriptedDialogs d;
    const ScopedDialogs scoped(d);
    d.answerInput(QString("SILVER"));
    d.answerInput(std::nullopt);
    frmFilm form;
    form.RenameFilm();
    EXPECT_EQ(d.texts(), QStringList{"Duplicate Name @ Film #7."});
    EXPECT_EQ(d.prompts, (QStringList{"Enter new name:", "Enter new name:"}));
    EXPECT_EQ(Model().FilmTable[4].Film_Name.trimmed(), "Film 4");

    d.answerInput(QString("ABCDEFGHIJKLMNO"));
    form.RenameFilm();
    EXPECT_EQ(Model().FilmTable[4].Film_Name.text(), "ABCDEFGHIJKL    ");
    EXPECT_EQ(Find<QComboBox>(&form, "cboFilms")->itemText(3), "4. ABCDEFGHIJKL");
    EXPECT_EQ(form.windowTitle(), "Film #4: ABCDEFGHIJKL    ");
}

} // namespace
