#ifndef DCX_PROCESS_FRMPROCESS_H
#define DCX_PROCESS_FRMPROCESS_H

#include "process/processeditor.h"

#include <QDialog>

class QAction;
class QCheckBox;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The process window: the tree of processes, layers and films, the arming
// buttons, the transfer controls and the file, edit and help menus. Shown
// modally by the main window, which it disables and stops while it is open.
// The logic is in ProcessEditor; this maps it onto the widgets.
class frmProcess : public QDialog {
    Q_OBJECT
public:
    // Opening loads the database (asking for a file when DBFileName is missing).
    explicit frmProcess(QWidget* parent = nullptr, ProcessWindowHost* host = nullptr);
    ~frmProcess() override;

    ProcessEditor& editor() { return editor_; }

    // Full rebuild of the tree.
    void UpdateTreeView();
    QString FormCaption() const { return editor_.formCaption(); }
    void setFormCaption(const QString& text);
    bool DownloadDone() const { return editor_.downloadDone(); }

    // Event handlers, named after their controls.
    void TV1_NodeClick(QTreeWidgetItem* node);
    void cmdInsertLayer_Click();
    void cmdInsertCoDep_Click();
    void cmdDeleteLayer_Click();
    void cmdUpload_Click();
    void cmdDownload_Click();
    void chkTransfer_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileImport_Click();
    void mnuFilePrint_Click();
    void mnuEditFilms_Click();
    void mnuEditMaterials_Click();
    void mnuEditSystem_Click();
    void mnuEditComm_Click();
    void mnuEditCompare_Click();
    void mnuHelp_Click();

    // The tree widget's item of a node key, nullptr when there is none.
    QTreeWidgetItem* item(const QString& key) const;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void Form_Load();
    bool Form_QueryUnload();
    void apply(const ProcessEditor::TreeChange& change);
    void fillTree();
    void arm(ProcessEditor::Armed op);
    void showArmed();
    void enableTransfers();

    ProcessEditor editor_;
    QHash<QString, QTreeWidgetItem*> items_;
    bool filling_ = false;
    bool busy_ = false; // a transfer is running: the window stays
    bool closeApproved_ = false;

    QTreeWidget* TV1 = nullptr;
    QPushButton* cmdInsertLayer = nullptr;
    QPushButton* cmdInsertCoDep = nullptr;
    QPushButton* cmdDeleteLayer = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdUpload = nullptr;
    QPushButton* cmdDownload = nullptr;
    QCheckBox* chkProcesses = nullptr;
    QCheckBox* chkMaterials = nullptr;
    QCheckBox* chkSystem = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileImport = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuEditFilms = nullptr;
    QAction* mnuEditMaterials = nullptr;
    QAction* mnuEditSystem = nullptr;
    QAction* mnuEditComm = nullptr;
    QAction* mnuEditCompare = nullptr;
    QAction* mnuHelp = nullptr;
};

#endif
