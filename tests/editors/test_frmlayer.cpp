// The layer editor driven by its control names, offscreen.
#include "editors/frmeditors.h"
#include "editors/frmlayer.h"
#include "tests/editors/editortestkit.h"

#include <QComboBox>
#include <QRadioButton>

namespace {

using LayerEditor = EditorTest;

TEST_F(LayerEditor, LoadsSplitsAndStoresWhatItShows)
{
    LayerRecord& l = Model().LayerTable[7];
    l.Rate = 12.3;
    l.Final_Thick = 12.345;
    l.Max_Power1 = 99.95;
    l.Slew_Rate1 = 100.0;
    l.Start_Mode = 0;
    l.Film_Number = 50;
    l.Output_Number = 2;
    l.Ramp1_Time = 90;
    l.Next_Layer = 9;
    Model().FilmTable[3].Film_Name = "Gold";
    Working().CurLayer = 7;
    frmLayer form;
    form.show();
    EXPECT_EQ(Spin(&form, "spnRate_0")->value(), 12);
    EXPECT_EQ(Spin(&form, "spnRateTenths_0")->value(), 3);
    EXPECT_EQ(Text(&form, "txtRate_0"), "12.3");
    EXPECT_EQ(Text(&form, "txtFinalThick_0"), "12.345");
    EXPECT_EQ(Text(&form, "txtFinalThick_1"), "0.000");
    EXPECT_EQ(Text(&form, "txtMaxPower"), "99.0");
    EXPECT_EQ(Text(&form, "txtSlewRate"), "0.0");
    EXPECT_EQ(Text(&form, "txtStartMode"), "Manual");
    EXPECT_EQ(Text(&form, "txtTimeSetpoint_1"), "90");
    auto* films = Find<QComboBox>(&form, "cmbFilm");
    EXPECT_EQ(films->currentIndex(), 49);
    EXPECT_EQ(films->itemText(2), "3. Gold            ");
    EXPECT_TRUE(Find<QRadioButton>(&form, "optOutNum_2")->isChecked());

    QTest::keyClick(Spin(&form, "spnStartMode"), Qt::Key_Up);
    EXPECT_EQ(Text(&form, "txtStartMode"), "Auto");
    Wheel(Spin(&form, "spnRate_0"), 2);
    QTest::keyClick(Spin(&form, "spnFinalThickThousandths_0"), Qt::Key_Down);
    EXPECT_EQ(Text(&form, "txtRate_0"), "14.3");
    EXPECT_EQ(Text(&form, "txtFinalThick_0"), "12.344");
    QTest::keyClick(Spin(&form, "spnMaxPower_0"), Qt::Key_PageUp); // tenths stop at 9
    EXPECT_EQ(Text(&form, "txtMaxPower"), "99.9");
    QTest::mouseClick(Find<QRadioButton>(&form, "optOutNum_4"), Qt::LeftButton);
    films->setCurrentIndex(2);
    QTest::mouseClick(Find<QWidget>(&form, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(l.Rate, 14.3);
    EXPECT_EQ(l.Final_Thick, 12.344);
    EXPECT_EQ(l.Max_Power1, 99.9);
    EXPECT_EQ(l.Slew_Rate1, 0.0);
    EXPECT_EQ(l.Start_Mode, 1);
    EXPECT_EQ(l.Output_Number, 4);
    EXPECT_EQ(l.Film_Number, 3);
    EXPECT_EQ(l.Ramp1_Time, 90);
    EXPECT_EQ(l.Next_Layer, 9);
}

} // namespace
