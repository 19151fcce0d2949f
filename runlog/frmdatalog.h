#ifndef DCX_RUNLOG_FRMDATALOG_H
#define DCX_RUNLOG_FRMDATALOG_H

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class LogSpinButtons;
enum class DataLogField;

// The data log settings window (Edit, "Data &Log"), shown modal: create it,
// exec() it, delete it. Every change takes effect in Config() at once; there
// is no cancel. The values reach the INI file when the program closes.
class frmDataLog : public QDialog {
    Q_OBJECT
public:
    explicit frmDataLog(QWidget* parent = nullptr);

    // Event handlers, named after their controls.
    void Form_Load();
    void optLog_Click(int index);
    void spnStartMin_Change();
    void spnStartSec_Change();
    void spnEndMin_Change();
    void spnEndSec_Change();
    void spnInterval_Change();
    void txtStartMin_LostFocus();
    void txtStartSec_LostFocus();
    void txtEndMin_LostFocus();
    void txtEndSec_LostFocus();
    void txtInterval_LostFocus();
    void cmdNew_Click();
    void cmdView_Click();
    void cmdForm_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TimeField {
        QLineEdit* txt;
        LogSpinButtons* spn;
    };
    TimeField makeField(const QString& suffix, DataLogField kind, void (frmDataLog::*change)());
    void showBound(TimeField& minutes, TimeField& seconds, int value);
    void startChanged();
    void endChanged();
    void typedLostFocus(const TimeField& f, DataLogField kind);

    QRadioButton* optLog_[3] = {};
    QPushButton* cmdNew_ = nullptr;
    QPushButton* cmdView_ = nullptr;
    QPushButton* cmdForm_ = nullptr;
    TimeField startMin_{}, startSec_{}, endMin_{}, endSec_{}, interval_{};
    bool loading_ = false;
    bool adjusting_ = false;
};

#endif
