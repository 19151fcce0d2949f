#ifndef DCX_HISTORY_RUNHISTORYWIDGET_H
#define DCX_HISTORY_RUNHISTORYWIDGET_H

#include <QLabel>
#include <QPointer>

#include <memory>

class RunRecorder;
class frmRunHistory;

// The main window's part of the run history: the recorder fed by each update
// tick, its state in a status bar label ("lblRunHistory"), and the Run History
// window it opens. With RunHistory=0 in the configuration nothing is recorded.
class RunHistoryWidget : public QLabel {
    Q_OBJECT
public:
    explicit RunHistoryWidget(QWidget* parent = nullptr);
    ~RunHistoryWidget() override;

    // After each update tick: records the readings as they stand.
    void tick();
    // The program is closing: an open run ends as "program closed".
    void programClosing();
    // View, Run History...
    void openWindow();

    RunRecorder* recorder() const { return recorder_.get(); }
    // The Run History window while it is open.
    frmRunHistory* historyWindow() const;

private:
    std::unique_ptr<RunRecorder> recorder_;
    QPointer<frmRunHistory> window_;
};

#endif
