// The system editor driven by its control names, offscreen.
#include "editors/frmeditors.h"
#include "editors/frmsystem.h"
#include "support/scripteddialogs.h"
#include "tests/editors/editortestkit.h"

#include <QComboBox>

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
    ScriptedDialogs d;
    const ScopedDialogs scoped(d);
    frmSystem form;
    form.show();
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(Spin(&form, "spnSysParam_0")->resetText(), "&Reset to stored value (0.25 s)");
    EXPECT_EQ(Spin(&form, "spnSysParam_1")->resetText(), "&Reset to stored value (5.0 MHz)");
    struct Typed {
        const char* box;
        const char* text;
        const char* shown;
    };
    for (const Typed t : {Typed{"txtSysParam_0", "0.6", "0.75"},
                          {"txtSysParam_2", "7", "6.5"},
                          {"txtSysParam_1", "0.5", "1.0"},
                          {"txtSysParam_3", "-12", "-10"},
                          {"txtSysParam_4", "12", "10"}}) {
        type(&form, t.box, t.text);
        EXPECT_EQ(Text(&form, t.box), t.shown) << t.box << " " << t.text;
    }
    // Every kind of spinner move keeps Min below Max, pushing the other one.
    type(&form, "txtSysParam_1", "5.5");
    type(&form, "txtSysParam_2", "6.0");
    struct Move {
        const char* name;
        const char* spin;
        int key; // 0: turn the wheel by notches
        int notches;
        const char* min;
        const char* max;
    };
    for (const Move m : {Move{"End on Min", "spnSysParam_1", Qt::Key_End, 0, "6.4", "6.5"},
                         {"Home on Max", "spnSysParam_2", Qt::Key_Home, 0, "1.0", "1.1"},
                         {"PageUp on Min", "spnSysParam_1", Qt::Key_PageUp, 0, "2.0", "2.1"},
                         {"wheel up on Min", "spnSysParam_1", 0, 3, "2.3", "2.4"},
                         {"wheel down on Max", "spnSysParam_2", 0, -14, "1.0", "1.1"},
                         {"Up on Min meets Max", "spnSysParam_1", Qt::Key_Up, 0, "1.1", "1.2"}}) {
        SCOPED_TRACE(m.name);
        if (m.key != 0)
            QTest::keyClick(Spin(&form, m.spin), Qt::Key(m.key));
        else
            Wheel(Spin(&form, m.spin), m.notches);
        EXPECT_EQ(Text(&form, "txtSysParam_1"), m.min) << "Min Freq";
        EXPECT_EQ(Text(&form, "txtSysParam_2"), m.max) << "Max Freq";
    }
    QTest::keyClick(Find<QLineEdit>(&form, "txtSysParam_5"), Qt::Key_Up); // the box steps its spinner
    Wheel(Spin(&form, "spnSysTool"), -3);

    // A typed inversion stays as typed, but OK will not store it.
    type(&form, "txtSysParam_1", "6.0");
    EXPECT_EQ(Text(&form, "txtSysParam_2"), "1.2") << "typed Min leaves Max";
    form.cmdOK_Click();
    EXPECT_EQ(d.texts(), QStringList{"Min Freq. must be below Max Freq."});
    const SystemRecord& s = Model().SystemParams;
    EXPECT_EQ(s.Min_Freq, 5.0) << "Min Freq after a refused OK";
    type(&form, "txtSysParam_2", "6.0"); // typed Max meeting Min pushes it down
    form.cmdOK_Click();
    EXPECT_EQ(s.Period, double(0.75f)) << "Period";
    EXPECT_EQ(s.Min_Freq, 5.9) << "Min Freq";
    EXPECT_EQ(s.Max_Freq, 6.0) << "Max Freq";
    EXPECT_EQ(s.Power_Scale_1, -10.0) << "Power Scale 1";
    EXPECT_EQ(s.Power_Scale_2, 10.0) << "Power Scale 2";
    EXPECT_EQ(s.Power_Scale_3, 5.1) << "Power Scale 3";
    EXPECT_EQ(s.System_Tooling, 97) << "System Tooling";
}

TEST_F(SystemEditor, OutOfRangeRecordShowsAndStoresWhatItWillKeep)
{
    ParameterModel& m = Model();
    SystemRecord& s = m.SystemParams;
    s.Period = 0.26;
    s.Simulate_Mode = 2;
    s.Xtool3 = 500;
    s.Power_Scale_4 = 20;
    m.InputTable[0].Input_Type = 0;
    m.InputTable[5].Input_Type = 47;
    m.OutputTable[15].Output_Type = 70;
    m.OutputTable[0].Output_Type = 5;
    frmSystem form;
    form.cmdOK_Click();
    EXPECT_EQ(s.Period, double(0.3f)) << "Period";
    EXPECT_EQ(s.Simulate_Mode, 1) << "Simulate Mode";
    EXPECT_EQ(s.Xtool3, 399) << "Xtool3";
    EXPECT_EQ(s.Power_Scale_4, 10.0) << "Power Scale 4";
    EXPECT_EQ(m.InputTable[0].Input_Type, 46) << "input 1";
    EXPECT_EQ(m.InputTable[5].Input_Type, 46) << "input 6";
    EXPECT_EQ(m.OutputTable[15].Output_Type, 69) << "relay 16";
    EXPECT_EQ(m.OutputTable[0].Output_Type, 5) << "relay 1";
}

TEST_F(SystemEditor, CancelLeavesEverythingAsItWas)
{
    const ParameterModel before = Model();
    WhenModal([](QWidget* w) {
        QTest::keyClick(Spin(w, "spnSysParam_0"), Qt::Key_Home);
        QTest::keyClick(Spin(w, "spnXTool_0"), Qt::Key_PageUp);
        Find<QComboBox>(w, "cmbInput_3")->setCurrentIndex(10);
        Click(w, "optSimMode_1");
        Click(w, "cmdCancel");
    });
    EXPECT_FALSE(ShowSystemEditor(nullptr));
    EXPECT_EQ(Model(), before);
    WhenModal([](QWidget* w) {
        QTest::keyClick(Spin(w, "spnXTool_0"), Qt::Key_PageUp);
        Find<QComboBox>(w, "cmbRelay_0")->setCurrentIndex(68);
        QTest::keyClick(w, Qt::Key_Return);
    });
    EXPECT_TRUE(ShowSystemEditor(nullptr));
    EXPECT_EQ(Model().SystemParams.Xtool1, 110) << "Xtool1";
    EXPECT_EQ(Model().OutputTable[0].Output_Type, 69) << "relay 1";
}

} // namespace
