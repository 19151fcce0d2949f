#ifndef DCX_APP_RUNMONITOR_H
#define DCX_APP_RUNMONITOR_H

#include "link/linkhealer.h"

#include <QString>
#include <QtGlobal>

class MonitorView;

// What the update loop asks of the live graphs.
class RunHooks {
public:
    virtual ~RunHooks();
    // Empties the graphs: at a run start, at each entry into Deposit and when
    // a start process or start layer code is queued.
    virtual void InitGraph() = 0;
    // Stores one sample of the current readings and plots what is due.
    virtual void UpdateGraph() = 0;
    // Moves the graphs' ring position on by one after a sample.
    virtual void AdvancePointIndex() = 0;
    // Breaks every chart line where the link was lost, so a run that goes on
    // after an outage draws no straight line across it.
    virtual void MarkGap() {}
};

// The main window's run logic without its widgets: the 500 ms update tick
// (updateloop.cpp) and process control (processcontrol.cpp). The window
// forwards its timer and control events here and shows what this writes to
// its MonitorView. All instrument traffic goes through the command families.
class RunMonitor {
public:
    RunMonitor(MonitorView& view, RunHooks& hooks);
    RunMonitor(const RunMonitor&) = delete;
    RunMonitor& operator=(const RunMonitor&) = delete;

    // --- Update loop ---
    // One tick: keeps the link up, sends the queued operate code, asks the
    // status and reads and shows the readings. A tick that fires while
    // another one is still waiting for the instrument returns at once.
    void tmrUpdate_Timer();
    // The status query and what follows from a new phase; then GetReadings.
    void StatusStep();
    // The two readings queries, the refresh, and the graph sample and log
    // line of the active phases.
    void GetReadings();
    // Shows Readings() in the window.
    void UpdateReadings();
    // The link's healing state (Config().AutoReconnect >= 1).
    const LinkHealer& healer() const { return healer_; }

    // The phase last reported by the instrument; -1 until the first status.
    qint16 CurrentPhase() const { return currentPhase_; }
    // Stores a new phase with the run rules: a run start resets the graphs,
    // notes the start time and opens a log section; Deposit resets the graphs
    // and the start time; Stopped writes the log end line.
    void setCurrentPhase(qint16 phase);
    // Seconds since midnight at the start of the run or of its deposit phase.
    double RunStartTime() const { return runStartTime_; }

    // --- Process control ---
    // The operate code queued for the next tick; -1 when none.
    qint16 PendingCode() const { return pendingCode_; }
    // Queues a code (replacing any queued one); start process and start
    // layer reset the graphs at once.
    void setPendingCode(qint16 code);
    // Turns an operate code into its instrument commands.
    void SendPendingCode(qint16 code);
    // Lays out the buttons for CurrentPhase and PendingCode.
    void UpdateButtons();
    // Refills the process list from the instrument and selects the process
    // it runs (which queues the select-process code).
    void LoadProcesses();

    // Control events; each only queues a code.
    void cboProcess_Click();
    void cmdStart_Click();
    void cmdAbort_Click();
    void cmdStartManLayer_Click();
    void cmdStartLayer_Click();
    void cmdStopLayer_Click();
    void cmdNextLayer_Click();
    void cmdZero_Click();
    void cmdManAuto_Click();
    void cmdAutoMan_Click();
    void sldManPwr_Change(int index);

private:
    void connectAndLoad();
    void applyStatus(qint16 phase);
    // The tick while the link is lost: a quiet reconnect when one is due.
    void healingTick();
    // After a quiet reconnect: the run goes on with a gap, or the run rules
    // apply to what the instrument reports now.
    void resumeAfterOutage(qint16 phase, int process, double elapsed);
    void showLinkState();

    MonitorView& view_;
    RunHooks& hooks_;
    qint16 pendingCode_ = -1;
    qint16 currentPhase_ = -1;
    double runStartTime_ = 0.0;
    bool inTick_ = false;
    LinkHealer healer_;
    qint64 lastReadMs_ = 0;
};

// Text colour of output row i (0xRRGGBB): green, yellow, blue, red for
// outputs 1..4, white for an output not in use (negative power).
quint32 OutputRowColour(int i, double power);

// The operate code of Start Layer: start the process when stopped, else
// start the next layer by hand.
qint16 StartLayerCode(qint16 currentPhase);

#endif
