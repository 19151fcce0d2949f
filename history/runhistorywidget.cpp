#include "history/runhistorywidget.h"

#include "history/frmrunhistory.h"
#include "history/runrecorder.h"
#include "link/modcomm.h"
#include "support/clock.h"
#include "support/config.h"

RunHistoryWidget::RunHistoryWidget(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("lblRunHistory"));
    if (Config().RunHistory != 0)
        recorder_ = std::make_unique<RunRecorder>(RunArchivePath(), Config().RunHistoryDays);
    setText(recorder_ ? recorder_->statusText() : QStringLiteral("Run history off"));
}

RunHistoryWidget::~RunHistoryWidget() = default;

void RunHistoryWidget::tick()
{
    if (!recorder_)
        return;
    recorder_->setInstrument(Comm_InstrumentID());
    recorder_->tick(appClock().now(), Readings(), Comm_GetStatus());
    if (text() != recorder_->statusText())
        setText(recorder_->statusText());
}

void RunHistoryWidget::programClosing()
{
    if (recorder_)
        recorder_->programClosing();
}

frmRunHistory* RunHistoryWidget::historyWindow() const
{
    return window_;
}

void RunHistoryWidget::openWindow()
{
    if (!window_)
        window_ = new frmRunHistory(RunArchivePath(), window());
    window_->Refresh();
    window_->show();
    window_->raise();
}
