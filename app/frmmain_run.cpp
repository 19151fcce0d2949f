// The main window's update loop and process control: the window's side of
// RunMonitor (its controls as a MonitorView, its graphs as RunHooks) and the
// link's caption and settings-window requests.
#include "app/frmmain.h"
#include "history/runhistorywidget.h"

#include "app/buttontable.h"
#include "app/frmsensors.h"
#include "app/monitorview.h"
#include "app/runmonitor.h"
#include "link/commnotifier.h"
#include "link/commsettingslogic.h"
#include "link/frmcomm.h"
#include "link/modcomm.h"
#include "support/modcombobox.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>

namespace {

void setTextIfChanged(QLineEdit* e, const QString& text)
{
    // Unchanged fields are not repainted: the tick runs twice a second.
    if (e->text() != text)
        e->setText(text);
}

void setVisibility(QWidget* w, Show s)
{
    if (s != Show::Unchanged)
        w->setVisible(s == Show::Visible);
}

QString colourStyle(const char* widget, quint32 rgb)
{
    return QStringLiteral("%1 { background: black; color: #%2; }")
        .arg(QLatin1String(widget))
        .arg(rgb, 6, 16, QLatin1Char('0'));
}

} // namespace

// The window's controls, graphs and timer as the run logic sees them.
class frmMain::RunAdapter final : public QObject,
                                  public MonitorView,
                                  public RunHooks,
                                  public CommSettingsHost {
public:
    explicit RunAdapter(frmMain& w) : QObject(&w), w_(w), monitor_(*this, *this) {}
    ~RunAdapter() override
    {
        if (commSettingsHost() == this)
            setCommSettingsHost(nullptr);
    }

    RunMonitor& monitor() { return monitor_; }

    // MonitorView
    void setPhaseText(const QString& text) override { setTextIfChanged(w_.txtPhase, text); }
    QString layerNumText() const override { return w_.txtLayerNum->text(); }
    void setLayerNumText(const QString& text) override { setTextIfChanged(w_.txtLayerNum, text); }
    QString layerTotalText() const override { return w_.txtLayerTotal->text(); }
    void setLayerTotalText(const QString& text) override { setTextIfChanged(w_.txtLayerTotal, text); }
    void setTimeText(const QString& text) override { setTextIfChanged(w_.txtTime, text); }
    void setOutputTexts(int i, const QString& rate, const QString& deviation, const QString& thickness,
                        const QString& power) override
    {
        setTextIfChanged(w_.txtOutRate[size_t(i)], rate);
        setTextIfChanged(w_.txtOutDev[size_t(i)], deviation);
        setTextIfChanged(w_.txtOutThick[size_t(i)], thickness);
        setTextIfChanged(w_.txtOutPower[size_t(i)], power);
    }
    QString outputPowerText(int i) const override { return w_.txtOutPower[size_t(i)]->text(); }
    void setOutputColour(int i, quint32 rgb) override
    {
        const size_t k = size_t(i);
        w_.LblOutput[k]->setStyleSheet(colourStyle("QLabel", rgb));
        for (QLineEdit* e : {w_.txtOutRate[k], w_.txtOutDev[k], w_.txtOutThick[k], w_.txtOutPower[k]})
            e->setStyleSheet(colourStyle("QLineEdit", rgb));
    }
    bool sliderVisible(int i) const override { return w_.sldManPwr[size_t(i)]->isVisible(); }
    bool sliderHasFocus(int i) const override
    {
        const QSlider* s = w_.sldManPwr[size_t(i)];
        return s->hasFocus() || s->isSliderDown();
    }
    int sliderValue(int i) const override { return w_.sldManPwr[size_t(i)]->value(); }
    void setSliderValue(int i, int value) override { w_.sldManPwr[size_t(i)]->setValue(value); }
    void setSlidersEnabled(bool enabled) override
    {
        for (QSlider* s : w_.sldManPwr)
            s->setEnabled(enabled);
    }
    bool processListDropped() const override { return IsComboBoxDropped(w_.cboProcess); }
    int processIndex() const override { return w_.cboProcess->currentIndex(); }
    int processCount() const override { return w_.cboProcess->count(); }
    void selectProcess(int index) override { w_.cboProcess->setCurrentIndex(index); }
    void clearProcesses() override
    {
        const QSignalBlocker quiet(w_.cboProcess);
        w_.cboProcess->clear();
    }
    void addProcess(const QString& entry) override
    {
        // Filling raises no click; the list stays unselected until chosen.
        const QSignalBlocker quiet(w_.cboProcess);
        const int selected = w_.cboProcess->currentIndex();
        w_.cboProcess->addItem(entry);
        w_.cboProcess->setCurrentIndex(selected);
    }
    void setOnlineFrameVisible(bool visible) override { w_.fraOnLine->setVisible(visible); }
    void applyButtons(const ButtonLayout& l) override
    {
        setVisibility(w_.cmdNextLayer, l.nextLayer);
        setVisibility(w_.cmdStartManLayer, l.startManLayer);
        setVisibility(w_.cmdStartLayer, l.startLayer);
        setVisibility(w_.cmdStopLayer, l.stopLayer);
        setVisibility(w_.cmdStart, l.start);
        setVisibility(w_.cmdAbort, l.abort);
        w_.cboProcess->setEnabled(l.processListEnabled);
        w_.cmdAutoMan->setVisible(l.autoMan);
        w_.cmdManAuto->setVisible(l.manAuto);
        for (QSlider* s : w_.sldManPwr)
            s->setVisible(l.sliders);
    }
    void enableOperateControls() override
    {
        w_.cboProcess->setEnabled(true);
        for (QPushButton* b : w_.operateButtons())
            b->setEnabled(true);
    }
    void setStatusBarText(const QString& text) override
    {
        if (!linkState_) {
            linkState_ = new QLabel(&w_);
            linkState_->setObjectName(QStringLiteral("lblLinkState"));
            w_.statusBar()->addWidget(linkState_, 1);
        }
        if (linkState_->text() != text)
            linkState_->setText(text);
    }
    void setCaption(const QString& text) override
    {
        if (w_.windowTitle() != text)
            w_.setWindowTitle(text);
    }
    void setReadingsStale(bool stale) override
    {
        if (stale == stale_)
            return;
        stale_ = stale;
        // Grey, not disabled: the operator can still select and copy a value.
        std::vector<QLineEdit*> fields{w_.txtPhase, w_.txtLayerNum, w_.txtLayerTotal, w_.txtTime};
        for (size_t k = 0; k < 4; ++k)
            fields.insert(fields.end(),
                          {w_.txtOutRate[k], w_.txtOutDev[k], w_.txtOutThick[k], w_.txtOutPower[k]});
        for (QLineEdit* e : fields) {
            if (stale) {
                e->setProperty("liveStyle", e->styleSheet());
                e->setStyleSheet(colourStyle("QLineEdit", 0x808080));
            } else {
                e->setStyleSheet(e->property("liveStyle").toString());
            }
            e->setProperty("stale", stale);
        }
    }

    // RunHooks: the graphs count their times from the run start kept here.
    void InitGraph() override
    {
        w_.RunStartTime = monitor_.RunStartTime();
        w_.InitGraph();
    }
    void UpdateGraph() override
    {
        w_.RunStartTime = monitor_.RunStartTime();
        w_.UpdateGraph();
    }
    void AdvancePointIndex() override { w_.AdvancePointIndex(); }
    void MarkGap() override { w_.MarkGap(); }

    // CommSettingsHost
    void stopUpdates() override { w_.tmrUpdate->stop(); }
    void resumeUpdates() override
    {
        enableOperateControls();
        setSlidersEnabled(Comm_Online());
        w_.tmrUpdate->start();
    }
    void reloadProcesses() override { monitor_.LoadProcesses(); }

private:
    frmMain& w_;
    RunMonitor monitor_;
    QLabel* linkState_ = nullptr; // in the status bar, made on first use
    bool stale_ = false;
};

frmMain::RunAdapter& frmMain::runAdapter()
{
    // Built on first use: Form_Load lays out the buttons before the
    // constructor has connected anything.
    if (!runAdapter_)
        runAdapter_ = new RunAdapter(*this);
    return *runAdapter_;
}

RunMonitor& frmMain::monitor()
{
    return runAdapter().monitor();
}

std::array<QPushButton*, 9> frmMain::operateButtons() const
{
    return {cmdStart,     cmdAbort, cmdStartLayer, cmdStartManLayer, cmdStopLayer,
            cmdNextLayer, cmdZero,  cmdAutoMan,    cmdManAuto};
}

void frmMain::connectRunControls()
{
    RunAdapter& run = runAdapter();
    const std::array<std::pair<QPushButton*, void (frmMain::*)()>, 9> clicks{{
        {cmdStart, &frmMain::cmdStart_Click},
        {cmdAbort, &frmMain::cmdAbort_Click},
        {cmdStartLayer, &frmMain::cmdStartLayer_Click},
        {cmdStartManLayer, &frmMain::cmdStartManLayer_Click},
        {cmdStopLayer, &frmMain::cmdStopLayer_Click},
        {cmdNextLayer, &frmMain::cmdNextLayer_Click},
        {cmdZero, &frmMain::cmdZero_Click},
        {cmdAutoMan, &frmMain::cmdAutoMan_Click},
        {cmdManAuto, &frmMain::cmdManAuto_Click},
    }};
    for (const auto& [button, handler] : clicks)
        connect(button, &QPushButton::clicked, this, handler);
    for (int i = 0; i < 4; ++i)
        connect(sldManPwr[size_t(i)], &QSlider::valueChanged, this, [this, i] { sldManPwr_Change(i); });
    // A choice by code raises the click as the operator's does; choosing the
    // entry already shown is a choice too.
    connect(cboProcess, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            cboProcess_Click();
    });
    connect(cboProcess, &QComboBox::activated, this, [this](int index) {
        if (index == cboProcess->currentIndex())
            cboProcess_Click();
    });

    CommNotifier& link = Comm_Notifier();
    connect(&link, &CommNotifier::captionChanged, this, &QWidget::setWindowTitle);
    connect(&link, &CommNotifier::showSettingsRequested, this, &frmMain::showCommSettings);
    setCommSettingsHost(&run);

    connect(mnuEditComm, &QAction::triggered, this, &frmMain::mnuEditComm_Click);
    mnuEditComm->setEnabled(true);
    connect(mnuViewSensorRdg, &QAction::triggered, this, &frmMain::mnuViewSensorRdg_Click);
    mnuViewSensorRdg->setEnabled(true);
}

void frmMain::tmrUpdate_Timer()
{
    monitor().tmrUpdate_Timer();
    runHistory_->tick();
    FeedRemote();
}
void frmMain::UpdateButtons()
{
    monitor().UpdateButtons();
}
void frmMain::LoadProcesses()
{
    monitor().LoadProcesses();
}
qint16 frmMain::pendingCode() const
{
    return runAdapter_ ? runAdapter_->monitor().PendingCode() : qint16(-1);
}
void frmMain::setPendingCode(qint16 code)
{
    monitor().setPendingCode(code);
}
qint16 frmMain::currentPhase() const
{
    return runAdapter_ ? runAdapter_->monitor().CurrentPhase() : qint16(-1);
}
void frmMain::setCurrentPhase(qint16 phase)
{
    monitor().setCurrentPhase(phase);
}

void frmMain::cboProcess_Click()
{
    monitor().cboProcess_Click();
}
void frmMain::cmdStart_Click()
{
    monitor().cmdStart_Click();
}
void frmMain::cmdAbort_Click()
{
    monitor().cmdAbort_Click();
}
void frmMain::cmdStartManLayer_Click()
{
    monitor().cmdStartManLayer_Click();
}
void frmMain::cmdStartLayer_Click()
{
    monitor().cmdStartLayer_Click();
}
void frmMain::cmdStopLayer_Click()
{
    monitor().cmdStopLayer_Click();
}
void frmMain::cmdNextLayer_Click()
{
    monitor().cmdNextLayer_Click();
}
void frmMain::cmdZero_Click()
{
    monitor().cmdZero_Click();
}
void frmMain::cmdManAuto_Click()
{
    monitor().cmdManAuto_Click();
}
void frmMain::cmdAutoMan_Click()
{
    monitor().cmdAutoMan_Click();
}
void frmMain::sldManPwr_Change(int index)
{
    monitor().sldManPwr_Change(index);
}

void frmMain::showCommSettings()
{
    // Asked for by a failed connect: top-most and not modal, so the message
    // that follows can be answered and the window stays for the operator.
    if (commWindow_ && commWindow_->isVisible()) {
        commWindow_->raise();
        return;
    }
    newCommWindow()->show();
}

void frmMain::mnuEditComm_Click()
{
    if (commWindow_ && commWindow_->isVisible())
        return;
    newCommWindow()->exec();
}

frmComm* frmMain::newCommWindow()
{
    commWindow_ = new frmComm(this);
    commWindow_->setAttribute(Qt::WA_DeleteOnClose);
    // Top-most before it is first shown, so the platform still centres it
    // over this window.
    commWindow_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return commWindow_;
}

void frmMain::mnuViewSensorRdg_Click()
{
    if (!sensorWindow_) {
        sensorWindow_ = new frmSensors(this);
        sensorWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    sensorWindow_->show();
    sensorWindow_->raise();
}

// The link owns its serial port and socket; they need no handing over.
void frmMain::AttachLink() {}
