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
    std::tie(f.Ramp1_Time, f.Feed_Time, f.Capture, f.Pterm, f.Control_Error, f.Sampling, f.Material_Index) =
        std::tuple(90, 5000, 2.5, 1500, 0, 1, 3);
    frmFilm form; // CurFilm 0 opens film 1
    form.show();
    EXPECT_EQ(form.windowTitle(), "Film #1: Film 1          ");
    EXPECT_EQ(
        Texts(&form, {"txtRamp1Time", "txtFeedTime", "txtCapture", "txtPTerm", "txtXtalQual", "txtPocket"}),
        (QStringList{"0:01:30", "0:00:20", "2.5", "1500", "Disable", "None"}));
    EXPECT_EQ(Find<QComboBox>(&form, "cmbMaterial")->currentIndex(), 2);
    const auto hidden = [&form](const char* name) { return Find<QWidget>(&form, name)->isHidden(); };
    EXPECT_EQ(std::tuple(hidden("txtControlError"), hidden("txtAccuracy"), hidden("spnHoldTime_0")),
              std::tuple(true, false, true));

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
    Click(&form, "optCntrlErr_2");
    EXPECT_FALSE(hidden("txtControlError"));

    Click(&form, "cmdOK");
    EXPECT_EQ(std::tuple(f.Ramp1_Time, f.Feed_Time, f.Feed_Ramp, f.Shutter_Delay, f.Capture, f.Pterm,
                         f.Crystal_Quality, f.Control_Error, f.Material_Index),
              std::tuple(90, 20, 3600.0, 3600, 2.5, 1500.0, 1, 2, 3));
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
    EXPECT_EQ(std::tuple(Model().FilmTable[1].Pocket, Model().FilmTable[2].Pocket), std::tuple(1, 0));
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
