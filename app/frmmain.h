#ifndef DCX_APP_FRMMAIN_H
#define DCX_APP_FRMMAIN_H

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class QAction;
class cGraphSet;
class QComboBox;
class QCustomPlot;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTimer;
class RunHistoryWidget;
class RemoteMonitoring;
class ArchiveRunsSource;
class RunMonitor;
class frmComm;
class frmSensors;

// The main window: readings of the four outputs, the process-control buttons,
// the live charts and the menus that open every other window. It reads the
// configuration when it loads and writes it when it closes.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The chart shown: 0 output rate, 1 output deviation, 2 output power,
    // 3 sensor rate. Another value is kept (and written back) but changes
    // nothing on screen.
    qint16 Display() const;
    void setDisplay(qint16 value);

    // Read and write the configuration file into/from Config().
    void ReadINI();
    void WriteINI();

    // The help file set at start-up.
    QString helpFile() const { return HelpFile; }

    // Menu handlers.
    void mnuFileExit_Click();
    void mnuViewGraph_Click(int index);
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();
    // View, "Remote Monitoring" (frmmain_remote.cpp): the read-only HTTP face on or off.
    void mnuViewRemote_Click();

    // Update loop and process control (frmmain_run.cpp); the logic is in
    // RunMonitor, these forward the window's events to it.
    void tmrUpdate_Timer();
    void UpdateButtons();
    void LoadProcesses();
    qint16 pendingCode() const;
    void setPendingCode(qint16 code);
    qint16 currentPhase() const;
    void setCurrentPhase(qint16 phase);
    RunMonitor& monitor();
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
    void mnuEditComm_Click();
    // The process window (frmmain_process.cpp), modal; this window is
    // disabled and its updates stopped until it closes.
    void mnuEditProcess_Click();
    void mnuViewSensorRdg_Click();
    // The communications settings window, top-most and not modal (the link
    // asks for it when no instrument answers).
    void showCommSettings();

    // Live graphs (frmmain_graphs.cpp). Each active tick calls UpdateGraph()
    // (store a sample of Readings(), append the previous one) and then
    // AdvancePointIndex().
    void BuildGraphs();
    void InitGraph();
    void UpdateGraph();
    void MarkGap();
    void AdvancePointIndex();
    void PlaceGraphs();
    void mnuEditGraph_Click();
    // The data log settings, modal.
    void mnuEditLog_Click();
    // The four charts (rate, deviation, power, sensor rate) and their data.
    cGraphSet& graphs() const { return *Graphs; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload();
    void AttachLink();
    void connectRunControls();
    frmComm* newCommWindow();
    class RunAdapter;
    class ProcessHost;
    RunAdapter& runAdapter();
    std::array<QPushButton*, 9> operateButtons() const;

    void StartRemote();
    void FeedRemote();
    void ShowRemoteState();
    void buildMenus();
    void buildControls();

    // State shared with the update loop, process control and the graphs.
    bool Loading = false;
    bool Unloaded = false;
    double RunStartTime = 0.0;
    double PointRestart = 0.0;
    struct GraphSetDeleter {
        void operator()(cGraphSet* g) const;
    };
    std::unique_ptr<cGraphSet, GraphSetDeleter> Graphs;
    QString HelpFile;
    RunAdapter* runAdapter_ = nullptr; // child object
    QPointer<frmComm> commWindow_;
    QPointer<frmSensors> sensorWindow_;
    std::unique_ptr<ArchiveRunsSource> remoteRuns_; // the run archive behind the runs endpoints
    std::unique_ptr<RemoteMonitoring> remote_;

    // Controls, named as their object names.
    QFrame* fraOnLine = nullptr;
    QComboBox* cboProcess = nullptr;
    QLineEdit* txtPhase = nullptr;
    QLineEdit* txtLayerNum = nullptr;
    QLineEdit* txtLayerTotal = nullptr;
    QLineEdit* txtTime = nullptr;
    std::array<QLabel*, 4> LblOutput{};
    std::array<QLineEdit*, 4> txtOutRate{};
    std::array<QLineEdit*, 4> txtOutDev{};
    std::array<QLineEdit*, 4> txtOutThick{};
    std::array<QLineEdit*, 4> txtOutPower{};
    std::array<QSlider*, 4> sldManPwr{};
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdAbort = nullptr;
    QPushButton* cmdStartLayer = nullptr;
    QPushButton* cmdStartManLayer = nullptr;
    QPushButton* cmdStopLayer = nullptr;
    QPushButton* cmdNextLayer = nullptr;
    QPushButton* cmdZero = nullptr;
    QPushButton* cmdAutoMan = nullptr;
    QPushButton* cmdManAuto = nullptr;
    QStackedWidget* graphArea = nullptr;
    QCustomPlot* AverageGraph = nullptr;
    QCustomPlot* DevGraph = nullptr;
    QCustomPlot* PowerGraph = nullptr;
    QCustomPlot* ChannelGraph = nullptr;
    QTimer* tmrUpdate = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuEditProcess = nullptr;
    QAction* mnuEditGraph = nullptr;
    QAction* mnuEditLog = nullptr;
    QAction* mnuEditComm = nullptr;
    std::array<QAction*, 4> mnuViewGraph{};
    QAction* mnuViewSensorRdg = nullptr;
    QAction* mnuViewRunHistory = nullptr;
    RunHistoryWidget* runHistory_ = nullptr; // status bar label; records the runs
    QAction* mnuViewRemote = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;
};

#endif
