#include "editors/frmlayer.h"

#include "editors/editorwidgets.h"
#include "editors/updownwidget.h"
#include "store/model.h"
#include "support/errhandler.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

namespace {

LayerRecord& currentLayer()
{
    return Model().LayerTable[size_t(qBound(1, int(Working().CurLayer), MaxLayers))];
}

// Puts a spinner on a loaded value and remembers it for the reset entry.
void load(UpDownWidget* s, int v)
{
    s->setValue(v);
    s->setResetValue(s->value());
}

} // namespace

frmLayer::frmLayer(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLayer"));
    setWindowTitle(QStringLiteral("Layer Parameters"));
    buildControls();
    LoadLayer();
}

void frmLayer::buildControls()
{
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);

    // One row: label, display, spinners, unit. Creation order is tab order.
    const auto row = [this](QGridLayout* g, const QString& label, QLineEdit* txt,
                            std::initializer_list<UpDownWidget*> spins, const QString& unit) {
        const int r = g->rowCount();
        g->addWidget(MakeLabel(this, label, *spins.begin()), r, 0);
        g->addWidget(txt, r, 1);
        auto* h = new QHBoxLayout;
        h->setSpacing(1);
        for (UpDownWidget* s : spins)
            h->addWidget(s);
        if (!unit.isEmpty()) {
            h->addSpacing(4);
            h->addWidget(new QLabel(unit, this));
        }
        h->addStretch();
        g->addLayout(h, r, 2);
    };
    const auto rateSpins = [this](int i) {
        spnRate[size_t(i)] =
            MakeWholeSpinner(this, Indexed("spnRate", i), FieldSpecOf(&LayerRecord::Rate), tr("Whole Å/s"));
        spnRateTenths[size_t(i)] = MakePartSpinner(this, Indexed("spnRateTenths", i), 0, kDigitMax,
                                                   FieldSpecOf(&LayerRecord::Rate), 0.1, tr("Tenths"));
        txtRate[size_t(i)] = MakeDisplay(this, Indexed("txtRate", i), 5);
        connect(spnRate[size_t(i)], &UpDownWidget::valueChanged, this, [this, i] { spnRate_Change(i); });
        connect(spnRateTenths[size_t(i)], &UpDownWidget::valueChanged, this,
                [this, i] { spnRate_Change(i); });
    };
    const int thickMax = int(FieldSpecOf(&LayerRecord::Final_Thick).maximum);
    const auto thickSpins = [this, thickMax](Thick& t, const char* base, int index,
                                             std::function<void()> changed) {
        static const char* const suffix[4] = {"", "Tenths", "Hundredths", "Thousandths"};
        static const char* const tip[4] = {"Whole kÅ", "Tenths", "Hundredths", "Thousandths"};
        static const double place[4] = {1, 0.1, 0.01, 0.001};
        for (int d = 0; d < 4; ++d) {
            const QString name = QString::fromLatin1(base) + QLatin1String(suffix[d]);
            t.spin[size_t(d)] = MakePartSpinner(
                this, index < 0 ? name : name + QLatin1Char('_') + QString::number(index), 0,
                d == 0 ? thickMax : kDigitMax, FieldSpecOf(&LayerRecord::Final_Thick), place[d], tr(tip[d]));
            connect(t.spin[size_t(d)], &UpDownWidget::valueChanged, this, changed);
        }
        t.txt = MakeDisplay(
            this, index < 0 ? QString::fromLatin1("txtThickSetpoint") : Indexed("txtFinalThick", index), 7);
    };
    const auto timeSpin = [this](int i) {
        spnTimeSetpoint[size_t(i)] =
            MakeStepSpinner(this, Indexed("spnTimeSetpoint", i), FieldSpecOf(&LayerRecord::Time_Setpoint));
        txtTimeSetpoint[size_t(i)] = MakeDisplay(this, Indexed("txtTimeSetpoint", i), 5);
        connect(spnTimeSetpoint[size_t(i)], &UpDownWidget::valueChanged, this,
                [this, i] { spnTimeSetpoint_Change(i); });
    };
    const auto powerSpins = [this](std::array<UpDownWidget*, 2>& s, QLineEdit*& txt, const char* base,
                                   const char* display, double LayerRecord::*field,
                                   void (frmLayer::*changed)()) {
        s[1] = MakeWholeSpinner(this, Indexed(base, 1), FieldSpecOf(field), tr("Whole part"));
        s[0] = MakePartSpinner(this, Indexed(base, 0), 0, kDigitMax, FieldSpecOf(field), 0.1, tr("Tenths"));
        txt = MakeDisplay(this, QString::fromLatin1(display), 5);
        for (UpDownWidget* w : s)
            connect(w, &UpDownWidget::valueChanged, this, changed);
    };

    auto* main = new QGridLayout;
    top->addLayout(main);
    rateSpins(0);
    row(main, tr("&Rate"), txtRate[0], {spnRate[0], spnRateTenths[0]}, QStringLiteral("Å/s"));
    thickSpins(finalThick[0], "spnFinalThick", 0, [this] { spnFinalThick_Change(0); });
    row(main, tr("&Final Thickness"), finalThick[0].txt,
        {finalThick[0].spin[0], finalThick[0].spin[1], finalThick[0].spin[2], finalThick[0].spin[3]},
        QStringLiteral("kÅ"));
    timeSpin(0);
    row(main, tr("T&ime Setpoint"), txtTimeSetpoint[0], {spnTimeSetpoint[0]}, {});
    thickSpins(thickSetpoint, "spnThickSetpoint", -1, [this] { spnThickSetpoint_Change(); });
    row(main, tr("T&hickness Setpoint"), thickSetpoint.txt,
        {thickSetpoint.spin[0], thickSetpoint.spin[1], thickSetpoint.spin[2], thickSetpoint.spin[3]},
        QStringLiteral("kÅ"));
    spnStartMode =
        MakeStepSpinner(this, QStringLiteral("spnStartMode"), FieldSpecOf(&LayerRecord::Start_Mode));
    txtStartMode = MakeDisplay(this, QStringLiteral("txtStartMode"), 6);
    connect(spnStartMode, &UpDownWidget::valueChanged, this, &frmLayer::spnStartMode_Change);
    row(main, tr("&Start Mode"), txtStartMode, {spnStartMode}, {});
    powerSpins(spnMaxPower, txtMaxPower, "spnMaxPower", "txtMaxPower", &LayerRecord::Max_Power1,
               &frmLayer::spnMaxPower_Change);
    row(main, tr("Max &Power"), txtMaxPower, {spnMaxPower[1], spnMaxPower[0]}, QStringLiteral("%"));
    powerSpins(spnSlewRate, txtSlewRate, "spnSlewRate", "txtSlewRate", &LayerRecord::Slew_Rate1,
               &frmLayer::spnSlewRate_Change);
    row(main, tr("Sle&w Rate"), txtSlewRate, {spnSlewRate[1], spnSlewRate[0]}, QStringLiteral("%/s"));

    auto* side = new QVBoxLayout;
    top->addLayout(side);
    auto* fraFilm = new QGroupBox(tr("Fil&m"), this);
    fraFilm->setObjectName(QStringLiteral("fraFilm"));
    cmbFilm = new QComboBox(fraFilm);
    cmbFilm->setObjectName(QStringLiteral("cmbFilm"));
    (new QVBoxLayout(fraFilm))->addWidget(cmbFilm);
    side->addWidget(fraFilm);
    auto* fraSensors = new QGroupBox(tr("Se&nsors"), this);
    fraSensors->setObjectName(QStringLiteral("fraSensors"));
    auto* sl = new QHBoxLayout(fraSensors);
    for (int n = 1; n <= 4; ++n) {
        chkSensor[size_t(n - 1)] = new QCheckBox(QString::number(n), fraSensors);
        chkSensor[size_t(n - 1)]->setObjectName(QStringLiteral("chkSensor%1").arg(n));
        sl->addWidget(chkSensor[size_t(n - 1)]);
    }
    side->addWidget(fraSensors);
    auto* fraOutput = new QGroupBox(tr("O&utput"), this);
    fraOutput->setObjectName(QStringLiteral("fraOutput"));
    auto* ol = new QHBoxLayout(fraOutput);
    // A layer whose output number is not 1..4 shows no option selected.
    for (int n = 1; n <= 4; ++n) {
        optOutNum[size_t(n)] = new QRadioButton(QString::number(n), fraOutput);
        optOutNum[size_t(n)]->setObjectName(Indexed("optOutNum", n));
        ol->addWidget(optOutNum[size_t(n)]);
    }
    side->addWidget(fraOutput);
    side->addStretch();

    auto* ramps = new QHBoxLayout;
    outer->addLayout(ramps);
    for (int i = 1; i <= 2; ++i) {
        auto* fra = new QGroupBox(tr("Rate Ramp &%1").arg(i), this);
        fra->setObjectName(Indexed("fraRamp", i));
        auto* g = new QGridLayout(fra);
        chkRamp[size_t(i)] = new QCheckBox(tr("Enable"), fra);
        chkRamp[size_t(i)]->setObjectName(Indexed("chkRamp", i));
        g->addWidget(chkRamp[size_t(i)], 0, 0, 1, 3);
        rateSpins(i);
        row(g, tr("New Rate"), txtRate[size_t(i)], {spnRate[size_t(i)], spnRateTenths[size_t(i)]},
            QStringLiteral("Å/s"));
        thickSpins(finalThick[size_t(i)], "spnFinalThick", i, [this, i] { spnFinalThick_Change(i); });
        const Thick& t = finalThick[size_t(i)];
        row(g, tr("Start Thickness"), t.txt, {t.spin[0], t.spin[1], t.spin[2], t.spin[3]},
            QStringLiteral("kÅ"));
        timeSpin(i);
        row(g, tr("Ramp Time"), txtTimeSetpoint[size_t(i)], {spnTimeSetpoint[size_t(i)]}, {});
        ramps->addWidget(fra);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(tr("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmLayer::cmdOK_Click);
    buttons->addWidget(cmdOK);
    outer->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void frmLayer::LoadLayer()
{
    const ProcedureScope scope(QStringLiteral("frmLayer_LoadLayer"));
    cmbFilm->clear();
    for (int f = 1; f <= MaxFilms; ++f)
        cmbFilm->addItem(NumberedNameEntry(f, Model().FilmTable[size_t(f)].Film_Name.text()));
    applyEdit(LoadLayerEdit(currentLayer()));
}

void frmLayer::applyEdit(const LayerEdit& e)
{
    cmbFilm->setCurrentIndex(e.filmEntry);
    load(spnStartMode, e.startMode);
    for (size_t i = 0; i < 3; ++i) {
        load(spnRate[i], e.rate[i].whole);
        load(spnRateTenths[i], e.rate[i].tenths);
        const int digits[4] = {e.thick[i].whole, e.thick[i].tenths, e.thick[i].hundredths,
                               e.thick[i].thousandths};
        for (size_t d = 0; d < 4; ++d)
            load(finalThick[i].spin[d], digits[d]);
        load(spnTimeSetpoint[i], e.time[i]);
        if (i > 0)
            chkRamp[i]->setChecked(e.rampOn[i]);
    }
    const int sp[4] = {e.thickSetpoint.whole, e.thickSetpoint.tenths, e.thickSetpoint.hundredths,
                       e.thickSetpoint.thousandths};
    for (size_t d = 0; d < 4; ++d)
        load(thickSetpoint.spin[d], sp[d]);
    for (size_t n = 0; n < 4; ++n)
        chkSensor[n]->setChecked(e.sensors[n]);
    for (int n = 1; n <= 4; ++n)
        optOutNum[size_t(n)]->setChecked(n == e.output);
    load(spnMaxPower[1], e.maxPower.whole);
    load(spnMaxPower[0], e.maxPower.tenths);
    load(spnSlewRate[1], e.slewRate.whole);
    load(spnSlewRate[0], e.slewRate.tenths);
    // A spinner already at its value sends no change, so every display is set here.
    for (int i = 0; i < 3; ++i) {
        spnRate_Change(i);
        spnFinalThick_Change(i);
        spnTimeSetpoint_Change(i);
    }
    spnThickSetpoint_Change();
    spnStartMode_Change();
    spnMaxPower_Change();
    spnSlewRate_Change();
}

LayerEdit frmLayer::readControls() const
{
    LayerEdit e;
    const auto group = [](const Thick& t) {
        return ThousandthsGroup{t.spin[0]->value(), t.spin[1]->value(), t.spin[2]->value(),
                                t.spin[3]->value()};
    };
    for (size_t i = 0; i < 3; ++i) {
        e.rate[i] = {spnRate[i]->value(), spnRateTenths[i]->value()};
        e.thick[i] = group(finalThick[i]);
        e.time[i] = spnTimeSetpoint[i]->value();
        e.rampOn[i] = i > 0 && chkRamp[i]->isChecked();
    }
    e.thickSetpoint = group(thickSetpoint);
    e.startMode = spnStartMode->value();
    e.maxPower = {spnMaxPower[1]->value(), spnMaxPower[0]->value()};
    e.slewRate = {spnSlewRate[1]->value(), spnSlewRate[0]->value()};
    e.filmEntry = qMax(0, cmbFilm->currentIndex());
    for (size_t n = 0; n < 4; ++n)
        e.sensors[n] = chkSensor[n]->isChecked();
    for (int n = 1; n <= 4 && e.output == 0; ++n)
        if (optOutNum[size_t(n)]->isChecked())
            e.output = n;
    return e;
}

void frmLayer::cmdOK_Click()
{
    const ProcedureScope scope(QStringLiteral("frmLayer_cmdOK_Click"));
    StoreLayerEdit(readControls(), currentLayer());
    accept();
}

void frmLayer::spnRate_Change(int index)
{
    const size_t i = size_t(index);
    txtRate[i]->setText(LayerRateText({spnRate[i]->value(), spnRateTenths[i]->value()}));
}

void frmLayer::spnFinalThick_Change(int index)
{
    const Thick& t = finalThick[size_t(index)];
    t.txt->setText(
        ThousandthsText({t.spin[0]->value(), t.spin[1]->value(), t.spin[2]->value(), t.spin[3]->value()}));
}

void frmLayer::spnThickSetpoint_Change()
{
    const Thick& t = thickSetpoint;
    t.txt->setText(
        ThousandthsText({t.spin[0]->value(), t.spin[1]->value(), t.spin[2]->value(), t.spin[3]->value()}));
}

void frmLayer::spnTimeSetpoint_Change(int index)
{
    txtTimeSetpoint[size_t(index)]->setText(QString::number(spnTimeSetpoint[size_t(index)]->value()));
}

void frmLayer::spnStartMode_Change()
{
    txtStartMode->setText(StartModeText(spnStartMode->value()));
}

void frmLayer::spnMaxPower_Change()
{
    txtMaxPower->setText(TenthsText(spnMaxPower[1]->value(), spnMaxPower[0]->value()));
}

void frmLayer::spnSlewRate_Change()
{
    txtSlewRate->setText(TenthsText(spnSlewRate[1]->value(), spnSlewRate[0]->value()));
}
