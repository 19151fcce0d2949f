#include "editors/frmmaterial.h"

#include "editors/editorwidgets.h"
#include "editors/materialsplit.h"
#include "editors/renamecheck.h"
#include "editors/updownwidget.h"
#include "store/model.h"
#include "store/modelfields.h"
#include "support/dialogs.h"
#include "support/errhandler.h"
#include "support/numbers.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kMaterialNameMax = 17; // longest answer a rename keeps

MaterialRecord& material(int n)
{
    return Model().MaterialTable[size_t(qBound(1, n, MaxMaterials))];
}

} // namespace

frmMaterial::frmMaterial(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMaterial"));
    setWindowTitle(QStringLiteral("Materials"));
    buildControls();
    Form_Load();
}

void frmMaterial::buildControls()
{
    auto* outer = new QVBoxLayout(this);
    cboMaterials = new QComboBox(this);
    cboMaterials->setObjectName(QStringLiteral("cboMaterials"));
    outer->addWidget(cboMaterials);
    connect(cboMaterials, &QComboBox::activated, this, &frmMaterial::cboMaterials_Click);

    auto* g = new QGridLayout;
    outer->addLayout(g);
    const auto row = [this, g](const QString& label, const char* txtName, const char* spinName,
                               const auto& spec, int maxChars, QLineEdit*& txt, UpDownWidget*& spin) {
        const int r = g->rowCount();
        txt = MakeEntry(this, QString::fromLatin1(txtName), 6);
        txt->setMaxLength(maxChars);
        txt->installEventFilter(this);
        spin = MakeStepSpinner(this, QString::fromLatin1(spinName), spec, tr("Hundredths"));
        AttachStepKeys(txt, spin);
        g->addWidget(MakeLabel(this, label, txt), r, 0);
        g->addWidget(txt, r, 1);
        g->addWidget(spin, r, 2);
        if (*spec.unit)
            g->addWidget(new QLabel(QString::fromUtf8(spec.unit), this), r, 3);
    };
    row(tr("&Density"), "txtDensity", "spnDensity", FieldSpecOf(&MaterialRecord::Density), 5, txtDensity,
        spnDensity);
    row(tr("&Z Factor"), "txtZFactor", "spnZFactor", FieldSpecOf(&MaterialRecord::ZFactor), 4, txtZFactor,
        spnZFactor);
    g->setColumnStretch(4, 1);
    connect(spnDensity, &UpDownWidget::valueChanged, this, &frmMaterial::spnDensity_Change);
    connect(spnZFactor, &UpDownWidget::valueChanged, this, &frmMaterial::spnZFactor_Change);

    // No default button: Enter in a box runs its check, not a button.
    auto* buttons = new QHBoxLayout;
    cmdEdit = new QPushButton(tr("&Rename"), this);
    cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    cmdClose = new QPushButton(tr("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {cmdEdit, cmdClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(cmdEdit, &QPushButton::clicked, this, &frmMaterial::RenameMaterial);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    outer->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void frmMaterial::Form_Load()
{
    const ProcedureScope scope(QStringLiteral("frmMaterial_Form_Load"));
    for (int m = 1; m <= MaxMaterials; ++m)
        cboMaterials->addItem(material(m).Material.text());
    cboMaterials->setCurrentIndex(0);
    cboMaterials_Click();
}

int frmMaterial::currentMaterial() const
{
    return qMax(0, cboMaterials->currentIndex()) + 1;
}

void frmMaterial::cboMaterials_Click()
{
    MaterialRecord& m = material(currentMaterial());
    // Loading a value writes nothing back unless the spinner had to clamp
    // it: then the record takes what the box shows, as every change here does.
    const auto load = [](UpDownWidget* spin, QLineEdit* box, double& field) {
        const QSignalBlocker quiet(spin);
        const int v = HundredthsSpin(field, spin->minimum(), spin->maximum());
        spin->setValue(v);
        spin->setResetValue(v);
        box->setText(HundredthsText(v));
        if (RoundHalfEven(field * 100) != v)
            field = StoredHundredths(v);
    };
    load(spnDensity, txtDensity, m.Density);
    load(spnZFactor, txtZFactor, m.ZFactor);
}

void frmMaterial::spnDensity_Change()
{
    txtDensity->setText(HundredthsText(spnDensity->value()));
    material(currentMaterial()).Density = StoredHundredths(spnDensity->value());
}

void frmMaterial::spnZFactor_Change()
{
    txtZFactor->setText(HundredthsText(spnZFactor->value()));
    material(currentMaterial()).ZFactor = StoredHundredths(spnZFactor->value());
}

void frmMaterial::txtDensity_LostFocus()
{
    checkEntry(txtDensity, spnDensity);
}
void frmMaterial::txtZFactor_LostFocus()
{
    checkEntry(txtZFactor, spnZFactor);
}

bool frmMaterial::ValidateEntry(QLineEdit* box, const QString& low, const QString& high)
{
    const double v = LeadingNumber(box->text());
    if (v < LeadingNumber(low) || v > LeadingNumber(high)) {
        // No check of the box the focus leaves meanwhile: two refusing boxes
        // would hand the focus back and forth for ever.
        checking_ = true;
        dialogs().message(QStringLiteral("Valid values are ") + low + QStringLiteral(" to ") + high +
                          QLatin1Char('.'));
        box->setFocus(Qt::OtherFocusReason);
        MarkEntryRefused(this);
        checking_ = false;
        return false;
    }
    return true;
}

void frmMaterial::checkEntry(QLineEdit* box, UpDownWidget* spin)
{
    if (checking_)
        return;
    if (!ValidateEntry(box, HundredthsText(spin->minimum()), HundredthsText(spin->maximum())))
        return;
    const EntryCheck r = CheckHundredthsEntry(box->text(), spin->minimum(), spin->maximum());
    spin->setValue(r.spin);
    box->setText(HundredthsText(spin->value())); // "2.7" reads back as 2.70, what is stored
}

bool frmMaterial::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtDensity || watched == txtZFactor) {
        const bool enter =
            event->type() == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                                  static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
        // Leaving the box for another control, not for a message box or another window.
        const bool left = event->type() == QEvent::FocusOut &&
                          static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
                          static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason;
        if (enter || left) {
            if (watched == txtDensity)
                txtDensity_LostFocus();
            else
                txtZFactor_LostFocus();
            return enter;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMaterial::RenameMaterial()
{
    const ProcedureScope scope(QStringLiteral("frmMaterial_RenameMaterial"));
    for (;;) {
        QStringList names;
        for (int m = 1; m <= MaxMaterials; ++m)
            names << material(m).Material.trimmed();
        const QString current = cboMaterials->currentText().trimmed();
        const auto answer =
            dialogs().input(QStringLiteral("Enter new name:"), QStringLiteral("Edit Material"), current);
        const RenameOutcome r = CheckRename(answer, kMaterialNameMax, current, names);
        if (r.kind == RenameOutcome::Stop)
            return;
        if (r.kind == RenameOutcome::Duplicate) {
            dialogs().message(QStringLiteral("Duplicate Name @ Material #%1.").arg(r.duplicateOf));
            continue;
        }
        const int index = cboMaterials->currentIndex();
        material(currentMaterial()).Material = r.name;
        cboMaterials->setItemText(index, r.name);
        cboMaterials->setCurrentIndex(index);
        cboMaterials_Click();
        return;
    }
}
