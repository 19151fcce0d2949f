#include "process/frmcompare.h"

#include "process/modelcompare.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmCompare::frmCompare(const QStringList& lines, QWidget* parent) : QDialog(parent), lines_(lines)
{
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Compare with Instrument"));
    lstDiff = new QListWidget(this);
    lstDiff->setObjectName(QStringLiteral("lstDiff"));
    lstDiff->addItems(lines_);
    cmdSave = new QPushButton(QStringLiteral("&Save..."), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstDiff);
    layout->addLayout(buttons);
    resize(560, 360);

    connect(cmdSave, &QPushButton::clicked, this, &frmCompare::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void frmCompare::cmdSave_Click()
{
    SaveCompareList(lines_);
}
