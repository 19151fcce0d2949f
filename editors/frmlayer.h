#ifndef DCX_EDITORS_FRMLAYER_H
#define DCX_EDITORS_FRMLAYER_H

#include "editors/layersplit.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class UpDownWidget;

// The layer editor: one layer of the pool, chosen by Working().CurLayer.
// Every number is set with spinners and shown in a read-only box beside
// them. OK stores the layer; any other close leaves it as it was.
class frmLayer : public QDialog {
    Q_OBJECT
public:
    explicit frmLayer(QWidget* parent = nullptr);

    void LoadLayer();
    void cmdOK_Click();

    // Change handlers, named after their spinners; index as the controls.
    void spnRate_Change(int index);
    void spnFinalThick_Change(int index);
    void spnThickSetpoint_Change();
    void spnTimeSetpoint_Change(int index);
    void spnStartMode_Change();
    void spnMaxPower_Change();
    void spnSlewRate_Change();

private:
    void buildControls();
    LayerEdit readControls() const;
    void applyEdit(const LayerEdit& e);

    struct Thick {
        std::array<UpDownWidget*, 4> spin{};
        QLineEdit* txt = nullptr;
    };

    std::array<UpDownWidget*, 3> spnRate{}, spnRateTenths{}, spnTimeSetpoint{};
    std::array<QLineEdit*, 3> txtRate{}, txtTimeSetpoint{};
    std::array<Thick, 3> finalThick{};
    Thick thickSetpoint{};
    std::array<QCheckBox*, 3> chkRamp{}; // [0] unused
    UpDownWidget* spnStartMode = nullptr;
    QLineEdit* txtStartMode = nullptr;
    std::array<UpDownWidget*, 2> spnMaxPower{}, spnSlewRate{}; // [1] whole, [0] tenths
    QLineEdit* txtMaxPower = nullptr;
    QLineEdit* txtSlewRate = nullptr;
    QComboBox* cmbFilm = nullptr;
    std::array<QCheckBox*, 4> chkSensor{};
    std::array<QRadioButton*, 5> optOutNum{}; // [0] unused
    QPushButton* cmdOK = nullptr;
};

#endif
