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
    f.Pterm = 12.5; // typed once; the box keeps it, the spinner cannot
    f.Control_Error = 0;
    f.Sampling = 1;
    f.Material_Index = 3;
    frmFilm form; // CurFilm 0 opens film 1
    form.show();
    EXPECT_EQ(form.windowTitle(), "Film #1: Film 1          ");
    EXPECT_EQ(
        Texts(&form, {"txtRamp1Time", "txtFeedTime", "txtCapture", "txtPTerm", "txtXtalQual", "txtPocket"}),
        (QStringList{"0:01:30", "0:00:20", "2.5", "12.5", "Disable", "None"}));
    EXPECT_EQ(Spin(&form, "spnRamp1Time_0")->resetText(), "&Reset to stored value (0:00:30)");
    EXPECT_EQ(Find<QComboBox>(&form, "cmbMaterial")->currentIndex(), 2);
    const auto hidden = [&form](const char* name) { return Find<QWidget>(&form, name)->isHidden(); };
    EXPECT_TRUE(hidden("txtControlError")) << "Ignore hides the error";
    EXPECT_FALSE(hidden("txtAccuracy")) << "Accuracy shows the accuracy";
    EXPECT_TRUE(hidden("spnHoldTime_0")) << "Accuracy hides the hold time";

    // At 60 minutes the seconds cannot be raised, whichever spinner moves.
    QTest::keyClick(Spin(&form, "spnFeedRamp_1"), Qt::Key_End);
    QTest::keyClick(Spin(&form, "spnFeedRamp_0"), Qt::Key_Up);
    Wheel(Spin(&form, "spnShutterDelaySecs"), 5);
    QTest::keyClick(Spin(&form, "spnShutterDelayMins"), Qt::Key_End);
    QTest::keyClick(Spin(&form, "spnXtalQual"), Qt::Key_Up);
    for (const char* option : {"optCntrlErr_2", "optXtalFail_1", "optRateSampling_2"})
        Click(&form, option);
    EXPECT_FALSE(hidden("txtControlError"));
    EXPECT_FALSE(hidden("spnHoldTime_0"));

    Click(&form, "cmdOK");
    struct Stored {
        const char* field;
        double value;
        double want;
    };
    for (const Stored s : {Stored{"Ramp1_Time", double(f.Ramp1_Time), 90},
                           {"Feed_Time", double(f.Feed_Time), 20},
                           {"Feed_Ramp", f.Feed_Ramp, 3600},
                           {"Shutter_Delay", double(f.Shutter_Delay), 3600},
                           {"Capture", f.Capture, 2.5},
                           {"Pterm", f.Pterm, 12.5},
                           {"Crystal_Quality", double(f.Crystal_Quality), 1},
                           {"Crystal_Fail", double(f.Crystal_Fail), 1},
                           {"Control_Error", double(f.Control_Error), 2},
                           {"Sampling", double(f.Sampling), 2},
                           {"Material_Index", double(f.Material_Index), 3}})
        EXPECT_EQ(s.value, s.want) << s.field;
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
    EXPECT_EQ(Model().FilmTable[1].Pocket, 1) << "film 1, left by switching";
    EXPECT_EQ(Model().FilmTable[2].Pocket, 0) << "film 2, on show at the close";
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
