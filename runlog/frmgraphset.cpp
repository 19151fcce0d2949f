#include "runlog/frmgraphset.h"

#include "runlog/chartmodel.h"
#include "runlog/graphsettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

struct SpinRow {
    int index;
    const char* caption;
    int min;
    int max;
};

// Frame "X Axis": indexes 2, 3; frame "YAxis": 4, 5, 6.
constexpr std::array<SpinRow, 5> kRows{{
    {2, "Interval", 0, 100},
    {3, "Grid Spacing", 0, 20},
    {4, "Minimum", -100, 100},
    {5, "Maximium", 0, 100},
    {6, "Grid Spacing", 0, 100},
}};

// A chart may hold a value outside the control's range (a hand-edited file,
// an older setting): widen the range rather than change the value unasked.
void setSpinValue(QSpinBox* spin, int value)
{
    if (value < spin->minimum())
        spin->setMinimum(value);
    if (value > spin->maximum())
        spin->setMaximum(value);
    spin->setValue(value);
}

} // namespace

frmGraphSet::frmGraphSet(ChartModel& graph, QWidget* parent) : QDialog(parent), graph_(graph)
{
    setObjectName(QStringLiteral("frmGraphSet"));
    setWindowTitle(tr("Configure Graph"));

    auto* fraX = new QGroupBox(tr("X Axis"), this);
    fraX->setObjectName(QStringLiteral("fraXAxis"));
    auto* fraY = new QGroupBox(tr("YAxis"), this);
    fraY->setObjectName(QStringLiteral("fraYAxis"));
    auto* gridX = new QGridLayout(fraX);
    auto* gridY = new QGridLayout(fraY);

    for (const SpinRow& r : kRows) {
        QGridLayout* grid = r.index <= 3 ? gridX : gridY;
        QWidget* frame = r.index <= 3 ? static_cast<QWidget*>(fraX) : fraY;
        const int row = grid->rowCount();
        auto* caption = new QLabel(tr(r.caption), frame);
        caption->setObjectName(QStringLiteral("lblSetup_%1").arg(r.index));
        auto* spin = new QSpinBox(frame);
        spin->setObjectName(QStringLiteral("spnSetup_%1").arg(r.index));
        spin->setRange(r.min, r.max);
        spin->setSingleStep(1);
        auto* reading = new QLabel(frame);
        reading->setObjectName(QStringLiteral("lblReading_%1").arg(r.index));
        reading->setMinimumWidth(36);
        reading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(caption, row, 0);
        grid->addWidget(reading, row, 1);
        grid->addWidget(spin, row, 2);
        spnSetup[size_t(r.index)] = spin;
        lblReading[size_t(r.index)] = reading;
        const int index = r.index;
        connect(spin, &QSpinBox::valueChanged, this, [this, index] { spnSetup_Change(index); });
        if (r.index == 3) {
            chkXDiv = new QCheckBox(tr("Grid Visible"), fraX);
            chkXDiv->setObjectName(QStringLiteral("chkXDiv"));
            gridX->addWidget(chkXDiv, gridX->rowCount(), 0, 1, 3);
        }
    }
    chkYDiv = new QCheckBox(tr("Grid Visible"), fraY);
    chkYDiv->setObjectName(QStringLiteral("chkYDiv"));
    gridY->addWidget(chkYDiv, gridY->rowCount(), 0, 1, 3);

    cmdOK = new QPushButton(tr("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setToolTip(tr("Close form and save values."));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmGraphSet::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmGraphSet::cmdCancel_Click);

    auto* frames = new QHBoxLayout;
    frames->addWidget(fraX, 0, Qt::AlignTop);
    frames->addWidget(fraY, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(frames);
    top->addLayout(buttons);
    setFixedSize(sizeHint());

    Form_Load();
}

void frmGraphSet::Form_Load()
{
    const GraphSettings s = ReadGraphSettings(graph_);
    setSpinValue(spn(2), s.xWide);
    setSpinValue(spn(3), s.xDiv);
    setSpinValue(spn(4), s.yMin);
    setSpinValue(spn(5), s.yMax);
    setSpinValue(spn(6), s.yDiv);
    for (const SpinRow& r : kRows)
        spnSetup_Change(r.index);
    chkYDiv->setChecked(s.yGrid);
    chkXDiv->setChecked(s.xGrid);
}

void frmGraphSet::spnSetup_Change(int index)
{
    lblReading[size_t(index)]->setText(QString::number(spn(index)->value()));
}

void frmGraphSet::cmdOK_Click()
{
    GraphSettings s;
    s.xWide = spn(2)->value();
    s.xDiv = spn(3)->value();
    s.yMin = spn(4)->value();
    s.yMax = spn(5)->value();
    s.yDiv = spn(6)->value();
    s.yGrid = chkYDiv->isChecked();
    s.xGrid = chkXDiv->isChecked();
    // A save that fails is not reported: the chart shows the new settings
    // for this session either way.
    ApplyGraphSettings(graph_, s);
    accept();
}

void frmGraphSet::cmdCancel_Click()
{
    reject();
}
