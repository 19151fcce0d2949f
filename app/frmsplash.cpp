#include "app/frmsplash.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Loading"));
    // Application-modal, so that when it is shown over a modal window (the
    // process window) it is the top of the modal stack and its Cancel can be
    // clicked; show() never blocks, so the operation it reports runs on.
    setWindowModality(Qt::ApplicationModal);
    // Closed by the operation it shows, never by the operator.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    prgLoadStat = new QProgressBar(this);
    prgLoadStat->setObjectName(QStringLiteral("prgLoadStat"));
    prgLoadStat->setMinimumWidth(320);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    cmdCancel->hide();
    connect(cmdCancel, &QPushButton::clicked, this, &frmSplash::cmdCancel_Click);
    auto* column = new QVBoxLayout(this);
    column->addWidget(Label1);
    column->addWidget(prgLoadStat);
    column->addWidget(Label2);
    column->addWidget(cmdCancel, 0, Qt::AlignRight);
}

frmSplash::~frmSplash()
{
    if (isVisible())
        Form_Unload();
}

void frmSplash::show(const QString& caption)
{
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Loading") : caption);
    cancelRequested_ = false;
    if (!isVisible())
        Form_Load();
    QDialog::show();
    raise();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmSplash::Form_Load()
{
    // The window that asked for progress stays disabled until it is done.
    QWidget* owner = QApplication::activeWindow();
    if (owner && owner != this && owner->isEnabled()) {
        disabled_ = owner;
        owner->setEnabled(false);
    }
    // The owner of this window may itself be disabled (the main window under
    // the process window); the progress window stays usable for its Cancel.
    setEnabled(true);
    setCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    prgLoadStat->setValue(prgLoadStat->minimum());
    Label1->clear();
}

void frmSplash::Form_Unload()
{
    unsetCursor();
    if (disabled_)
        disabled_->setEnabled(true);
    disabled_.clear();
}

void frmSplash::setLabel1(const QString& text)
{
    Label1->setText(text);
    if (isVisible())
        Label1->repaint();
}

void frmSplash::setLabel2(const QString& text)
{
    Label2->setText(text);
    if (isVisible())
        Label2->repaint();
}

void frmSplash::setRange(int minimum, int maximum)
{
    prgLoadStat->setRange(minimum, maximum);
}

void frmSplash::setValue(int value)
{
    prgLoadStat->setValue(value);
}

void frmSplash::setCancellable(bool on)
{
    cmdCancel->setEnabled(true);
    cmdCancel->setText(QStringLiteral("Cancel"));
    cmdCancel->setVisible(on);
    // The arrow over the button: it is the one thing that can be clicked.
    cmdCancel->setCursor(Qt::ArrowCursor);
    adjustSize();
}

void frmSplash::cmdCancel_Click()
{
    cancelRequested_ = true;
    cmdCancel->setEnabled(false);
    cmdCancel->setText(QStringLiteral("Stopping..."));
}

// Escape stops a transfer as Cancel does; nothing else closes this window.
void frmSplash::reject()
{
    if (cmdCancel->isVisible() && cmdCancel->isEnabled())
        cmdCancel_Click();
}

void frmSplash::hide()
{
    cmdCancel->hide();
    if (isVisible())
        Form_Unload();
    QDialog::hide();
}
