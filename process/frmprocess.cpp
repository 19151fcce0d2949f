#include "process/frmprocess.h"

#include "editors/frmeditors.h"
#include "link/commsettingslogic.h"
#include "link/frmcomm.h"
#include "link/modcomm.h"
#include "process/frmcompare.h"
#include "process/modelcompare.h"
#include "process/processreportpdf.h"
#include "process/reportchoice.h"
#include "store/model.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/modformutil.h"
#include "support/programfolder.h"
#include "support/shell.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The communications window opened from here leaves the main window's
// timer alone: the main window stays stopped until this window closes.
class QuietCommHost final : public CommSettingsHost {
public:
    explicit QuietCommHost(CommSettingsHost* outer) : outer_(outer) {}
    void stopUpdates() override {}
    void resumeUpdates() override {}
    void reloadProcesses() override
    {
        if (outer_)
            outer_->reloadProcesses();
    }

private:
    CommSettingsHost* outer_;
};

QPushButton* button(QWidget* parent, const QString& caption, const QString& name, const QString& tip = {})
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    // Enter in the tree must not arm or run a button.
    b->setAutoDefault(false);
    return b;
}

QAction* menuEntry(QMenu* menu, const QString& caption, const QString& name)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

} // namespace

frmProcess::frmProcess(QWidget* parent, ProcessWindowHost* host) : QDialog(parent), editor_(Model(), host)
{
    setObjectName(QStringLiteral("frmProcess"));
    buildControls();
    buildMenus();
    editor_.setEditors({[this] { return ShowLayerEditor(this); }, [this] { return ShowFilmEditor(this); },
                        [this] { return ShowMaterialEditor(this); },
                        [this] { return ShowSystemEditor(this); }});
    Form_Load();
}

frmProcess::~frmProcess() = default;

void frmProcess::buildControls()
{
    TV1 = new QTreeWidget(this);
    TV1->setObjectName(QStringLiteral("TV1"));
    TV1->setHeaderHidden(true);
    TV1->setColumnCount(1);
    TV1->setMinimumSize(300, 360);
    QFont mono = TV1->font();
    mono.setFamily(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    TV1->setFont(mono); // fixed-width names line up as on the instrument

    cmdInsertLayer = button(this, QStringLiteral("Insert &Layer"), QStringLiteral("cmdInsertLayer"),
                            QStringLiteral("Click, then select layer to insert new layer below."));
    cmdInsertCoDep = button(this, QStringLiteral("&Insert CoDep"), QStringLiteral("cmdInsertCoDep"),
                            QStringLiteral("Click, then select layer to insert codep layer below."));
    cmdDeleteLayer = button(this, QStringLiteral("&Delete Layer"), QStringLiteral("cmdDeleteLayer"),
                            QStringLiteral("Click, then select layer to delete."));
    // An armed operation shows as a pressed button until a node is clicked.
    for (QPushButton* b : {cmdInsertLayer, cmdInsertCoDep, cmdDeleteLayer})
        b->setCheckable(true);
    cmdClose = button(this, QStringLiteral("&Close"), QStringLiteral("cmdClose"));
    cmdUpload = button(this, QStringLiteral("<-- &Upload"), QStringLiteral("cmdUpload"));
    cmdDownload = button(this, QStringLiteral("--> Do&wnload"), QStringLiteral("cmdDownload"));
    chkProcesses = new QCheckBox(QStringLiteral("Processes"), this);
    chkProcesses->setObjectName(QStringLiteral("chkProcesses"));
    chkMaterials = new QCheckBox(QStringLiteral("Materials"), this);
    chkMaterials->setObjectName(QStringLiteral("chkMaterials"));
    chkSystem = new QCheckBox(QStringLiteral("System"), this);
    chkSystem->setObjectName(QStringLiteral("chkSystem"));

    auto* transfer = new QGroupBox(QStringLiteral("DCX-700"), this);
    transfer->setObjectName(QStringLiteral("fraTransfer"));
    auto* t = new QVBoxLayout(transfer);
    t->addWidget(cmdUpload);
    t->addWidget(cmdDownload);
    t->addWidget(chkProcesses);
    t->addWidget(chkMaterials);
    t->addWidget(chkSystem);

    auto* side = new QVBoxLayout;
    side->addWidget(cmdInsertLayer);
    side->addWidget(cmdInsertCoDep);
    side->addWidget(cmdDeleteLayer);
    side->addSpacing(12);
    side->addWidget(transfer);
    side->addStretch(1);
    side->addWidget(cmdClose);

    auto* main = new QHBoxLayout(this);
    main->addWidget(TV1, 1);
    main->addLayout(side);

    connect(TV1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { TV1_NodeClick(node); });
    connect(TV1, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        if (!filling_)
            editor_.setExpanded(node->data(0, Qt::UserRole).toString(), true);
    });
    connect(TV1, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) {
        if (!filling_)
            editor_.setExpanded(node->data(0, Qt::UserRole).toString(), false);
    });
    connect(cmdInsertLayer, &QPushButton::clicked, this, &frmProcess::cmdInsertLayer_Click);
    connect(cmdInsertCoDep, &QPushButton::clicked, this, &frmProcess::cmdInsertCoDep_Click);
    connect(cmdDeleteLayer, &QPushButton::clicked, this, &frmProcess::cmdDeleteLayer_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdUpload, &QPushButton::clicked, this, &frmProcess::cmdUpload_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmProcess::cmdDownload_Click);
    for (QCheckBox* c : {chkProcesses, chkMaterials, chkSystem})
        connect(c, &QCheckBox::clicked, this, &frmProcess::chkTransfer_Click);
}

void frmProcess::buildMenus()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    layout()->setMenuBar(bar);
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileOpen = menuEntry(mnuFile, QStringLiteral("&Open Database"), QStringLiteral("mnuFileOpen"));
    mnuFileSave = menuEntry(mnuFile, QStringLiteral("Save &As Database"), QStringLiteral("mnuFileSave"));
    mnuFile->addSeparator();
    mnuFileImport = menuEntry(mnuFile, QStringLiteral("Import Macleod"), QStringLiteral("mnuFileImport"));
    mnuFile->addSeparator();
    mnuFilePrint =
        menuEntry(mnuFile, QStringLiteral("&Print/Export Process..."), QStringLiteral("mnuFilePrint"));
    mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditFilms = menuEntry(mnuEdit, QStringLiteral("&Films"), QStringLiteral("mnuEditFilms"));
    mnuEditMaterials = menuEntry(mnuEdit, QStringLiteral("&Materials"), QStringLiteral("mnuEditMaterials"));
    mnuEditSystem = menuEntry(mnuEdit, QStringLiteral("&System"), QStringLiteral("mnuEditSystem"));
    mnuEditComm = menuEntry(mnuEdit, QStringLiteral("&Communications"), QStringLiteral("mnuEditComm"));
    mnuEdit->addSeparator();
    mnuEditCompare =
        menuEntry(mnuEdit, QStringLiteral("Compare with &Instrument"), QStringLiteral("mnuEditCompare"));
    mnuHelp = bar->addAction(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));

    connect(mnuFileOpen, &QAction::triggered, this, &frmProcess::mnuFileOpen_Click);
    connect(mnuFileSave, &QAction::triggered, this, &frmProcess::mnuFileSave_Click);
    connect(mnuFileImport, &QAction::triggered, this, &frmProcess::mnuFileImport_Click);
    connect(mnuFilePrint, &QAction::triggered, this, &frmProcess::mnuFilePrint_Click);
    connect(mnuEditFilms, &QAction::triggered, this, &frmProcess::mnuEditFilms_Click);
    connect(mnuEditMaterials, &QAction::triggered, this, &frmProcess::mnuEditMaterials_Click);
    connect(mnuEditSystem, &QAction::triggered, this, &frmProcess::mnuEditSystem_Click);
    connect(mnuEditComm, &QAction::triggered, this, &frmProcess::mnuEditComm_Click);
    connect(mnuEditCompare, &QAction::triggered, this, &frmProcess::mnuEditCompare_Click);
    connect(mnuHelp, &QAction::triggered, this, &frmProcess::mnuHelp_Click);
}

void frmProcess::Form_Load()
{
    resize(sizeHint().expandedTo(QSize(560, 600)));
    CenterFormScreen(this);
    enableTransfers();
    const AppConfig& c = Config();
    chkProcesses->setChecked(c.UpDnProcesses == 1);
    chkMaterials->setChecked(c.UpDnMaterials == 1);
    chkSystem->setChecked(c.UpDnSystem == 1);
    apply(editor_.load());
    setWindowTitle(editor_.windowTitle());
    // The main window, our parent, is now disabled; a window of its own stays usable.
    setEnabled(true);
}

void frmProcess::enableTransfers()
{
    const bool online = Comm_Online();
    cmdUpload->setEnabled(online);
    cmdDownload->setEnabled(online);
    mnuEditCompare->setEnabled(online);
}

QTreeWidgetItem* frmProcess::item(const QString& key) const
{
    return items_.value(key, nullptr);
}

void frmProcess::fillTree()
{
    filling_ = true;
    const int scroll = TV1->verticalScrollBar()->value();
    TV1->setUpdatesEnabled(false);
    TV1->clear();
    items_.clear();
    const std::vector<TreeNode>& nodes = editor_.tree().nodes();
    items_.reserve(qsizetype(nodes.size()));
    for (const TreeNode& n : nodes) {
        QTreeWidgetItem* parent = n.parentKey.isEmpty() ? nullptr : items_.value(n.parentKey, nullptr);
        auto* it = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TV1);
        it->setText(0, n.text);
        it->setData(0, Qt::UserRole, n.key);
        items_.insert(n.key, it);
    }
    for (const TreeNode& n : nodes)
        if (n.expanded)
            items_.value(n.key)->setExpanded(true);
    TV1->setUpdatesEnabled(true);
    TV1->verticalScrollBar()->setValue(scroll);
    filling_ = false;
}

void frmProcess::apply(const ProcessEditor::TreeChange& change)
{
    using C = ProcessEditor::TreeChange;
    switch (change.kind) {
    case C::None:
        break;
    case C::Text:
        if (QTreeWidgetItem* it = item(change.key))
            if (const TreeNode* n = editor_.tree().find(change.key))
                it->setText(0, n->text);
        break;
    case C::Rebuilt:
    case C::Refreshed:
        fillTree();
        if (QTreeWidgetItem* it = item(change.scrollTo))
            TV1->scrollToItem(it);
        break;
    }
    showArmed();
    if (!change.message.isEmpty())
        dialogs().message(change.message);
}

void frmProcess::UpdateTreeView()
{
    apply(editor_.UpdateTreeView());
}

void frmProcess::setFormCaption(const QString& text)
{
    editor_.setFormCaption(text);
    setWindowTitle(editor_.windowTitle());
}

void frmProcess::TV1_NodeClick(QTreeWidgetItem* node)
{
    if (!node || busy_)
        return;
    apply(editor_.nodeClick(node->data(0, Qt::UserRole).toString()));
}

void frmProcess::arm(ProcessEditor::Armed op)
{
    editor_.arm(op);
    showArmed();
}

void frmProcess::showArmed()
{
    const ProcessEditor::Armed a = editor_.armed();
    cmdInsertLayer->setChecked(a == ProcessEditor::Armed::InsertLayer);
    cmdInsertCoDep->setChecked(a == ProcessEditor::Armed::InsertCoDep);
    cmdDeleteLayer->setChecked(a == ProcessEditor::Armed::DeleteLayer);
}

void frmProcess::cmdInsertLayer_Click()
{
    arm(ProcessEditor::Armed::InsertLayer);
}
void frmProcess::cmdInsertCoDep_Click()
{
    arm(ProcessEditor::Armed::InsertCoDep);
}
void frmProcess::cmdDeleteLayer_Click()
{
    arm(ProcessEditor::Armed::DeleteLayer);
}

void frmProcess::cmdUpload_Click()
{
    busy_ = true;
    apply(editor_.upload());
    setWindowTitle(editor_.windowTitle());
    busy_ = false;
}

void frmProcess::cmdDownload_Click()
{
    busy_ = true;
    editor_.download();
    busy_ = false;
}

void frmProcess::chkTransfer_Click()
{
    AppConfig& c = Config();
    c.UpDnProcesses = chkProcesses->isChecked() ? 1 : 0;
    c.UpDnMaterials = chkMaterials->isChecked() ? 1 : 0;
    c.UpDnSystem = chkSystem->isChecked() ? 1 : 0;
}

void frmProcess::mnuFileOpen_Click()
{
    apply(editor_.fileOpen());
    setWindowTitle(editor_.windowTitle());
}

void frmProcess::mnuFileSave_Click()
{
    apply(editor_.fileSaveAs());
    setWindowTitle(editor_.windowTitle());
}

void frmProcess::mnuFileImport_Click()
{
    apply(editor_.fileImport());
}
void frmProcess::mnuFilePrint_Click()
{
    const QTreeWidgetItem* current = TV1->currentItem();
    const ReportChoice choice =
        ChooseProcessReport(Model(), current ? current->data(0, Qt::UserRole).toString() : QString());
    if (choice.kind != ReportChoice::Print) {
        SaveProcessReport(Model(), choice, &WriteProcessReportPdf);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(ProcessReportTitle(BuildProcessReport(Model(), choice.process)));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    BusyCursor busy;
    if (PaintProcessReport(WindowProcessReport(Model(), choice.process), printer) == 0)
        dialogs().message(QStringLiteral("The report could not be printed."), MsgButtons::Ok,
                          MsgIcon::Exclamation);
}

void frmProcess::mnuEditFilms_Click()
{
    apply(editor_.editFilms());
}
void frmProcess::mnuEditMaterials_Click()
{
    editor_.editMaterials();
}
void frmProcess::mnuEditSystem_Click()
{
    editor_.editSystem();
}

void frmProcess::mnuEditCompare_Click()
{
    busy_ = true;
    const CompareResult result = CompareWithInstrument(Model());
    busy_ = false;
    frmCompare list(result.lines(), this);
    list.exec();
}

void frmProcess::mnuEditComm_Click()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmComm*>(w) && w->isVisible())
            return;
    CommSettingsHost* outer = commSettingsHost();
    QuietCommHost quiet(outer);
    setCommSettingsHost(&quiet);
    {
        frmComm comm(this);
        comm.exec();
    }
    setCommSettingsHost(outer);
    enableTransfers();
}

void frmProcess::mnuHelp_Click()
{
    BusyCursor busy;
    shell().openDocument(ProgramFile(QStringLiteral("DCX700 Comm.html")));
}

bool frmProcess::Form_QueryUnload()
{
    if (busy_)
        return false;
    return editor_.queryClose();
}

void frmProcess::reject()
{
    if (!closeApproved_ && !Form_QueryUnload())
        return;
    closeApproved_ = true;
    QDialog::reject();
}

void frmProcess::closeEvent(QCloseEvent* event)
{
    if (!closeApproved_ && !Form_QueryUnload()) {
        event->ignore();
        return;
    }
    closeApproved_ = true;
    QDialog::closeEvent(event);
}
