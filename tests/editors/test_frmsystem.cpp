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
    EXPECT_EQ(Texts(&form, {"txtSysParam_0", "txtSysParam_1", "txtSysParam_3"}),
              (QStringList{"0.25", "5.0", "5"}));
    struct Typed {
        const char* box;
        const char* text;
        const char* shown;
    };
    for (const Typed t : {Typed{"txtSysParam_0", "0.22", "0.25"},
                          {"txtSysParam_0", "0.05", "0.1"},
                          {"txtSysParam_0", "2", "1"},
                          {"txtSysParam_0", "0.6", "0.75"},
                          {"txtSysParam_2", "7", "6.5"},
                          {"txtSysParam_1", "0.5", "1.0"},
                          {"txtSysParam_3", "-12", "-10"},
                          {"txtSysParam_4", "12", "10"}}) {
        type(&form, t.box, t.text);
        EXPECT_EQ(Text(&form, t.box), t.shown) << t.box << " " << t.text;
    }
    type(&form, "txtSysParam_1", "5.9");
    type(&form, "txtSysParam_2", "6.0");
    QTest::keyClick(Spin(&form, "spnSysParam_1"), Qt::Key_Up);
    EXPECT_EQ(Texts(&form, {"txtSysParam_1", "txtSysParam_2"}), (QStringList{"6.0", "6.1"}));
    QTest::keyClick(Find<QLineEdit>(&form, "txtSysParam_5"), Qt::Key_Up); // the box steps its spinner
    EXPECT_EQ(Text(&form, "txtSysParam_5"), "5.1");
    Wheel(Spin(&form, "spnSysTool"), -3);
    EXPECT_EQ(Text(&form, "txtSysTool"), "97");

    form.cmdOK_Click();
    const SystemRecord& s = Model().SystemParams;
    EXPECT_EQ(std::tuple(s.Period, s.Min_Freq, s.Max_Freq, s.Power_Scale_1, s.Power_Scale_2, s.Power_Scale_3,
                         s.System_Tooling),
              std::tuple(double(0.75f), 6.0, 6.1, -10.0, 10.0, 5.1, 97));
}

TEST_F(SystemEditor, OutOfRangeRecordShowsAndStoresWhatItWillKeep)
{
    ParameterModel& m = Model();
    SystemRecord& s = m.SystemParams;
    std::tie(s.Period, s.Simulate_Mode, s.Xtool3, s.Power_Scale_4) = std::tuple(0.26, 2, 500, 20);
    std::tie(m.InputTable[0].Input_Type, m.InputTable[5].Input_Type, m.OutputTable[15].Output_Type) =
        std::tuple(0, 47, 70);
    frmSystem form;
    EXPECT_EQ(Texts(&form, {"txtSysParam_0", "txtXTool_2", "txtSysParam_6"}),
              (QStringList{"0.3", "399", "10"}));
    EXPECT_TRUE(Find<QRadioButton>(&form, "optSimMode_1")->isChecked());
    QStringList combos;
    for (const char* name : {"cmbInput_0", "cmbInput_5", "cmbRelay_15", "cmbRelay_0"})
        combos << Find<QComboBox>(&form, name)->currentText();
    EXPECT_EQ(combos, (QStringList{"None", "None", "None", "Source 1 Shutter"}));
    form.cmdOK_Click();
    EXPECT_EQ(std::tuple(s.Period, s.Simulate_Mode, s.Xtool3, s.Power_Scale_4, m.InputTable[0].Input_Type,
                         m.InputTable[5].Input_Type, m.OutputTable[15].Output_Type),
              std::tuple(double(0.3f), 1, 399, 10.0, 46, 46, 69));
}

TEST_F(SystemEditor, CancelLeavesEverythingAsItWas)
{
    const ParameterModel before = Model();
    WhenModal([](QWidget* w) {
        QTest::keyClick(Spin(w, "spnSysParam_0"), Qt::Key_Home);
        QTest::keyClick(Spin(w, "spnXTool_0"), Qt::Key_PageUp);
        Find<QComboBox>(w, "cmbInput_3")->setCurrentIndex(10);
        Click(w, "optSimMode_1"), Click(w, "cmdCancel");
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
