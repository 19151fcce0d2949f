#ifndef DCX_RUNLOG_FRMGRAPHSET_H
#define DCX_RUNLOG_FRMGRAPHSET_H

#include <QDialog>

#include <array>

class ChartModel;
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

// "Configure Graph": edits the X window width, the Y range and the grid of
// one chart (the visible one) and saves them into that chart's settings file.
class frmGraphSet : public QDialog {
    Q_OBJECT
public:
    explicit frmGraphSet(ChartModel& graph, QWidget* parent = nullptr);

    void Form_Load();
    void spnSetup_Change(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    // Indexes 2..6 are used, as the controls are numbered.
    QSpinBox* spn(int index) const { return spnSetup[size_t(index)]; }

    ChartModel& graph_;
    std::array<QSpinBox*, 7> spnSetup{};
    std::array<QLabel*, 7> lblReading{};
    QCheckBox* chkXDiv = nullptr;
    QCheckBox* chkYDiv = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

#endif
