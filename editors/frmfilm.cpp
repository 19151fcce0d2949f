#include "editors/frmfilm.h"

#include "editors/editorwidgets.h"
#include "editors/layersplit.h"
#include "editors/renamecheck.h"
#include "editors/updownwidget.h"
#include "store/model.h"
#include "support/dialogs.h"
#include "support/errhandler.h"
#include "support/numbers.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kFilmNameMax = 12; // longest name a rename keeps

FilmRecord& film(int n)
{
    return Model().FilmTable[size_t(qBound(1, n, MaxFilms))];
}

void load(UpDownWidget* s, int v)
{
    s->setValue(v);
    s->setResetValue(s->value());
}

// Adds label, display and spinners as one row of g.
void addRow(QGridLayout* g, QLabel* label, QLineEdit* txt, std::initializer_list<UpDownWidget*> spins)
{
    const int r = g->rowCount();
    g->addWidget(label, r, 0);
    g->addWidget(txt, r, 1);
    auto* h = new QHBoxLayout;
    h->setSpacing(1);
    for (UpDownWidget* s : spins)
        h->addWidget(s);
    h->addStretch();
    g->addLayout(h, r, 2);
}

} // namespace

frmFilm::frmFilm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFilm"));
    setWindowTitle(QStringLiteral("Film Parameters"));
    buildControls();
    Form_Load();
}

void frmFilm::buildControls()
{
    auto* outer = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    cboFilms = new QComboBox(this);
    cboFilms->setObjectName(QStringLiteral("cboFilms"));
    head->addWidget(MakeLabel(this, tr("&Film"), cboFilms));
    head->addWidget(cboFilms, 1);
    outer->addLayout(head);
    connect(cboFilms, &QComboBox::activated, this, &frmFilm::cboFilms_Click);

    tabFilm = new QTabWidget(this);
    tabFilm->setObjectName(QStringLiteral("tabFilm"));
    outer->addWidget(tabFilm);
    auto* pageMain = new QWidget;
    auto* pageCond = new QWidget;
    auto* pageCtrl = new QWidget;
    pageMain->setObjectName(QStringLiteral("tabMain"));
    pageCond->setObjectName(QStringLiteral("tabConditioning"));
    pageCtrl->setObjectName(QStringLiteral("tabControls"));
    tabFilm->addTab(pageMain, tr("Main"));
    tabFilm->addTab(pageCond, tr("Conditioning"));
    tabFilm->addTab(pageCtrl, tr("Controls"));

    using F = FilmRecord;
    const auto single = [this](QWidget* parent, UpDownWidget*& spin, QLineEdit*& txt, const char* spinName,
                               const char* txtName, const FieldSpec<F>& spec, int chars,
                               void (frmFilm::*changed)()) {
        spin = MakeStepSpinner(parent, QString::fromLatin1(spinName), spec);
        txt = MakeDisplay(parent, QString::fromLatin1(txtName), chars);
        connect(spin, &UpDownWidget::valueChanged, this, changed);
    };
    const auto pairRow = [this](QWidget* parent, QGridLayout* g, int i) {
        const FilmPairRow& row = FilmPairRows()[size_t(i)];
        PairControls& c = pairs_[size_t(i)];
        const bool time = row.kind == PairKind::Time;
        const auto& spec =
            std::visit([](auto f) -> const FieldSpec<F>& { return FieldSpecOf(f); }, row.field);
        c.high = MakePartSpinner(parent, QString::fromLatin1(row.high), 0,
                                 int(time ? spec.maximum / 60 : spec.maximum), spec, time ? 60 : 1,
                                 time ? tr("Minutes") : tr("Whole part"));
        c.low = MakePartSpinner(parent, QString::fromLatin1(row.low), 0, time ? kSecondsMax : kDigitMax, spec,
                                time ? 1 : 0.1, time ? tr("Seconds") : tr("Tenths"));
        c.txt = MakeDisplay(parent, QString::fromLatin1(row.display), 7);
        c.label = MakeLabel(parent, tr(row.label), c.high);
        connect(c.high, &UpDownWidget::valueChanged, this, [this, i] { spnPair_Change(i); });
        connect(c.low, &UpDownWidget::valueChanged, this, [this, i] { spnPair_Change(i); });
        addRow(g, c.label, c.txt, {c.high, c.low});
    };
    const auto pairsOf = [&](FilmTab tab, QWidget* parent, QGridLayout* g, int from, int to) {
        for (int i = from; i < to; ++i)
            if (FilmPairRows()[size_t(i)].tab == tab)
                pairRow(parent, g, i);
    };
    const auto option = [](QWidget* parent, QHBoxLayout* h, const char* base, int index,
                           const QString& caption) {
        auto* o = new QRadioButton(caption, parent);
        o->setObjectName(Indexed(base, index));
        h->addWidget(o);
        return o;
    };

    // Main.
    {
        auto* v = new QVBoxLayout(pageMain);
        auto* g = new QGridLayout;
        v->addLayout(g);
        cmbMaterial = new QComboBox(pageMain);
        cmbMaterial->setObjectName(QStringLiteral("cmbMaterial"));
        connect(cmbMaterial, &QComboBox::activated, this, &frmFilm::cmbMaterial_Click);
        g->addWidget(MakeLabel(pageMain, tr("&Material"), cmbMaterial), 0, 0);
        g->addWidget(cmbMaterial, 0, 1, 1, 2);
        single(pageMain, spnPocket, txtPocket, "spnPocket", "txtPocket", FieldSpecOf(&F::Pocket), 5,
               &frmFilm::spnPocket_Change);
        addRow(g, MakeLabel(pageMain, tr("&Pocket"), spnPocket), txtPocket, {spnPocket});
        single(pageMain, spnFilmTooling, txtFilmTooling, "spnFilmTooling", "txtFilmTooling",
               FieldSpecOf(&F::Tooling), 5, &frmFilm::spnFilmTooling_Change);
        addRow(g, MakeLabel(pageMain, tr("&Tooling"), spnFilmTooling), txtFilmTooling, {spnFilmTooling});

        auto* fraPID = new QGroupBox(tr("PID"), pageMain);
        fraPID->setObjectName(QStringLiteral("fraPID"));
        auto* pg = new QGridLayout(fraPID);
        spnPropTerm = MakeStepSpinner(fraPID, QStringLiteral("spnPropTerm"), FieldSpecOf(&F::Pterm));
        txtPTerm = MakeEntry(fraPID, QStringLiteral("txtPTerm"), 7);
        connect(spnPropTerm, &UpDownWidget::valueChanged, this, &frmFilm::spnPropTerm_Change);
        connect(txtPTerm, &QLineEdit::textEdited, this, &frmFilm::txtPTerm_Change);
        AttachStepKeys(txtPTerm, spnPropTerm);
        // The box comes before its spinner in the tab order, as it takes typing.
        addRow(pg, MakeLabel(fraPID, tr("Proportiona&l"), txtPTerm), txtPTerm, {spnPropTerm});
        pairsOf(FilmTab::Main, fraPID, pg, 0, kFilmPairs);
        v->addWidget(fraPID);

        auto* fraXtal = new QGroupBox(tr("Crystal Fail Control"), pageMain);
        fraXtal->setObjectName(QStringLiteral("fraXtalFail"));
        auto* xg = new QGridLayout(fraXtal);
        single(fraXtal, spnXtalQual, txtXtalQual, "spnXtalQual", "txtXtalQual",
               FieldSpecOf(&F::Crystal_Quality), 7, &frmFilm::spnXtalQual_Change);
        addRow(xg, MakeLabel(fraXtal, tr("Crystal &Quality"), spnXtalQual), txtXtalQual, {spnXtalQual});
        single(fraXtal, spnXtalStab, txtXtalStab, "spnXtalStab", "txtXtalStab",
               FieldSpecOf(&F::Crystal_Stability), 7, &frmFilm::spnXtalStab_Change);
        addRow(xg, MakeLabel(fraXtal, tr("Crystal &Stability"), spnXtalStab), txtXtalStab, {spnXtalStab});
        auto* oh = new QHBoxLayout;
        optXtalFail[0] = option(fraXtal, oh, "optXtalFail", 0, tr("Halt"));
        optXtalFail[1] = option(fraXtal, oh, "optXtalFail", 1, tr("Timed Power"));
        xg->addLayout(oh, xg->rowCount(), 0, 1, 3);
        v->addWidget(fraXtal);

        cmdRename = new QPushButton(tr("&Rename"), pageMain);
        cmdRename->setObjectName(QStringLiteral("cmdRename"));
        cmdRename->setAutoDefault(false);
        connect(cmdRename, &QPushButton::clicked, this, &frmFilm::RenameFilm);
        auto* rh = new QHBoxLayout;
        rh->addStretch();
        rh->addWidget(cmdRename);
        v->addLayout(rh);
        v->addStretch();
    }
    // Conditioning.
    {
        auto* g = new QGridLayout(pageCond);
        pairsOf(FilmTab::Conditioning, pageCond, g, 0, kFilmPairs);
        g->setRowStretch(g->rowCount(), 1);
    }
    // Controls.
    {
        auto* v = new QVBoxLayout(pageCtrl);
        auto* fraShutter = new QGroupBox(tr("Shutter Delay"), pageCtrl);
        fraShutter->setObjectName(QStringLiteral("fraShutterDelay"));
        auto* sg = new QGridLayout(fraShutter);
        int accuracy = 0;
        for (int i = 0; i < kFilmPairs; ++i)
            if (QLatin1String(FilmPairRows()[size_t(i)].display) == QLatin1String("txtShutterDelay"))
                pairRow(fraShutter, sg, i);
            else if (QLatin1String(FilmPairRows()[size_t(i)].display) == QLatin1String("txtAccuracy"))
                accuracy = i;
        single(fraShutter, spnCapture, txtCapture, "spnCapture", "txtCapture", FieldSpecOf(&F::Capture), 7,
               &frmFilm::spnCapture_Change);
        addRow(sg, MakeLabel(fraShutter, tr("Capture"), spnCapture), txtCapture, {spnCapture});
        v->addWidget(fraShutter);

        auto* fraErr = new QGroupBox(tr("Control Error"), pageCtrl);
        fraErr->setObjectName(QStringLiteral("fraControlError"));
        auto* eg = new QGridLayout(fraErr);
        auto* eh = new QHBoxLayout;
        const char* const errCaptions[3] = {"Ignore", "Stop", "Hold"};
        for (int i = 0; i < 3; ++i) {
            optCntrlErr[size_t(i)] = option(fraErr, eh, "optCntrlErr", i, tr(errCaptions[i]));
            connect(optCntrlErr[size_t(i)], &QRadioButton::toggled, this, &frmFilm::optCntrlErr_Click);
        }
        eg->addLayout(eh, 0, 0, 1, 3);
        single(fraErr, spnControlError, txtControlError, "spnControlError", "txtControlError",
               FieldSpecOf(&F::Control_Error_Percent), 7, &frmFilm::spnControlError_Change);
        lblControlError = MakeLabel(fraErr, tr("Error"), spnControlError);
        addRow(eg, lblControlError, txtControlError, {spnControlError});
        v->addWidget(fraErr);

        auto* fraSampling = new QGroupBox(tr("Rate Sampling"), pageCtrl);
        fraSampling->setObjectName(QStringLiteral("fraRateSampling"));
        auto* rg = new QGridLayout(fraSampling);
        auto* rh = new QHBoxLayout;
        const char* const samplingCaptions[3] = {"Continuous", "Accuracy", "Time Based"};
        for (int i = 0; i < 3; ++i) {
            optRateSampling[size_t(i)] =
                option(fraSampling, rh, "optRateSampling", i, tr(samplingCaptions[i]));
            connect(optRateSampling[size_t(i)], &QRadioButton::toggled, this,
                    &frmFilm::optRateSampling_Click);
        }
        rg->addLayout(rh, 0, 0, 1, 3);
        pairRow(fraSampling, rg, accuracy);
        pairsOf(FilmTab::Controls, fraSampling, rg, accuracy + 1, kFilmPairs);
        v->addWidget(fraSampling);
        v->addStretch();
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(tr("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmFilm::cmdOK_Click);
    buttons->addWidget(cmdOK);
    outer->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void frmFilm::Form_Load()
{
    const ProcedureScope scope(QStringLiteral("frmFilm_Form_Load"));
    loading_ = true;
    currentFilm_ = Working().CurFilm != 0 ? qBound(1, int(Working().CurFilm), MaxFilms) : 1;
    cboFilms->clear();
    for (int f = 1; f <= MaxFilms; ++f)
        cboFilms->addItem(NumberedNameEntry(f, Model().FilmTable[size_t(f)].Film_Name.text()));
    cmbMaterial->clear();
    for (int m = 1; m <= MaxMaterials; ++m)
        cmbMaterial->addItem(NumberedNameEntry(m, Model().MaterialTable[size_t(m)].Material.text()));
    InitTabs();
    tabFilm->setCurrentIndex(0);
    loading_ = false;
}

void frmFilm::InitTabMain()
{
    currentFilmName_ = film(currentFilm_).Film_Name.text();
    setWindowTitle(FilmCaption(currentFilm_, currentFilmName_));
    cboFilms->setCurrentIndex(currentFilm_ - 1);
}

void frmFilm::InitTabs()
{
    const ProcedureScope scope(QStringLiteral("frmFilm_InitTabs"));
    InitTabMain();
    const FilmEdit e = LoadFilmEdit(film(currentFilm_), readControls());
    cmbMaterial->setCurrentIndex(e.material);
    load(spnPocket, e.pocket);
    load(spnFilmTooling, e.tooling);
    load(spnPropTerm, e.propTerm);
    load(spnXtalQual, e.xtalQual);
    load(spnXtalStab, e.xtalStab);
    load(spnCapture, e.capture);
    load(spnControlError, e.controlErrorPct);
    for (size_t i = 0; i < pairs_.size(); ++i) {
        load(pairs_[i].high, e.pairs[i].high);
        load(pairs_[i].low, e.pairs[i].low);
    }
    if (e.xtalFail >= 0)
        optXtalFail[size_t(e.xtalFail)]->setChecked(true);
    if (e.controlError >= 0)
        optCntrlErr[size_t(e.controlError)]->setChecked(true);
    if (e.sampling >= 0)
        optRateSampling[size_t(e.sampling)]->setChecked(true);
    // Spinners already at their value send no change: set every display here.
    for (int i = 0; i < kFilmPairs; ++i)
        spnPair_Change(i);
    spnPocket_Change();
    spnFilmTooling_Change();
    spnXtalQual_Change();
    spnXtalStab_Change();
    spnCapture_Change();
    spnControlError_Change();
    txtPTerm->setText(e.propText); // the stored number, even where the spinner clamped it
    optCntrlErr_Click();
    optRateSampling_Click();
}

FilmEdit frmFilm::readControls() const
{
    FilmEdit e;
    e.material = qMax(0, cmbMaterial->currentIndex());
    e.pocket = spnPocket->value();
    e.tooling = spnFilmTooling->value();
    e.propTerm = spnPropTerm->value();
    e.propText = txtPTerm->text();
    e.xtalQual = int(RoundHalfEven(LeadingNumber(txtXtalQual->text())));
    e.xtalStab = int(RoundHalfEven(LeadingNumber(txtXtalStab->text())));
    e.capture = spnCapture->value();
    e.controlErrorPct = spnControlError->value();
    for (size_t i = 0; i < pairs_.size(); ++i)
        e.pairs[i] = {pairs_[i].high->value(), pairs_[i].low->value()};
    const auto selected = [](const auto& options) {
        for (size_t i = 0; i < options.size(); ++i)
            if (options[i]->isChecked())
                return int(i);
        return -1;
    };
    e.xtalFail = selected(optXtalFail);
    e.controlError = selected(optCntrlErr);
    e.sampling = selected(optRateSampling);
    return e;
}

void frmFilm::SaveFilm()
{
    const ProcedureScope scope(QStringLiteral("frmFilm_SaveFilm"));
    StoreFilmEdit(readControls(), film(currentFilm_));
}

void frmFilm::cboFilms_Click()
{
    if (loading_ || cboFilms->currentIndex() < 0)
        return;
    SaveFilm();
    currentFilm_ = cboFilms->currentIndex() + 1;
    InitTabs();
}

void frmFilm::cmbMaterial_Click()
{
    if (cmbMaterial->currentIndex() < 0)
        cmbMaterial->setCurrentIndex(qBound(0, film(currentFilm_).Material_Index - 1, MaxMaterials - 1));
}

void frmFilm::cmdOK_Click()
{
    SaveFilm();
    accept();
}

void frmFilm::RenameFilm()
{
    const ProcedureScope scope(QStringLiteral("frmFilm_RenameFilm"));
    QStringList names;
    for (int f = 1; f <= MaxFilms; ++f)
        names << Model().FilmTable[size_t(f)].Film_Name.trimmed();
    for (;;) {
        const auto answer =
            dialogs().input(QStringLiteral("Enter new name:"), QStringLiteral("Edit Film"), currentFilmName_);
        const RenameOutcome r = CheckRename(answer, kFilmNameMax, currentFilmName_, names);
        if (r.kind == RenameOutcome::Stop)
            return;
        if (r.kind == RenameOutcome::Duplicate) {
            dialogs().message(QStringLiteral("Duplicate Name @ Film #%1.").arg(r.duplicateOf));
            continue;
        }
        film(currentFilm_).Film_Name = r.name;
        currentFilmName_ = film(currentFilm_).Film_Name.text();
        cboFilms->setItemText(currentFilm_ - 1,
                              QString::number(currentFilm_) + QStringLiteral(". ") + r.name);
        InitTabMain();
        return;
    }
}

void frmFilm::optCntrlErr_Click()
{
    const bool shown = !optCntrlErr[0]->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(lblControlError), static_cast<QWidget*>(txtControlError),
                       static_cast<QWidget*>(spnControlError)})
        w->setVisible(shown);
}

void frmFilm::optRateSampling_Click()
{
    // With no option chosen yet everything stays on show.
    const bool none = !optRateSampling[0]->isChecked() && !optRateSampling[1]->isChecked() &&
                      !optRateSampling[2]->isChecked();
    const bool accuracy = none || optRateSampling[1]->isChecked();
    const bool times = none || optRateSampling[2]->isChecked();
    for (size_t i = 0; i < pairs_.size(); ++i) {
        const FilmPairRow& row = FilmPairRows()[i];
        if (row.tab != FilmTab::Controls || QLatin1String(row.display) == QLatin1String("txtShutterDelay"))
            continue;
        const bool shown = QLatin1String(row.display) == QLatin1String("txtAccuracy") ? accuracy : times;
        for (QWidget* w : {static_cast<QWidget*>(pairs_[i].label), static_cast<QWidget*>(pairs_[i].txt),
                           static_cast<QWidget*>(pairs_[i].high), static_cast<QWidget*>(pairs_[i].low)})
            w->setVisible(shown);
    }
}

void frmFilm::spnPair_Change(int row)
{
    const FilmPairRow& r = FilmPairRows()[size_t(row)];
    PairControls& c = pairs_[size_t(row)];
    // A time past 1:00:00 loses its seconds; resetting them runs this handler again.
    if (r.kind == PairKind::Time && c.high->value() * 60 + c.low->value() > kFilmTimeMax)
        c.low->setValue(0);
    c.txt->setText(FilmPairText(r, {c.high->value(), c.low->value()}));
}

void frmFilm::spnPocket_Change()
{
    txtPocket->setText(NumberOrWord(spnPocket->value(), QStringLiteral("None")));
}
void frmFilm::spnFilmTooling_Change()
{
    txtFilmTooling->setText(QString::number(spnFilmTooling->value()));
}
void frmFilm::spnPropTerm_Change()
{
    txtPTerm->setText(QString::number(spnPropTerm->value()));
}
void frmFilm::spnXtalQual_Change()
{
    txtXtalQual->setText(NumberOrWord(spnXtalQual->value(), QStringLiteral("Disable")));
}
void frmFilm::spnXtalStab_Change()
{
    txtXtalStab->setText(NumberOrWord(spnXtalStab->value(), QStringLiteral("Disable")));
}
void frmFilm::spnCapture_Change()
{
    txtCapture->setText(TenthsPercentText(spnCapture->value()));
}
void frmFilm::spnControlError_Change()
{
    txtControlError->setText(TenthsPercentText(spnControlError->value()));
}

void frmFilm::txtPTerm_Change()
{
    // A typed whole number the spinner can hold moves the spinner there
    // quietly, so the arrows go on from the typed value; storing reads the box.
    const auto typed = StrictNumber(txtPTerm->text());
    if (typed && *typed == RoundHalfEven(*typed) && *typed >= 0 && *typed <= spnPropTerm->maximum()) {
        const QSignalBlocker quiet(spnPropTerm);
        spnPropTerm->setValue(int(*typed));
    }
}
