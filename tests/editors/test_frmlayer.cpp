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
    l.Rate = 12.25; // the tenths round half to even, as the process report does
    l.Final_Thick = 12.345;
    l.Max_Power1 = 99.95;
    l.Slew_Rate1 = 100.0;
    l.Start_Mode = 0;
    l.Film_Number = 50;
    l.Output_Number = 2;
    l.Ramp2_Enabled = 1.0;
    l.Ramp1_Time = 90;
    l.Ramp2_Rate = 3.4;
    l.Thick_Limit = 1.2;
    l.Next_Layer = 9;
    Model().FilmTable[3].Film_Name = "Gold";
    Working().CurLayer = 7;
    frmLayer form;
    form.show();
    EXPECT_EQ(Texts(&form, {"txtRate_0", "txtFinalThick_0", "txtFinalThick_1", "txtMaxPower", "txtSlewRate",
                            "txtStartMode", "txtTimeSetpoint_1", "txtRate_2", "txtThickSetpoint"}),
              (QStringList{"12.2", "12.345", "0.000", "99.0", "0.0", "Manual", "90", "3.4", "1.200"}));
    EXPECT_EQ(Spin(&form, "spnRateTenths_0")->resetText(), "&Reset to stored value (0.2 Å/s)");
    auto* films = Find<QComboBox>(&form, "cmbFilm");
    EXPECT_EQ(films->currentIndex(), 49) << "film entry";
    EXPECT_EQ(films->itemText(2), "3. Gold            ") << "film list text";
    EXPECT_TRUE(Find<QRadioButton>(&form, "optOutNum_2")->isChecked());

    QTest::keyClick(Spin(&form, "spnStartMode"), Qt::Key_Up);
    Wheel(Spin(&form, "spnRate_0"), 2);
    QTest::keyClick(Spin(&form, "spnFinalThickThousandths_0"), Qt::Key_Down);
    QTest::keyClick(Spin(&form, "spnMaxPower_0"), Qt::Key_PageUp); // tenths stop at 9
    QTest::keyClick(Spin(&form, "spnRateTenths_2"), Qt::Key_Up);
    QTest::keyClick(Spin(&form, "spnThickSetpointHundredths"), Qt::Key_Up);
    QTest::keyClick(Spin(&form, "spnTimeSetpoint_2"), Qt::Key_PageUp);
    QTest::keyClick(Spin(&form, "spnTimeSetpoint_1"), Qt::Key_Up);
    QTest::keyClick(Spin(&form, "spnFinalThick_1"), Qt::Key_Up);
    for (const char* box :
         {"optOutNum_1", "chkSensor1", "chkSensor2", "chkSensor4", "chkRamp_1", "chkRamp_2"})
        Find<QAbstractButton>(&form, box)->click(); // the wide ramp boxes miss a click at their middle
    films->setCurrentIndex(2);
    Click(&form, "cmdOK");
    struct Stored {
        const char* field;
        double value;
        double want;
    };
    for (const Stored f : {Stored{"Rate", l.Rate, 14.2},
                           {"Final_Thick", l.Final_Thick, 12.344},
                           {"Max_Power1", l.Max_Power1, 99.9},
                           {"Slew_Rate1", l.Slew_Rate1, 0.0},
                           {"Start_Mode", double(l.Start_Mode), 1},
                           {"Output_Number", double(l.Output_Number), 1},
                           {"Film_Number", double(l.Film_Number), 3},
                           {"Sensor1", double(l.Sensor1), 0},
                           {"Sensor2", double(l.Sensor2), 1},
                           {"Sensor3", double(l.Sensor3), 0},
                           {"Sensor4", double(l.Sensor4), 1},
                           {"Ramp1_Enabled", l.Ramp1_Enabled, 1},
                           {"Ramp1_Time", double(l.Ramp1_Time), 91},
                           {"Ramp1_Start", l.Ramp1_Start, 1.0},
                           {"Ramp2_Enabled", l.Ramp2_Enabled, 0},
                           {"Ramp2_Rate", l.Ramp2_Rate, 3.5},
                           {"Ramp2_Time", double(l.Ramp2_Time), 10},
                           {"Thick_Limit", l.Thick_Limit, 1.21},
                           {"Next_Layer", double(l.Next_Layer), 9}})
        EXPECT_EQ(f.value, f.want) << f.field;
}

} // namespace
