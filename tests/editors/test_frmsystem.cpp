// The system editor driven by its control names, offscreen.
#include "editors/frmeditors.h"
#include "editors/frmsystem.h"
#include "tests/editors/editortestkit.h"

#include <QComboBox>
#include <QRadioButton>

namespace {

using SystemEditor = EditorTest;

// Types into a box and leaves it with Tab.
void type(QWidget* form, const QString& box, const QString& text)
{
    auto* e = form->findChild<QLineEdit*>(box);
    ASSERT_NE(e, nullptr) << box.toStdString();
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Tab);
}

TEST_F(SystemEditor, TypedValuesClampAndFrequenciesStayApart)
{
    frmSystem form;
    form.show();
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(Text(&form, "txtSysParam_0"), "0.25");
    EXPECT_EQ(Text(&form, "txtSysParam_1"), "5.0");
    EXPECT_EQ(Text(&form, "txtSysParam_3"), "5");
    struct Typed { const char* box; const char* text; const char* shown; };
    for (const Typed t : {Typed{"txtSysParam_0", "0.22", "0.25"}, {"txtSysParam_0", "0.05", "0.1"},
                          {"txtSysParam_0", "2", "1"}, {"txtSysParam_0", "0.6", "0.75"},
                          {"txtSysParam_2", "7", "6.5"}, {"txtSysParam_1", "0.5", "1.0"},
                          {"txtSysParam_3", "-12", "-10"}, {"txtSysParam_4", "12", "10"}}) {
        type(&form, t.box, t.text);
        EXPECT_EQ(Text(&form, t.box), t.shown) << t.box << " " << t.text;
    }
    type(&form, "txtSysParam_1", "5.9");
    type(&form, "txtSysParam_2", "6.0");
    QTest::keyClick(Spin(&form, "spnSysParam_1"), Qt::Key_Up);
    EXPECT_EQ(Text(&form, "txtSysParam_1"), "6.0");
    EXPECT_EQ(Text(&form, "txtSysParam_2"), "6.1");
    QTest::keyClick(Find<QLineEdit>(&form, "txtSysParam_5"), Qt::Key_Up); // the box steps its spinner
    EXPECT_EQ(Text(&form, "txtSysParam_5"), "5.1");
    Wheel(Spin(&form, "spnSysTool"), -3);
    EXPECT_EQ(Text(&form, "txtSysTool"), "97");

    form.cmdOK_Click();
    const SystemRecord& s = Model().SystemParams;
    EXPECT_EQ(s.Period, double(0.75f));
    EXPECT_EQ(s.Min_Freq, 6.0);
    EXPECT_EQ(s.Max_Freq, 6.1);
    EXPECT_EQ(s.Power_Scale_1, -10.0);
    EXPECT_EQ(s.Power_Scale_2, 10.0);
    EXPECT_EQ(s.Power_Scale_3, 5.1);
    EXPECT_EQ(s.System_Tooling, 97);
}

TEST_F(SystemEditor, OutOfRangeRecordShowsAndStoresWhatItWillKeep)
{
    ParameterModel& m = Model();
    m.SystemParams.Period = 0.26;
    m.SystemParams.Simulate_Mode = 2;
    m.SystemParams.Xtool3 = 500;
    m.SystemParams.Power_Scale_4 = 20;
    m.InputTable[0].Input_Type = 0;
    m.InputTable[5].Input_Type = 47;
    m.OutputTable[15].Output_Type = 70;
    frmSystem form;
    EXPECT_EQ(Text(&form, "txtSysParam_0"), "0.3");
    EXPECT_EQ(Text(&form, "txtXTool_2"), "399");
    EXPECT_EQ(Text(&form, "txtSysParam_6"), "10");
    EXPECT_TRUE(Find<QRadioButton>(&form, "optSimMode_1")->isChecked());
    EXPECT_EQ(Find<QComboBox>(&form, "cmbInput_0")->currentText(), "None");
    EXPECT_EQ(Find<QComboBox>(&form, "cmbInput_5")->currentText(), "None");
    EXPECT_EQ(Find<QComboBox>(&form, "cmbRelay_15")->currentText(), "None");
    EXPECT_EQ(Find<QComboBox>(&form, "cmbRelay_0")->currentText(), "Source 1 Shutter");
    form.cmdOK_Click();
    EXPECT_EQ(m.SystemParams.Period, double(0.3f));
    EXPECT_EQ(m.SystemParams.Simulate_Mode, 1);
    EXPECT_EQ(m.SystemParams.Xtool3, 399);
    EXPECT_EQ(m.SystemParams.Power_Scale_4, 10.0);
    EXPECT_EQ(m.InputTable[0].Input_Type, 46);
    EXPECT_EQ(m.InputTable[5].Input_Type, 46);
    EXPECT_EQ(m.OutputTable[15].Output_Type, 69);
}

TEST_F(SystemEditor, CancelLeavesEverythingAsItWas)
{
    const ParameterModel before = Model();
    WhenModal([](QWidget* w) {
        QTest::keyClick(Spin(w, "spnSysParam_0"), Qt::Key_Home);
        QTest::keyClick(Spin(w, "spnXTool_0"), Qt::Key_PageUp);
        Find<QComboBox>(w, "cmbInput_3")->setCurrentIndex(10);
        QTest::mouseClick(Find<QWidget>(w, "optSimMode_1"), Qt::LeftButton);
        QTest::mouseClick(Find<QWidget>(w, "cmdCancel"), Qt::LeftButton);
    });
    EXPECT_FALSE(ShowSystemEditor(nullptr));
    EXPECT_EQ(Model(), before);
    WhenModal([](QWidget* w) {
        QTest::keyClick(Spin(w, "spnXTool_0"), Qt::Key_PageUp);
        QTest::keyClick(w, Qt::Key_Return);
    });
    EXPECT_TRUE(ShowSystemEditor(nullptr));
    EXPECT_EQ(Model().SystemParams.Xtool1, 110);
}

} // namespace
