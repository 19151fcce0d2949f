#ifndef DCX_EDITORS_FRMSYSTEM_H
#define DCX_EDITORS_FRMSYSTEM_H

#include "editors/systemsplit.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class UpDownWidget;

// The system editor: measurement period, tooling, simulate mode, crystal
// frequency range, output scales and the events of the 16 inputs and 16
// relays. OK stores everything; Cancel or any other close stores nothing.
class frmSystem : public QDialog {
    Q_OBJECT
public:
    explicit frmSystem(QWidget* parent = nullptr);

    void InitForm();
    void UpdateDisplays();
    void SaveSystem();
    void spnSysParam_Change(int index);
    void txtSysParam_LostFocus(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void buildControls();
    SystemEdit readControls() const;

    std::array<UpDownWidget*, kSysParams> spnSysParam{};
    std::array<QLineEdit*, kSysParams> txtSysParam{};
    UpDownWidget* spnSysTool = nullptr;
    QLineEdit* txtSysTool = nullptr;
    std::array<UpDownWidget*, 4> spnXTool{};
    std::array<QLineEdit*, 4> txtXTool{};
    std::array<QRadioButton*, 2> optSimMode{}; // [1] On, [0] Off
    std::array<QComboBox*, MaxInputs> cmbInput{};
    std::array<QComboBox*, MaxOutputs> cmbRelay{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    bool typing_ = false; // a typed value is being taken into its spinner
};

#endif
