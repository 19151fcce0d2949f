#include "editors/frmsystem.h"

#include "editors/editorwidgets.h"
#include "editors/updownwidget.h"
#include "store/model.h"
#include "support/dialogs.h"
#include "support/errhandler.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <span>

namespace {

void load(UpDownWidget* s, int v)
{
    const QSignalBlocker quiet(s);
    s->setValue(v);
    s->setResetValue(s->value());
}

} // namespace

frmSystem::frmSystem(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSystem"));
    setWindowTitle(QStringLiteral("System Parameters"));
    buildControls();
    // Form_Load
    InitForm();
    UpdateDisplays();
}

void frmSystem::buildControls()
{
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);
    auto* left = new QVBoxLayout;
    top->addLayout(left);

    const auto sysParam = [this](QWidget* parent, QGridLayout* g, int i, const QString& label,
                                 const QString& unit) {
        spnSysParam[size_t(i)] =
            MakeSpinner(parent, Indexed("spnSysParam", i), SysParamMin(i), SysParamMax(i));
        spnSysParam[size_t(i)]->setCountText(
            [i, unit](int v) { return SysParamText(i, v) + QLatin1Char(' ') + unit; });
        txtSysParam[size_t(i)] = MakeEntry(parent, Indexed("txtSysParam", i), 5);
        connect(spnSysParam[size_t(i)], &UpDownWidget::valueChanged, this,
                [this, i] { spnSysParam_Change(i); });
        connect(txtSysParam[size_t(i)], &QLineEdit::editingFinished, this,
                [this, i] { txtSysParam_LostFocus(i); });
        AttachStepKeys(txtSysParam[size_t(i)], spnSysParam[size_t(i)]);
        const int r = g->rowCount();
        g->addWidget(MakeLabel(parent, label, txtSysParam[size_t(i)]), r, 0);
        g->addWidget(txtSysParam[size_t(i)], r, 1);
        g->addWidget(spnSysParam[size_t(i)], r, 2);
        g->addWidget(new QLabel(unit, parent), r, 3);
    };
    const auto tooling = [](QWidget* parent, QGridLayout* g, UpDownWidget*& spin, QLineEdit*& txt,
                            const QString& spinName, const QString& txtName, const QString& label) {
        spin = MakeStepSpinner(parent, spinName, FieldSpecOf(&SystemRecord::System_Tooling));
        txt = MakeDisplay(parent, txtName, 5);
        const int r = g->rowCount();
        g->addWidget(MakeLabel(parent, label, spin), r, 0);
        g->addWidget(txt, r, 1);
        g->addWidget(spin, r, 2);
        g->addWidget(new QLabel(QStringLiteral("%"), parent), r, 3);
    };

    auto* g = new QGridLayout;
    left->addLayout(g);
    sysParam(this, g, 0, tr("&Period"), QStringLiteral("s"));
    sysParam(this, g, 1, tr("Mi&n Freq."), QStringLiteral("MHz"));
    sysParam(this, g, 2, tr("Ma&x Freq."), QStringLiteral("MHz"));
    tooling(this, g, spnSysTool, txtSysTool, QStringLiteral("spnSysTool"), QStringLiteral("txtSysTool"),
            tr("Sys&Tooling"));
    connect(spnSysTool, &UpDownWidget::valueChanged, this,
            [this](int v) { txtSysTool->setText(QString::number(v)); });

    auto* fraXtal = new QGroupBox(tr("Xtal Too&ling"), this);
    fraXtal->setObjectName(QStringLiteral("fraXtalTooling"));
    auto* xg = new QGridLayout(fraXtal);
    for (int i = 0; i < 4; ++i) {
        tooling(fraXtal, xg, spnXTool[size_t(i)], txtXTool[size_t(i)], Indexed("spnXTool", i),
                Indexed("txtXTool", i), QString::number(i + 1));
        connect(spnXTool[size_t(i)], &UpDownWidget::valueChanged, this,
                [this, i](int v) { txtXTool[size_t(i)]->setText(QString::number(v)); });
    }
    left->addWidget(fraXtal);

    auto* fraScale = new QGroupBox(tr("Out Sc&ale"), this);
    fraScale->setObjectName(QStringLiteral("fraOutScale"));
    auto* sg = new QGridLayout(fraScale);
    for (int i = 3; i < kSysParams; ++i)
        sysParam(fraScale, sg, i, QString::number(i - 2), QStringLiteral("V"));
    left->addWidget(fraScale);

    auto* fraSim = new QGroupBox(tr("Si&mulate"), this);
    fraSim->setObjectName(QStringLiteral("fraSimulate"));
    auto* sh = new QHBoxLayout(fraSim);
    optSimMode[1] = new QRadioButton(tr("On"), fraSim);
    optSimMode[0] = new QRadioButton(tr("Off"), fraSim);
    optSimMode[1]->setObjectName(QStringLiteral("optSimMode_1"));
    optSimMode[0]->setObjectName(QStringLiteral("optSimMode_0"));
    sh->addWidget(optSimMode[1]);
    sh->addWidget(optSimMode[0]);
    left->addWidget(fraSim);
    left->addStretch();

    // Inputs and relays: 16 numbered lists each, in two columns of eight.
    const auto lists = [this, top](const QString& title, const char* frame, const char* base,
                                   std::span<QComboBox*> boxes) {
        auto* fra = new QGroupBox(title, this);
        fra->setObjectName(QString::fromLatin1(frame));
        auto* lg = new QGridLayout(fra);
        for (int n = 0; n < int(boxes.size()); ++n) {
            auto* c = new QComboBox(fra);
            c->setObjectName(Indexed(base, n));
            boxes[size_t(n)] = c;
            const int col = (n / 8) * 2;
            lg->addWidget(MakeLabel(fra, QString::number(n + 1), c), n % 8, col, Qt::AlignRight);
            lg->addWidget(c, n % 8, col + 1);
        }
        lg->setRowStretch(8, 1);
        top->addWidget(fra);
    };
    lists(tr("&Inputs"), "fraInputs", "cmbInput", cmbInput);
    lists(tr("&Relays"), "fraRelays", "cmbRelay", cmbRelay);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(tr("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmSystem::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSystem::cmdCancel_Click);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    outer->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSystem::InitForm()
{
    for (QComboBox* c : cmbInput)
        c->addItems(InputEventNames());
    for (QComboBox* c : cmbRelay)
        c->addItems(RelayEventNames());
}

void frmSystem::UpdateDisplays()
{
    const ProcedureScope scope(QStringLiteral("frmSystem_UpdateDisplays"));
    const SystemEdit e = LoadSystemEdit(Model());
    optSimMode[e.simulateOn ? 1 : 0]->setChecked(true);
    for (int i = 0; i < kSysParams; ++i)
        load(spnSysParam[size_t(i)], e.sysParam[size_t(i)]);
    load(spnSysTool, e.sysTool);
    for (size_t i = 0; i < 4; ++i)
        load(spnXTool[i], e.xtool[i]);
    for (size_t n = 0; n < MaxInputs; ++n)
        cmbInput[n]->setCurrentIndex(e.input[n]);
    for (size_t n = 0; n < MaxOutputs; ++n)
        cmbRelay[n]->setCurrentIndex(e.relay[n]);
    // The spinners were set quietly (the frequencies are already in order):
    // every display from its spinner now.
    for (int i = 0; i < kSysParams; ++i)
        txtSysParam[size_t(i)]->setText(SysParamText(i, spnSysParam[size_t(i)]->value()));
    txtSysTool->setText(QString::number(spnSysTool->value()));
    for (size_t i = 0; i < 4; ++i)
        txtXTool[i]->setText(QString::number(spnXTool[i]->value()));
}

SystemEdit frmSystem::readControls() const
{
    SystemEdit e;
    for (size_t i = 0; i < size_t(kSysParams); ++i)
        e.sysParam[i] = spnSysParam[i]->value();
    e.sysTool = spnSysTool->value();
    for (size_t i = 0; i < 4; ++i)
        e.xtool[i] = spnXTool[i]->value();
    e.simulateOn = optSimMode[1]->isChecked();
    // A list with no selection stores 0.
    for (size_t n = 0; n < MaxInputs; ++n)
        e.input[n] = cmbInput[n]->currentIndex();
    for (size_t n = 0; n < MaxOutputs; ++n)
        e.relay[n] = cmbRelay[n]->currentIndex();
    return e;
}

void frmSystem::SaveSystem()
{
    const ProcedureScope scope(QStringLiteral("frmSystem_SaveSystem"));
    StoreSystemEdit(readControls(), Model());
}

void frmSystem::spnSysParam_Change(int index)
{
    if (index == 1 || index == 2) {
        std::array<int, kSysParams> p{};
        for (size_t i = 0; i < p.size(); ++i)
            p[i] = spnSysParam[i]->value();
        OrderFrequencies(index, p, typing_);
        const size_t other = index == 1 ? 2 : 1;
        spnSysParam[other]->setValue(p[other]); // runs the other's handler, which finds them apart
    }
    txtSysParam[size_t(index)]->setText(SysParamText(index, spnSysParam[size_t(index)]->value()));
}

void frmSystem::txtSysParam_LostFocus(int index)
{
    // Typed values are clamped, never refused; the box then shows what is kept.
    const QScopedValueRollback typing(typing_, true);
    spnSysParam[size_t(index)]->setValue(TypedSysParam(index, txtSysParam[size_t(index)]->text()));
    txtSysParam[size_t(index)]->setText(SysParamText(index, spnSysParam[size_t(index)]->value()));
}

void frmSystem::cmdOK_Click()
{
    // A value typed and not yet taken (OK reached without leaving its box) counts.
    for (int i = 0; i < kSysParams; ++i)
        if (txtSysParam[size_t(i)]->hasFocus() || txtSysParam[size_t(i)]->isModified())
            txtSysParam_LostFocus(i);
    if (!FrequenciesOrdered(readControls().sysParam)) {
        // Only typing reaches this; an inverted window must not reach the instrument.
        dialogs().message(QStringLiteral("Min Freq. must be below Max Freq."));
        txtSysParam[1]->setFocus(Qt::OtherFocusReason);
        return;
    }
    SaveSystem();
    accept();
}

void frmSystem::cmdCancel_Click()
{
    reject();
}
