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
    std::tie(l.Rate, l.Final_Thick, l.Max_Power1, l.Slew_Rate1, l.Start_Mode, l.Film_Number, l.Output_Number,
             l.Ramp1_Time, l.Next_Layer) = std::tuple(12.3, 12.345, 99.95, 100.0, 0, 50, 2, 90, 9);
    Model().FilmTable[3].Film_Name = "Gold";
    Working().CurLayer = 7;
    frmLayer form;
    form.show();
    EXPECT_EQ(std::tuple(Spin(&form, "spnRate_0")->value(), Spin(&form, "spnRateTenths_0")->value()),
              std::tuple(12, 3));
    EXPECT_EQ(Texts(&form, {"txtRate_0", "txtFinalThick_0", "txtFinalThick_1", "txtMaxPower", "txtSlewRate",
                            "txtStartMode", "txtTimeSetpoint_1"}),
              (QStringList{"12.3", "12.345", "0.000", "99.0", "0.0", "Manual", "90"}));
    auto* films = Find<QComboBox>(&form, "cmbFilm");
    EXPECT_EQ(std::tuple(films->currentIndex(), films->itemText(2)),
              std::tuple(49, QString("3. Gold            ")));
    EXPECT_TRUE(Find<QRadioButton>(&form, "optOutNum_2")->isChecked());

    QTest::keyClick(Spin(&form, "spnStartMode"), Qt::Key_Up);
    EXPECT_EQ(Text(&form, "txtStartMode"), "Auto");
    Wheel(Spin(&form, "spnRate_0"), 2);
    QTest::keyClick(Spin(&form, "spnFinalThickThousandths_0"), Qt::Key_Down);
    EXPECT_EQ(Texts(&form, {"txtRate_0", "txtFinalThick_0"}), (QStringList{"14.3", "12.344"}));
    QTest::keyClick(Spin(&form, "spnMaxPower_0"), Qt::Key_PageUp); // tenths stop at 9
    EXPECT_EQ(Text(&form, "txtMaxPower"), "99.9");
    Click(&form, "optOutNum_4");
    films->setCurrentIndex(2);
    Click(&form, "cmdOK");
    EXPECT_EQ(std::tuple(l.Rate, l.Final_Thick, l.Max_Power1, l.Slew_Rate1, l.Start_Mode, l.Output_Number,
                         l.Film_Number, l.Ramp1_Time, l.Next_Layer),
              std::tuple(14.3, 12.344, 99.9, 0.0, 1, 4, 3, 90, 9));
}

} // namespace
