// Process control: the operate code queued by the main window's controls,
// its sending by the update tick, the button layout and the process list.
#include "app/runmonitor.h"

#include "app/buttontable.h"
#include "app/monitorview.h"
#include "commands/modcommoperate.h"
#include "commands/modcommprocess.h"
#include "commands/readingsrecord.h"
#include "link/modcomm.h"
#include "store/model.h"
#include "support/dialogs.h"
#include "support/numbers.h"
#include "support/waitguard.h"

qint16 StartLayerCode(qint16 currentPhase)
{
    return currentPhase == 0 ? OperateCode::StartProcess : OperateCode::StartManLayer;
}

void RunMonitor::setPendingCode(qint16 code)
{
    pendingCode_ = code;
    if (code == OperateCode::StartProcess || code == OperateCode::StartManLayer)
        hooks_.InitGraph();
}

void RunMonitor::SendPendingCode(qint16 code)
{
    switch (code) {
    case OperateCode::SelectProcess:
        Operate_SelectProcess(view_.processIndex() + 1);
        return;
    case OperateCode::ManualToAuto:
        Operate_SetPower(0, 0);
        UpdateButtons();
        return;
    case OperateCode::AutoToManual:
        for (int i = 0; i < 4; ++i)
            Operate_SetPower(i + 1, view_.sliderValue(i));
        UpdateButtons();
        return;
    default:
        break;
    }
    if (code >= OperateCode::ManualPower1 && code <= OperateCode::ManualPower4) {
        const int i = code - OperateCode::ManualPower1;
        // A slider left at the power already shown (it follows the readings)
        // sends nothing.
        const std::optional<qint16> shown = TextToInt16(view_.outputPowerText(i));
        const int slider = view_.sliderValue(i);
        if (!shown || *shown != slider)
            Operate_SetPower(i + 1, slider);
        UpdateButtons();
        return;
    }
    Operate_Command(code);
}

void RunMonitor::UpdateButtons()
{
    view_.applyButtons(ButtonsForPhase(currentPhase_, pendingCode_));
}

void RunMonitor::LoadProcesses()
{
    if (!Comm_Online()) {
        view_.setOnlineFrameVisible(false);
        return;
    }
    const BusyCursor busy;
    view_.setOnlineFrameVisible(true);
    RunWaitEvents();
    view_.clearProcesses();
    // An instrument that stopped answering would cost a one-second timeout per
    // process and freeze the window for 100 s; after a few timeouts in a row
    // the remaining entries are the ones a failed query gives, unasked.
    constexpr int kGiveUpAfterTimeouts = 3;
    int timeoutsInARow = 0;
    for (int n = 1; n <= MaxProcesses; ++n) {
        if (timeoutsInARow >= kGiveUpAfterTimeouts) {
            view_.addProcess(Process_FailedListEntry(n));
            continue;
        }
        view_.addProcess(Process_ListEntry(n));
        timeoutsInARow = Comm_GetStatus() == linkstatus::Timeout ? timeoutsInARow + 1 : 0;
    }
    Operate_GetStatus();
    const int running = Readings().RunProcess;
    if (running >= 1 && running <= view_.processCount())
        view_.selectProcess(running - 1);
}

void RunMonitor::cboProcess_Click()
{
    setPendingCode(OperateCode::SelectProcess);
}
void RunMonitor::cmdStart_Click()
{
    setPendingCode(OperateCode::StartProcess);
}
void RunMonitor::cmdAbort_Click()
{
    setPendingCode(OperateCode::AbortProcess);
}
void RunMonitor::cmdStartManLayer_Click()
{
    setPendingCode(OperateCode::StartManLayer);
}
void RunMonitor::cmdStartLayer_Click()
{
    setPendingCode(StartLayerCode(currentPhase_));
}
void RunMonitor::cmdStopLayer_Click()
{
    setPendingCode(OperateCode::StopLayer);
}
void RunMonitor::cmdNextLayer_Click()
{
    setPendingCode(OperateCode::NextLayer);
}
void RunMonitor::cmdZero_Click()
{
    setPendingCode(OperateCode::ZeroThickness);
}
void RunMonitor::cmdManAuto_Click()
{
    setPendingCode(OperateCode::ManualToAuto);
}
void RunMonitor::cmdAutoMan_Click()
{
    setPendingCode(OperateCode::AutoToManual);
}

void RunMonitor::sldManPwr_Change(int index)
{
    if (index >= 0 && index < 4)
        setPendingCode(static_cast<qint16>(OperateCode::ManualPower1 + index));
}
