// The update tick of the main window and the readings display.
#include "app/runmonitor.h"

#include "app/applogging.h"
#include "app/monitorview.h"
#include "commands/modcommdata.h"
#include "commands/modcommoperate.h"
#include "link/modcomm.h"
#include "runlog/datalog.h"
#include "runlog/phasetext.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/modutil.h"
#include "support/numbers.h"

#include <QScopedValueRollback>

#include <array>

namespace {

constexpr qint16 kPhaseStopped = 0;
constexpr qint16 kPhaseDeposit = 13;

QString Dec(int v)
{
    return QString::number(v);
}

bool Healing()
{
    return Config().AutoReconnect >= 1;
}

// A transaction that ended badly: timeout, refusal, checksum, port. Busy (9)
// and connecting (10) are not endings.
bool Failed(LinkStatus s)
{
    return s >= linkstatus::Timeout && s <= linkstatus::PortNotReady;
}

// How long ago stale readings were read: "12 s ago", "0:03:05 ago".
QString AgeText(qint64 ms)
{
    const qint64 s = ms / 1000;
    if (s < 60)
        return QStringLiteral("%1 s ago").arg(s);
    return SecondsToTime(int(qMin<qint64>(s, 359999))) + QStringLiteral(" ago");
}

} // namespace

RunHooks::~RunHooks() = default;

RunMonitor::RunMonitor(MonitorView& view, RunHooks& hooks) : view_(view), hooks_(hooks) {}

quint32 OutputRowColour(int i, double power)
{
    static constexpr std::array<quint32, 4> kColours = {0x00FF00, 0xFFFF00, 0x0000FF, 0xFF0000};
    if (power < 0 || i < 0 || i > 3)
        return 0xFFFFFF;
    return kColours[size_t(i)];
}

void RunMonitor::tmrUpdate_Timer()
{
    // The reply waits run window events, so the timer can fire inside a tick.
    if (inTick_)
        return;
    const QScopedValueRollback<bool> guard(inTick_, true);

    if (Healing()) {
        // A failure left by the last tick or by a transaction elsewhere.
        if (Comm_Online() && Failed(Comm_GetStatus()))
            healer_.failed();
        if (healer_.lost()) {
            healingTick();
            showLinkState();
            return;
        }
    }
    if (Comm_Online()) {
        const LinkStatus status = Comm_GetStatus();
        if (status == linkstatus::Ok) {
            if (pendingCode_ != OperateCode::None) {
                SendPendingCode(pendingCode_);
                setPendingCode(OperateCode::None);
            }
            StatusStep();
        } else if (status == linkstatus::Timeout) {
            connectAndLoad();
        }
        // Any other status: a transaction elsewhere is waiting or was
        // refused; a later one decides.
        if (Healing()) {
            if (Failed(Comm_GetStatus()))
                healer_.failed();
            else if (Comm_Online())
                healer_.online();
            showLinkState();
        }
        return;
    }
    // Offline: only until an instrument has answered once. After that the
    // settings window's Find brings it back.
    if (Comm_InstrumentID().isEmpty())
        connectAndLoad();
    if (Healing() && Comm_Online()) {
        healer_.online();
        showLinkState();
    }
}

void RunMonitor::healingTick()
{
    if (!healer_.attemptDue())
        return;
    // What the instrument last said, to tell whether the run went on.
    const int process = Readings().RunProcess;
    const double elapsed = Readings().ElapsedTime;
    // Counted back only when the status answers too: a link that connects
    // but cannot say where the run stands is still lost.
    const qint16 phase = Comm_Reconnect() ? Operate_GetStatus() : qint16(-1);
    if (phase == -1) {
        healer_.attemptFailed();
        return;
    }
    healer_.restored();
    view_.setReadingsStale(false);
    resumeAfterOutage(phase, process, elapsed);
}

void RunMonitor::resumeAfterOutage(qint16 phase, int process, double elapsed)
{
    const bool wasRunning = IsActivePhase(currentPhase_);
    const ReadingsRecord& r = Readings();
    const bool goesOn =
        wasRunning && IsActivePhase(phase) && r.RunProcess == process && r.ElapsedTime >= elapsed;
    if (wasRunning && Config().LogType > 0)
        LogGapLine(healer_.gapText());
    if (goesOn) {
        hooks_.MarkGap();
        applyStatus(phase);
        return;
    }
    if (wasRunning) {
        // The run ended while we could not see it: close it as a return to
        // Stopped would, so the next active phase starts a new one.
        setCurrentPhase(kPhaseStopped);
        view_.setPhaseText(PhaseText(currentPhase_));
        UpdateButtons();
    }
    LoadProcesses();
    StatusStep();
}

void RunMonitor::showLinkState()
{
    view_.setStatusBarText(healer_.statusText(Comm_InstrumentID()));
    if (healer_.lost()) {
        // From the tick that found the link lost on, never a live-looking time.
        view_.setTimeText(AgeText(appClock().monotonicMs() - lastReadMs_));
        view_.setReadingsStale(true);
        view_.setCaption(QStringLiteral("DCX700 Comm - [Link lost: reconnecting]"));
    }
}

void RunMonitor::connectAndLoad()
{
    if (!Comm_Connect())
        return;
    LoadProcesses();
    StatusStep();
}

void RunMonitor::StatusStep()
{
    const qint16 phase = Operate_GetStatus();
    if (phase == -1)
        return;
    applyStatus(phase);
}

void RunMonitor::applyStatus(qint16 phase)
{
    if (phase != currentPhase_) {
        setCurrentPhase(phase);
        view_.setPhaseText(PhaseText(currentPhase_));
        UpdateButtons();
    }
    GetReadings();
}

void RunMonitor::setCurrentPhase(qint16 phase)
{
    const qint16 stored = currentPhase_;
    if (phase == stored)
        return;
    if (IsRunStart(stored, phase)) {
        hooks_.InitGraph();
        runStartTime_ = appClock().secondsSinceMidnight();
        if (Config().LogType > 0)
            InitDataLog();
    }
    currentPhase_ = phase;
    if (phase == kPhaseDeposit) {
        // The graphs of a layer start with its deposit phase.
        hooks_.InitGraph();
        runStartTime_ = appClock().secondsSinceMidnight();
    }
    if (phase == kPhaseStopped && Config().LogType > 0)
        LogEndLine();
}

void RunMonitor::GetReadings()
{
    if (Data_GetSensors() == 0 && Data_GetOutputs() == 0)
        UpdateReadings();
    if (!IsActivePhase(currentPhase_))
        return;
    // A failed query still samples: the previous values go to graph and log.
    hooks_.UpdateGraph();
    hooks_.AdvancePointIndex();
    if (Config().LogType < 1)
        return;
    LogDataLine(currentPhase_, Readings());
}

void RunMonitor::UpdateReadings()
{
    const ReadingsRecord& r = Readings();
    lastReadMs_ = appClock().monotonicMs();
    view_.setTimeText(SecondsToTime(RoundToInt32(r.ElapsedTime).value_or(0)));

    const int n = r.RunProcess;
    const bool known = n >= 1 && n <= MaxProcesses;
    // Selecting queues the select-process code, so the instrument's choice
    // is sent back on the next tick, as the operator's would be.
    if (known && n <= view_.processCount() && !view_.processListDropped() && view_.processIndex() != n - 1)
        view_.selectProcess(n - 1);

    if (!known) {
        // A process the table cannot hold: no layer to show, total kept.
        view_.setLayerNumText(QStringLiteral("0"));
    } else {
        const ProcessRecord& process = Model().ProcessTable[size_t(n)];
        if (process.Number_Layers < 1)
            view_.setLayerNumText(QStringLiteral("0"));
        else if (view_.layerNumText() != Dec(r.RunLayer))
            view_.setLayerNumText(Dec(r.RunLayer));
        if (view_.layerTotalText() != Dec(process.Number_Layers)) {
            view_.setLayerTotalText(Dec(process.Number_Layers));
            for (int i = 0; i < 4; ++i)
                view_.setOutputColour(i, OutputRowColour(i, r.OutPower[size_t(i)]));
        }
    }

    for (int i = 0; i < 4; ++i) {
        const size_t k = size_t(i);
        if (r.OutPower[k] < 0) {
            view_.setOutputTexts(i, QStringLiteral("0.00"), QStringLiteral("0.0"), QStringLiteral("0.000"),
                                 QStringLiteral("0.0"));
        } else {
            view_.setOutputTexts(
                i, FormatNumber(r.OutRate[k], u"#0.00"), FormatNumber(r.OutDeviation[k], u"#0.0"),
                FormatNumber(r.OutThickness[k], u"#0.000"), FormatNumber(r.OutPower[k], u"#0.0"));
        }
        // The sliders follow the measured power, except the one being moved.
        if (view_.sliderVisible(i) && !view_.sliderHasFocus(i))
            view_.setSliderValue(i, RoundToInt16(r.OutPower[k]).value_or(0));
    }
}
