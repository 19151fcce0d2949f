#include "link/frmcomm.h"

#include "support/dialogs.h"
#include "support/shell.h"
#include "support/waitguard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

template <typename W>
W* named(W* w, const char* name, const char* toolTip = nullptr)
{
    w->setObjectName(QLatin1String(name));
    if (toolTip)
        w->setToolTip(QLatin1String(toolTip));
    return w;
}

} // namespace

frmComm::frmComm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmComm"));
    setWindowTitle(QStringLiteral("Communications"));
    buildControls();
    Form_Load();
}

frmComm::~frmComm() = default;

void frmComm::buildControls()
{
    static constexpr std::array<const char*, 3> kOptCaption = {"&RS-232", "&USB", "&Ethernet"};
    static constexpr std::array<const char*, 3> kOptTip = {
        "Select RS-242 communications.", "Select USB communications.", "Select Ethernet communications."};
    auto* transport = new QGroupBox(this);
    transport->setObjectName(QStringLiteral("fraComm"));
    auto* options = new QVBoxLayout;
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        optComm[size_t(i)] = new QRadioButton(QLatin1String(kOptCaption[size_t(i)]), transport);
        optComm[size_t(i)]->setObjectName(QStringLiteral("optComm_%1").arg(i));
        optComm[size_t(i)]->setToolTip(QLatin1String(kOptTip[size_t(i)]));
        group->addButton(optComm[size_t(i)], i);
        options->addWidget(optComm[size_t(i)]);
        connect(optComm[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optComm_Click(i);
        });
    }
    options->addStretch(1);

    cboRS232 = named(new QComboBox(transport), "cboRS232");
    cboRS232->addItems(RS232Entries());
    cboRS232->setCurrentIndex(-1);
    cboUSB = named(new QComboBox(transport), "cboUSB");
    cboUSB->setMinimumContentsLength(16);
    lblEAddress = named(new QLabel(QStringLiteral("Address"), transport), "lblEAddress");
    txtEAddr = named(new QLineEdit(transport), "txtEAddr", "DCX-700 Ethernet address.");
    lblPort = named(new QLabel(QStringLiteral("Port"), transport), "lblPort");
    txtEport = named(new QLineEdit(transport), "txtEport", "DCX-700 Ethernet port, typically 2101.");
    // The interface's own discovery tool exists only for Windows.
    cmdESetup = named(new QPushButton(QStringLiteral("&Setup"), transport), "cmdESetup");
    cmdESetup->setVisible(false);

    auto* address = new QGridLayout;
    address->addWidget(cboRS232, 0, 0, 1, 2);
    address->addWidget(cboUSB, 1, 0, 1, 2);
    address->addWidget(lblEAddress, 2, 0);
    address->addWidget(txtEAddr, 2, 1);
    address->addWidget(lblPort, 3, 0);
    address->addWidget(txtEport, 3, 1);
    address->addWidget(cmdESetup, 4, 1, Qt::AlignLeft);
    address->setRowStretch(5, 1);
    auto* transportRow = new QHBoxLayout(transport);
    transportRow->addLayout(options);
    transportRow->addLayout(address, 1);

    chkSum =
        named(new QCheckBox(QStringLiteral("Use Comm Checksum"), this), "chkSum", "Use message checksums.");
    cmdFind = named(new QPushButton(QStringLiteral("&Find"), this), "cmdFind",
                    "Search for an instrument on the selected comm port.");

    auto* lblSend = named(new QLabel(QStringLiteral("Command:"), this), "lblSend");
    txtSend = named(new QLineEdit(this), "txtSend", "Enter a command to send.");
    lblSend->setBuddy(txtSend);
    cmdSend =
        named(new QPushButton(QStringLiteral("&Send"), this), "cmdSend", "Send command to the instrument.");
    auto* lblRcv = named(new QLabel(QStringLiteral("Response:"), this), "lblRcv");
    txtRcv = named(new QLineEdit(this), "txtRcv", "Instrument response to the command.");
    lblRcv->setBuddy(txtRcv);
    cmdOK = named(new QPushButton(QStringLiteral("&Close"), this), "cmdOK", "Close this form.");
    for (QPushButton* b : {cmdFind, cmdSend, cmdOK, cmdESetup})
        b->setAutoDefault(false);

    auto* test = new QGridLayout;
    test->addWidget(lblSend, 0, 0);
    test->addWidget(txtSend, 0, 1);
    test->addWidget(cmdSend, 0, 2);
    test->addWidget(lblRcv, 1, 0);
    test->addWidget(txtRcv, 1, 1, 1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkSum);
    bottom->addStretch(1);
    bottom->addWidget(cmdFind);
    bottom->addWidget(cmdOK);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(transport);
    outer->addLayout(test);
    outer->addLayout(bottom);

    connect(cboUSB, &QComboBox::currentIndexChanged, this, [this] { cboUSB_Click(); });
    connect(cboRS232, &QComboBox::currentIndexChanged, this, [this] { cboRS232_Click(); });
    connect(chkSum, &QCheckBox::toggled, this, [this] { chkSum_Click(); });
    connect(txtEport, &QLineEdit::editingFinished, this, &frmComm::txtEPort_LostFocus);
    connect(txtEAddr, &QLineEdit::editingFinished, this, &frmComm::txtEAddr_LostFocus);
    connect(cmdFind, &QPushButton::clicked, this, &frmComm::cmdFind_Click);
    connect(cmdSend, &QPushButton::clicked, this, &frmComm::cmdSend_Click);
    connect(cmdESetup, &QPushButton::clicked, this, &frmComm::cmdESetup_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmComm::cmdOK_Click);
    connect(this, &QDialog::finished, this, &frmComm::Form_Unload);
}

void frmComm::Form_Load()
{
    const CommSettingsLogic::Shown s = logic_.beginLoad();
    if (s.rs232Index >= 0)
        cboRS232->setCurrentIndex(s.rs232Index);
    txtEport->setText(s.ePort);
    txtEAddr->setText(s.eAddress);
    chkSum->setChecked(s.checksum);
    if (s.commType >= 0 && s.commType < 3) {
        if (optComm[size_t(s.commType)]->isChecked())
            optComm_Click(s.commType);
        else
            optComm[size_t(s.commType)]->setChecked(true);
    }
    logic_.endLoad();
}

void frmComm::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    logic_.unload();
}

void frmComm::optComm_Click(int index)
{
    const CommControlsShown shown = logic_.selectCommType(index);
    cboRS232->setVisible(shown.rs232);
    cboUSB->setVisible(shown.usb);
    for (QWidget* w : std::initializer_list<QWidget*>{txtEport, txtEAddr, lblPort, lblEAddress})
        w->setVisible(shown.ethernet);
    if (shown.usb)
        FillUSBList();
}

void frmComm::FillUSBList()
{
    const UsbListContents list = logic_.usbList();
    {
        // Filling is no choice of the operator's; the selection below is.
        const QSignalBlocker quiet(cboUSB);
        cboUSB->clear();
        cboUSB->addItems(list.entries);
        cboUSB->setCurrentIndex(-1);
    }
    cboUSB->setCurrentIndex(list.selected);
}

void frmComm::cboRS232_Click()
{
    logic_.selectRS232(cboRS232->currentIndex());
}

void frmComm::cboUSB_Click()
{
    if (cboUSB->currentIndex() >= 0)
        logic_.selectUSB(cboUSB->currentText());
}

void frmComm::chkSum_Click()
{
    logic_.setChecksum(chkSum->isChecked());
}

void frmComm::txtEPort_LostFocus()
{
    logic_.setEPort(txtEport->text());
}

void frmComm::txtEAddr_LostFocus()
{
    logic_.setEAddress(txtEAddr->text());
}

void frmComm::cmdFind_Click()
{
    if (logic_.finding())
        return;
    // The search waits and may end in a message box; this window outlives both.
    const WaitScope waiting;
    txtSend->setText(QStringLiteral("@"));
    const CommSettingsLogic::FindResult r = logic_.find();
    if (!r.online)
        return;
    txtRcv->setText(r.reply);
    if (optComm[1]->isChecked())
        FillUSBList();
}

void frmComm::cmdSend_Click()
{
    const WaitScope waiting;
    const BusyCursor busy;
    cmdSend->setEnabled(false);
    txtRcv->clear();
    RunWaitEvents();
    txtRcv->setText(logic_.send(txtSend->text()));
    cmdSend->setEnabled(true);
}

void frmComm::cmdESetup_Click()
{
    shell().startProgram(QStringLiteral("dgdiscvr.exe"));
}

void frmComm::cmdOK_Click()
{
    close();
}

void frmComm::closeEvent(QCloseEvent* event)
{
    // Closing restarts the main window's updates: not from inside a wait.
    if (DeferWhileWaiting(this, [this] { close(); })) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmComm::done(int result)
{
    if (DeferWhileWaiting(this, [this, result] { done(result); }))
        return;
    QDialog::done(result);
}
