// The material editor driven by its control names, offscreen.
#include "editors/frmeditors.h"
#include "editors/frmmaterial.h"
#include "support/scripteddialogs.h"
#include "tests/editors/editortestkit.h"

#include <QComboBox>
#include <QToolButton>

namespace {

class MaterialEditor : public EditorTest {
protected:
    ScriptedDialogs d;
    ScopedDialogs scoped{d};
};

// Types into a box and ends with key (Enter checks; Tab leaves the box).
void type(QWidget* form, const char* box, const char* text, Qt::Key key)
{
    auto* e = Find<QLineEdit>(form, box);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, QString::fromLatin1(text));
    QTest::keyClick(e, key);
}

TEST_F(MaterialEditor, TypedAndSpunValuesAreStoredAtOnce)
{
    frmMaterial form;
    form.show();
    QApplication::setActiveWindow(&form);
    UpDownWidget* density = Spin(&form, "spnDensity");
    type(&form, "txtDensity", "2.705", Qt::Key_Return); // 270.5 hundredths, half to even
    EXPECT_EQ(Text(&form, "txtDensity"), "2.70") << "density box";
    EXPECT_EQ(Model().MaterialTable[1].Density, double(2.7f)) << "Density";
    EXPECT_EQ(density->resetText(), "&Reset to stored value (1.00 g/cm³)");

    // A refused entry keeps the focus, and the wheel turn or arrow click that
    // tried to take it is dropped.
    type(&form, "txtDensity", "0.39", Qt::Key_Return);
    Wheel(density, 2);
    Find<QLineEdit>(&form, "txtDensity")->setText("2.70");
    type(&form, "txtZFactor", "10", Qt::Key_Tab);
    QTest::mouseClick(Spin(&form, "spnZFactor")->findChildren<QToolButton*>().value(0), Qt::LeftButton);
    EXPECT_EQ(d.texts(), (QStringList{"Valid values are 0.40 to 99.99.", "Valid values are 0.40 to 99.99.",
                                      "Valid values are 0.10 to 9.99.", "Valid values are 0.10 to 9.99."}));
    EXPECT_TRUE(Find<QWidget>(&form, "txtZFactor")->hasFocus());
    EXPECT_EQ(Model().MaterialTable[1].Density, double(2.7f)) << "Density after refusals";
    EXPECT_EQ(Model().MaterialTable[1].ZFactor, 1.0) << "ZFactor after refusals";
    Find<QLineEdit>(&form, "txtZFactor")->setText("1.00");
    QApplication::processEvents(); // a later turn of the wheel comes in a later round
    Wheel(Spin(&form, "spnZFactor"), 3);
    EXPECT_EQ(Model().MaterialTable[1].ZFactor, double(1.03f)) << "ZFactor";

    // Material 2 holds the density the spinner already shows: its box still shows it.
    // ZFactor 250 is out of range: clamped, and stored as shown.
    MaterialRecord& m2 = Model().MaterialTable[2];
    m2.Density = 2.7;
    m2.ZFactor = 250.0;
    QTest::keyClick(Find<QComboBox>(&form, "cboMaterials"), Qt::Key_Down);
    EXPECT_EQ(form.currentMaterial(), 2);
    EXPECT_EQ(Texts(&form, {"txtDensity", "txtZFactor"}), (QStringList{"2.70", "9.99"}));
    EXPECT_EQ(m2.ZFactor, double(9.99f)) << "clamped ZFactor";
    EXPECT_EQ(m2.Density, 2.7) << "Density, in range, untouched by looking";
}

TEST_F(MaterialEditor, RenameRefusesDuplicatesAndCancelChangesNothing)
{
    Model().MaterialTable[12].Material = "Silver";
    d.answerInput(QString("silver"));
    d.answerInput(std::nullopt);
    frmMaterial form;
    form.RenameMaterial();
    EXPECT_EQ(d.texts(), QStringList{"Duplicate Name @ Material #12."});
    EXPECT_EQ(d.prompts.size(), 2);
    EXPECT_EQ(Model().MaterialTable[1].Material.trimmed(), "Material 1");
    d.answerInput(QString("  Gold  "));
    form.RenameMaterial();
    EXPECT_EQ(Model().MaterialTable[1].Material.trimmed(), "Gold");
    EXPECT_EQ(Find<QComboBox>(&form, "cboMaterials")->itemText(0), "Gold");
}

} // namespace
