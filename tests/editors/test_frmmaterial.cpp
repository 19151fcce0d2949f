// The material editor driven by its control names, offscreen.
#include "editors/frmeditors.h"
#include "editors/frmmaterial.h"
#include "support/scripteddialogs.h"
#include "tests/editors/editortestkit.h"

#include <QComboBox>

namespace {

class MaterialEditor : public EditorTest {
protected:
    ScriptedDialogs d;
    ScopedDialogs scoped{d};
};

void type(QWidget* form, const char* box, const char* text)
{
    auto* e = Find<QLineEdit>(form, box);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, QString::fromLatin1(text));
    QTest::keyClick(e, Qt::Key_Return);
}

TEST_F(MaterialEditor, TypedAndSpunValuesAreStoredAtOnce)
{
    frmMaterial form;
    form.show();
    QApplication::setActiveWindow(&form);
    type(&form, "txtDensity", "2.7");
    EXPECT_EQ(std::tuple(Spin(&form, "spnDensity")->value(), Text(&form, "txtDensity"),
                         Model().MaterialTable[1].Density),
              std::tuple(270, QString("2.70"), double(2.7f)));
    EXPECT_TRUE(d.texts().isEmpty());

    type(&form, "txtDensity", "0.39");
    EXPECT_EQ(d.texts(), QStringList{"Valid values are 0.40 to 99.99."});
    EXPECT_TRUE(Find<QWidget>(&form, "txtDensity")->hasFocus());
    EXPECT_EQ(std::tuple(Spin(&form, "spnDensity")->value(), Model().MaterialTable[1].Density),
              std::tuple(270, double(2.7f)));

    Find<QLineEdit>(&form, "txtZFactor")->setText("10");
    form.txtZFactor_LostFocus();
    EXPECT_EQ(d.texts().last(), "Valid values are 0.10 to 9.99.");
    Wheel(Spin(&form, "spnZFactor"), 3);
    EXPECT_EQ(std::tuple(Text(&form, "txtZFactor"), Model().MaterialTable[1].ZFactor),
              std::tuple(QString("1.03"), double(1.03f)));

    // Material 2 holds the density the spinner already shows: its box still shows it.
    // ZFactor 250 is out of range: clamped, and stored as shown.
    std::tie(Model().MaterialTable[2].Density, Model().MaterialTable[2].ZFactor) = std::tuple(2.7, 250.0);
    auto* list = Find<QComboBox>(&form, "cboMaterials");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(form.currentMaterial(), 2);
    EXPECT_EQ(Texts(&form, {"txtDensity", "txtZFactor"}), (QStringList{"2.70", "9.99"}));
    // The density, in range, is untouched by looking.
    EXPECT_EQ(std::tuple(Model().MaterialTable[2].ZFactor, Model().MaterialTable[2].Density),
              std::tuple(double(9.99f), 2.7));
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
