#ifndef DCX_EDITORS_FRMMATERIAL_H
#define DCX_EDITORS_FRMMATERIAL_H

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class UpDownWidget;

// The material editor: name, density and Z-factor of the 100 materials.
// Every change is written into the table at once; Close only closes.
class frmMaterial : public QDialog {
    Q_OBJECT
public:
    explicit frmMaterial(QWidget* parent = nullptr);

    int currentMaterial() const;

    void cboMaterials_Click();
    void spnDensity_Change();
    void spnZFactor_Change();
    // The typed-entry check, run on Enter and on leaving the box.
    void txtDensity_LostFocus();
    void txtZFactor_LostFocus();
    bool ValidateEntry(QLineEdit* box, const QString& low, const QString& high);
    void RenameMaterial();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void checkEntry(QLineEdit* box, UpDownWidget* spin);

    QComboBox* cboMaterials = nullptr;
    UpDownWidget* spnDensity = nullptr;
    UpDownWidget* spnZFactor = nullptr;
    QLineEdit* txtDensity = nullptr;
    QLineEdit* txtZFactor = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdClose = nullptr;
    bool checking_ = false; // a refused entry is taking the focus back
};

#endif
