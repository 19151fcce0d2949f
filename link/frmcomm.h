#ifndef DCX_LINK_FRMCOMM_H
#define DCX_LINK_FRMCOMM_H

#include "link/commsettingslogic.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The communications settings window: transport and address, checksum
// option, instrument search and single test commands. It edits the link
// settings in Config() at once; the main window's updates stop while it is
// open. The logic lives in CommSettingsLogic.
class frmComm : public QDialog {
    Q_OBJECT
public:
    explicit frmComm(QWidget* parent = nullptr);
    ~frmComm() override;

    // Event handlers, named after their controls.
    void cboUSB_Click();
    void cboRS232_Click();
    void chkSum_Click();
    void txtEPort_LostFocus();
    void txtEAddr_LostFocus();
    void cmdFind_Click();
    void cmdSend_Click();
    void cmdESetup_Click();
    void cmdOK_Click();
    void optComm_Click(int index);
    void FillUSBList();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Closing from code (Escape, a program's close) waits for a running wait too.
    void done(int result) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Unload();

    CommSettingsLogic logic_;
    bool unloaded_ = false;

    std::array<QRadioButton*, 3> optComm{};
    QComboBox* cboRS232 = nullptr;
    QComboBox* cboUSB = nullptr;
    QLineEdit* txtEAddr = nullptr;
    QLineEdit* txtEport = nullptr;
    QLabel* lblEAddress = nullptr;
    QLabel* lblPort = nullptr;
    QPushButton* cmdESetup = nullptr;
    QCheckBox* chkSum = nullptr;
    QPushButton* cmdFind = nullptr;
    QLineEdit* txtSend = nullptr;
    QPushButton* cmdSend = nullptr;
    QLineEdit* txtRcv = nullptr;
    QPushButton* cmdOK = nullptr;
};

#endif
