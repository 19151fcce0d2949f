#include "app/frmsplash.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Loading"));
    setModal(false);
    // Closed by the operation it shows, never by the operator.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    prgLoadStat = new QProgressBar(this);
    prgLoadStat->setObjectName(QStringLiteral("prgLoadStat"));
    prgLoadStat->setMinimumWidth(320);
    auto* column = new QVBoxLayout(this);
    column->addWidget(Label1);
    column->addWidget(prgLoadStat);
    column->addWidget(Label2);
}

frmSplash::~frmSplash()
{
    if (isVisible())
        Form_Unload();
}

void frmSplash::show(const QString& caption)
{
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Loading") : caption);
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

void frmSplash::setRange(int minimum, int maximum) { prgLoadStat->setRange(minimum, maximum); }

void frmSplash::setValue(int value) { prgLoadStat->setValue(value); }

void frmSplash::reject() {}

void frmSplash::hide()
{
    if (isVisible())
        Form_Unload();
    QDialog::hide();
}
