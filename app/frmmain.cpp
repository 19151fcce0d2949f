#include "app/frmmain.h"

#include "app/applogging.h"
#include "app/frmabout.h"
#include "history/runhistorywidget.h"
#include "remote/archiverunssource.h"
#include "remote/remotemonitoring.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/formposition.h"
#include "support/modconfig.h"
#include "support/modformutil.h"
#include "support/programfolder.h"
#include "support/shell.h"
#include "support/waitguard.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace {

QString indexed(const char* base, int i)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(i);
}

QLineEdit* readingField(const QString& name, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAlignment(Qt::AlignRight);
    e->setMinimumWidth(72);
    e->setMaximumWidth(120);
    // The readings are coloured per output; black keeps every colour legible.
    e->setStyleSheet(QStringLiteral("QLineEdit { background: black; color: white; }"));
    return e;
}

QLabel* caption(const QString& text, const QString& name, QWidget* parent,
                Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAlignment(align);
    return l;
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    // Buttons that replace one another keep the column from jumping.
    QSizePolicy p = b->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    b->setSizePolicy(p);
    return b;
}

QCustomPlot* chart(const QString& name, QWidget* parent)
{
    auto* c = new QCustomPlot(parent);
    c->setObjectName(name);
    c->setMinimumSize(320, 200);
    return c;
}

QAction* menuEntry(QMenu* menu, const QString& text, const QString& name)
{
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    return a;
}

bool hasStoredPosition(const QWidget* form)
{
    QSettings settings{QString::fromLatin1(FormSettingsOrganization),
                       QString::fromLatin1(FormSettingsApplication)};
    settings.beginGroup(QString::fromLatin1(FormSettingsGroup));
    return !settings.value(form->objectName()).toString().isEmpty();
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("DCX-700 Comm"));
    buildControls();
    buildMenus();
    connectRunControls();
    connect(mnuEditProcess, &QAction::triggered, this, &frmMain::mnuEditProcess_Click);
    mnuEditProcess->setEnabled(true);
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    // Process list: shown only while the instrument answers.
    fraOnLine = new QFrame(central);
    fraOnLine->setObjectName(QStringLiteral("fraOnLine"));
    fraOnLine->setFrameShape(QFrame::Box);
    auto* onLineRow = new QHBoxLayout(fraOnLine);
    onLineRow->setContentsMargins(0, 0, 0, 0);
    onLineRow->addWidget(caption(QStringLiteral("Run Process:"), QStringLiteral("lblRunProcess"), fraOnLine));
    cboProcess = new QComboBox(fraOnLine);
    cboProcess->setObjectName(QStringLiteral("cboProcess"));
    cboProcess->setMinimumContentsLength(24);
    onLineRow->addWidget(cboProcess, 1);
    fraOnLine->setVisible(false);
    QSizePolicy keep = fraOnLine->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    fraOnLine->setSizePolicy(keep);

    // Phase, layer and time.
    txtPhase = readingField(QStringLiteral("txtPhase"), central);
    txtPhase->setAlignment(Qt::AlignLeft);
    txtPhase->setMinimumWidth(140);
    txtPhase->setMaximumWidth(200);
    txtLayerNum = readingField(QStringLiteral("txtLayerNum"), central);
    txtLayerTotal = readingField(QStringLiteral("txtLayerTotal"), central);
    txtTime = readingField(QStringLiteral("txtTime"), central);
    for (QLineEdit* e : {txtLayerNum, txtLayerTotal}) {
        e->setMinimumWidth(48);
        e->setMaximumWidth(60);
    }
    auto* status = new QHBoxLayout;
    status->addWidget(caption(QStringLiteral("Phase:"), QStringLiteral("lblPhase"), central));
    status->addWidget(txtPhase);
    status->addSpacing(12);
    status->addWidget(caption(QStringLiteral("Layer:"), QStringLiteral("lblLayer"), central));
    status->addWidget(txtLayerNum);
    status->addWidget(caption(QStringLiteral("of"), QStringLiteral("lblLayerOf"), central));
    status->addWidget(txtLayerTotal);
    status->addSpacing(12);
    status->addWidget(caption(QStringLiteral("Time:"), QStringLiteral("lblTime"), central));
    status->addWidget(txtTime);
    status->addStretch(1);

    // Output table: one row per source output, a manual power slider beside it.
    auto* table = new QGridLayout;
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignBottom;
    table->addWidget(caption(QStringLiteral("Output"), QStringLiteral("lblOutputHeader"), central, centre), 0,
                     0);
    table->addWidget(caption(QStringLiteral("Rate (A/s)"), QStringLiteral("lblRate"), central, centre), 0, 1);
    table->addWidget(caption(QStringLiteral("Dev. (%)"), QStringLiteral("lblDev"), central, centre), 0, 2);
    table->addWidget(caption(QStringLiteral("Thick. (kA)"), QStringLiteral("lblThick"), central, centre), 0,
                     3);
    table->addWidget(caption(QStringLiteral("Power (%)"), QStringLiteral("lblPower"), central, centre), 0, 4);
    for (int i = 0; i < 4; ++i) {
        LblOutput[i] = caption(QString::number(i + 1), indexed("LblOutput", i), central, Qt::AlignCenter);
        txtOutRate[i] = readingField(indexed("txtOutRate", i), central);
        txtOutDev[i] = readingField(indexed("txtOutDev", i), central);
        txtOutThick[i] = readingField(indexed("txtOutThick", i), central);
        txtOutPower[i] = readingField(indexed("txtOutPower", i), central);
        sldManPwr[i] = new QSlider(Qt::Horizontal, central);
        sldManPwr[i]->setObjectName(indexed("sldManPwr", i));
        sldManPwr[i]->setRange(0, 100);
        sldManPwr[i]->setSingleStep(1);
        sldManPwr[i]->setPageStep(10);
        sldManPwr[i]->setMinimumWidth(140);
        QSizePolicy p = sldManPwr[i]->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        sldManPwr[i]->setSizePolicy(p);
        sldManPwr[i]->setVisible(false);
        table->addWidget(LblOutput[i], i + 1, 0);
        table->addWidget(txtOutRate[i], i + 1, 1);
        table->addWidget(txtOutDev[i], i + 1, 2);
        table->addWidget(txtOutThick[i], i + 1, 3);
        table->addWidget(txtOutPower[i], i + 1, 4);
        table->addWidget(sldManPwr[i], i + 1, 5);
    }
    table->setColumnStretch(6, 1);

    // Process buttons; the pairs that never show together share a cell.
    cmdStart = button(QStringLiteral("&Start Process"), QStringLiteral("cmdStart"), central);
    cmdAbort = button(QStringLiteral("&Abort Process"), QStringLiteral("cmdAbort"), central);
    cmdStartLayer = button(QStringLiteral("Start &Layer"), QStringLiteral("cmdStartLayer"), central);
    cmdStartManLayer =
        button(QStringLiteral("Start &Man Layer"), QStringLiteral("cmdStartManLayer"), central);
    cmdStopLayer = button(QStringLiteral(" S&top   Layer"), QStringLiteral("cmdStopLayer"), central);
    cmdNextLayer = button(QStringLiteral("&Next Layer"), QStringLiteral("cmdNextLayer"), central);
    cmdZero = button(QStringLiteral("&Zero Thickness"), QStringLiteral("cmdZero"), central);
    cmdAutoMan = button(QStringLiteral("&Auto -> Manual"), QStringLiteral("cmdAutoMan"), central);
    cmdManAuto = button(QStringLiteral("&Manual -> Auto"), QStringLiteral("cmdManAuto"), central);
    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdStart, 0, 0);
    buttons->addWidget(cmdAbort, 0, 0);
    buttons->addWidget(cmdStartLayer, 1, 0);
    buttons->addWidget(cmdStopLayer, 1, 0);
    buttons->addWidget(cmdNextLayer, 2, 0);
    buttons->addWidget(cmdStartManLayer, 2, 0);
    buttons->addWidget(cmdZero, 3, 0);
    buttons->addWidget(cmdAutoMan, 4, 0);
    buttons->addWidget(cmdManAuto, 4, 0);
    buttons->setRowStretch(5, 1);
    // Idle layout until the instrument reports its phase.
    cmdAbort->setVisible(false);
    cmdStopLayer->setVisible(false);
    cmdStartManLayer->setVisible(false);
    cmdManAuto->setVisible(false);

    // The four charts lie in one rectangle; one is shown at a time.
    graphArea = new QStackedWidget(central);
    graphArea->setObjectName(QStringLiteral("graphArea"));
    AverageGraph = chart(QStringLiteral("AverageGraph"), graphArea);
    DevGraph = chart(QStringLiteral("DevGraph"), graphArea);
    PowerGraph = chart(QStringLiteral("PowerGraph"), graphArea);
    ChannelGraph = chart(QStringLiteral("ChannelGraph"), graphArea);
    for (QCustomPlot* c : {AverageGraph, DevGraph, PowerGraph, ChannelGraph})
        graphArea->addWidget(c);
    graphArea->setCurrentWidget(AverageGraph);

    auto* left = new QVBoxLayout;
    left->addWidget(fraOnLine);
    left->addLayout(status);
    left->addLayout(table);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addSpacing(12);
    top->addLayout(buttons);
    auto* outer = new QVBoxLayout(central);
    outer->addLayout(top);
    outer->addWidget(graphArea, 1);

    tmrUpdate = new QTimer(this);
    tmrUpdate->setObjectName(QStringLiteral("tmrUpdate"));
    tmrUpdate->setInterval(500);
    connect(tmrUpdate, &QTimer::timeout, this, &frmMain::tmrUpdate_Timer);

    // Design size, until a stored placement replaces it.
    resize(920, 640);
}

void frmMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileExit = menuEntry(mnuFile, QStringLiteral("E&xit"), QStringLiteral("mnuFileExit"));
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);

    // Entries whose windows are not part of this build stay disabled.
    mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditProcess = menuEntry(mnuEdit, QStringLiteral("&Processes"), QStringLiteral("mnuEditProcess"));
    mnuEdit->addSeparator()->setObjectName(QStringLiteral("mnuEditSep"));
    mnuEditGraph = menuEntry(mnuEdit, QStringLiteral("&Graph"), QStringLiteral("mnuEditGraph"));
    mnuEditLog = menuEntry(mnuEdit, QStringLiteral("Data &Log"), QStringLiteral("mnuEditLog"));
    mnuEditComm = menuEntry(mnuEdit, QStringLiteral("&Communications"), QStringLiteral("mnuEditComm"));
    for (QAction* a : {mnuEditProcess, mnuEditGraph, mnuEditLog, mnuEditComm})
        a->setEnabled(false);

    mnuView = bar->addMenu(QStringLiteral("&View"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    const QString graphs[4] = {QStringLiteral("Output &Rate Graph"),
                               QStringLiteral("Output &Deviation Graph"),
                               QStringLiteral("Output &Power Graph"), QStringLiteral("&Sensor Rate Graph")};
    for (int i = 0; i < 4; ++i) {
        mnuViewGraph[i] = menuEntry(mnuView, graphs[i], indexed("mnuViewGraph", i));
        mnuViewGraph[i]->setCheckable(true);
        connect(mnuViewGraph[i], &QAction::triggered, this, [this, i] { mnuViewGraph_Click(i); });
    }
    mnuView->addSeparator()->setObjectName(QStringLiteral("mnuViewSep"));
    mnuViewSensorRdg =
        menuEntry(mnuView, QStringLiteral("Se&nsor Readings"), QStringLiteral("mnuViewSensorRdg"));
    mnuViewSensorRdg->setEnabled(false);
    mnuViewRunHistory =
        menuEntry(mnuView, QStringLiteral("Run &History..."), QStringLiteral("mnuViewRunHistory"));
    mnuViewRemote = menuEntry(mnuView, QStringLiteral("Remote &Monitoring"), QStringLiteral("mnuViewRemote"));
    mnuViewRemote->setCheckable(true);
    connect(mnuViewRemote, &QAction::triggered, this, &frmMain::mnuViewRemote_Click);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpHelp = menuEntry(mnuHelp, QStringLiteral("&Help"), QStringLiteral("mnuHelpHelp"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuHelpSep"));
    mnuHelpAbout = menuEntry(mnuHelp, QStringLiteral("&About"), QStringLiteral("mnuHelpAbout"));
    connect(mnuHelpHelp, &QAction::triggered, this, &frmMain::mnuHelpHelp_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

void frmMain::Form_Load()
{
    Loading = true;
    if (hasStoredPosition(this))
        RestoreFormPosition(this, true);
    else
        CenterFormScreen(this);
    HelpFile = ProgramFile(QStringLiteral("DCX700 Comm.html"));
    fraOnLine->setFrameShape(QFrame::NoFrame);
    for (QLineEdit* e : {txtLayerNum, txtLayerTotal, txtPhase, txtTime})
        e->setStyleSheet(QStringLiteral("QLineEdit { background: black; color: white; }"));
    ReadINI();
    runHistory_ = new RunHistoryWidget(this);
    statusBar()->addPermanentWidget(runHistory_);
    connect(mnuViewRunHistory, &QAction::triggered, runHistory_, &RunHistoryWidget::openWindow);
    BuildGraphs();
    PointRestart = 1;
    InitGraph();
    setPendingCode(-1);
    setCurrentPhase(-1);
    UpdateButtons();
    AttachLink();
    StartRemote();
    tmrUpdate->start();
    Loading = false;
}

void frmMain::ReadINI()
{
    ::ReadINI();
    setDisplay(Config().Display);
}

void frmMain::WriteINI()
{
    ::WriteINI();
}

qint16 frmMain::Display() const
{
    return Config().Display;
}

void frmMain::setDisplay(qint16 value)
{
    Config().Display = value;
    if (value < 0 || value > 3)
        return;
    for (int i = 0; i < 4; ++i)
        mnuViewGraph[i]->setChecked(i == value);
    QCustomPlot* const charts[4] = {AverageGraph, DevGraph, PowerGraph, ChannelGraph};
    graphArea->setCurrentWidget(charts[value]);
}

void frmMain::mnuViewGraph_Click(int index)
{
    // The checked entry is the one of Display; choosing it again changes
    // nothing (but the click has toggled its check mark off: put it back).
    if (Display() == index) {
        mnuViewGraph[index]->setChecked(true);
        return;
    }
    setDisplay(static_cast<qint16>(index));
}

void frmMain::mnuHelpHelp_Click()
{
    BusyCursor busy;
    if (!shell().openDocument(HelpFile))
        qCWarning(lcApp) << "could not open the help file" << HelpFile;
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::mnuFileExit_Click()
{
    close();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    if (Loading)
        return;
    PlaceGraphs();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Writing the INI file and quitting wait until a running tick is done.
    if (DeferWhileWaiting(this, [this] { close(); })) {
        event->ignore();
        return;
    }
    Form_QueryUnload();
    event->accept();
}

void frmMain::Form_QueryUnload()
{
    if (Unloaded)
        return;
    Unloaded = true;
    tmrUpdate->stop();
    runHistory_->programClosing();
    SaveFormPosition(this);
    WriteINI();
    // Ends the program at once: no other window gets to clean up first.
    QCoreApplication::quit();
}
