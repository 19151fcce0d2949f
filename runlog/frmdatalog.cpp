#include "runlog/frmdatalog.h"

#include "runlog/datalogsettings.h"
#include "runlog/frmdatalogspin.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/shell.h"

#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// Window bounds are whole seconds in a 16-bit setting.
qint16 toSetting(int seconds)
{
    return qint16(std::clamp(seconds, 0, 32767));
}

bool movesWithinWindow(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason;
}

QGroupBox* timeFrame(QWidget* parent, const QString& name, const QString& title)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

frmDataLog::frmDataLog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDataLog"));
    setWindowTitle(QStringLiteral("Data Logging"));
    setModal(true);

    auto* fraLog = timeFrame(this, QStringLiteral("fraLogFile"), QStringLiteral("Log File"));
    auto* logLay = new QGridLayout(fraLog);
    const std::pair<int, const char*> options[] = {{1, "Overwrite"}, {2, "Append"}, {0, "None"}};
    int row = 0;
    for (const auto& [index, caption] : options) {
        auto* opt = new QRadioButton(QString::fromLatin1(caption), fraLog);
        opt->setObjectName(QStringLiteral("optLog_%1").arg(index));
        optLog_[index] = opt;
        logLay->addWidget(opt, row++, 0);
        connect(opt, &QRadioButton::toggled, this, [this, index](bool on) {
            if (on)
                optLog_Click(index);
        });
    }
    cmdNew_ = new QPushButton(QStringLiteral("&New"), fraLog);
    cmdNew_->setObjectName(QStringLiteral("cmdNew"));
    cmdNew_->setToolTip(QStringLiteral("Open a new log file."));
    cmdView_ = new QPushButton(QStringLiteral("&View"), fraLog);
    cmdView_->setObjectName(QStringLiteral("cmdView"));
    cmdView_->setToolTip(QStringLiteral("View the log file."));
    logLay->addWidget(cmdNew_, 0, 1);
    logLay->addWidget(cmdView_, 1, 1);
    connect(cmdNew_, &QPushButton::clicked, this, &frmDataLog::cmdNew_Click);
    connect(cmdView_, &QPushButton::clicked, this, &frmDataLog::cmdView_Click);

    auto timeBox = [this](const QString& name, const QString& title, TimeField& minutes, TimeField& seconds,
                          const QString& suffix, void (frmDataLog::*minChange)(),
                          void (frmDataLog::*secChange)()) {
        auto* box = timeFrame(this, name, title);
        auto* lay = new QHBoxLayout(box);
        minutes = makeField(suffix + QStringLiteral("Min"), DataLogField::Minutes, minChange);
        seconds = makeField(suffix + QStringLiteral("Sec"), DataLogField::Seconds, secChange);
        auto* colon = new QLabel(QStringLiteral(":"), box);
        colon->setObjectName(QStringLiteral("lbl%1Colon").arg(suffix));
        lay->addWidget(minutes.txt);
        lay->addWidget(minutes.spn);
        lay->addWidget(colon);
        lay->addWidget(seconds.txt);
        lay->addWidget(seconds.spn);
        lay->addStretch();
        return box;
    };
    auto* fraStart =
        timeBox(QStringLiteral("fraStartTime"), QStringLiteral("Start Time"), startMin_, startSec_,
                QStringLiteral("Start"), &frmDataLog::spnStartMin_Change, &frmDataLog::spnStartSec_Change);
    auto* fraEnd =
        timeBox(QStringLiteral("fraEndTime"), QStringLiteral("End Time"), endMin_, endSec_,
                QStringLiteral("End"), &frmDataLog::spnEndMin_Change, &frmDataLog::spnEndSec_Change);
    auto* fraInterval = timeFrame(this, QStringLiteral("fraInterval"), QStringLiteral("Log Interval"));
    auto* intLay = new QHBoxLayout(fraInterval);
    interval_ =
        makeField(QStringLiteral("Interval"), DataLogField::Interval, &frmDataLog::spnInterval_Change);
    intLay->addWidget(interval_.txt);
    intLay->addWidget(interval_.spn);
    intLay->addStretch();

    cmdForm_ = new QPushButton(QStringLiteral("&OK"), this);
    cmdForm_->setObjectName(QStringLiteral("cmdForm"));
    cmdForm_->setDefault(true);
    connect(cmdForm_, &QPushButton::clicked, this, &frmDataLog::cmdForm_Click);

    auto* main = new QVBoxLayout(this);
    main->addWidget(fraLog);
    main->addWidget(fraStart);
    main->addWidget(fraEnd);
    main->addWidget(fraInterval);
    main->addWidget(cmdForm_, 0, Qt::AlignRight);
    setFixedSize(sizeHint());

    Form_Load();
}

frmDataLog::TimeField frmDataLog::makeField(const QString& suffix, DataLogField kind,
                                            void (frmDataLog::*change)())
{
    TimeField f;
    f.txt = new QLineEdit(this);
    f.txt->setObjectName(QStringLiteral("txt") + suffix);
    f.txt->setFixedWidth(48);
    f.txt->setText(QStringLiteral("0"));
    f.txt->installEventFilter(this);
    f.spn = new LogSpinButtons(this);
    f.spn->setObjectName(QStringLiteral("spn") + suffix);
    const SpinRange r = DataLogSpinRange(kind);
    f.spn->setRange(r.minimum, r.maximum);
    QLineEdit* txt = f.txt;
    connect(f.spn, &LogSpinButtons::valueChanged, this, [this, txt, change](int v) {
        txt->setText(QString::number(v)); // the text field follows its spin control
        (this->*change)();
    });
    return f;
}

bool frmDataLog::eventFilter(QObject* watched, QEvent* event)
{
    // A typed value is checked when the operator moves on within this window,
    // not when another program or a menu takes the focus.
    if (event->type() == QEvent::FocusOut && movesWithinWindow(static_cast<QFocusEvent*>(event)->reason())) {
        if (watched == startMin_.txt)
            txtStartMin_LostFocus();
        else if (watched == startSec_.txt)
            txtStartSec_LostFocus();
        else if (watched == endMin_.txt)
            txtEndMin_LostFocus();
        else if (watched == endSec_.txt)
            txtEndSec_LostFocus();
        else if (watched == interval_.txt)
            txtInterval_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmDataLog::Form_Load()
{
    AppConfig& c = Config();
    loading_ = true;
    if (c.LogType >= 0 && c.LogType <= 2)
        optLog_[c.LogType]->setChecked(true);
    // Each move may drag the other bound along, so every value is read from
    // the settings at the moment it is set.
    endSec_.spn->setValue(c.LogEnd % 60);
    endMin_.spn->setValue(c.LogEnd / 60);
    startSec_.spn->setValue(c.LogStart % 60);
    startMin_.spn->setValue(c.LogStart / 60);
    interval_.spn->setValue(c.LogInterval);
    for (const TimeField* f : {&startMin_, &startSec_, &endMin_, &endSec_, &interval_})
        f->txt->setText(QString::number(f->spn->value()));
    loading_ = false;
    setWindowTitle(DataLogCaptionOnLoad(c.LogFileName));
}

void frmDataLog::optLog_Click(int index)
{
    Config().LogType = qint16(index);
}

void frmDataLog::showBound(TimeField& minutes, TimeField& seconds, int value)
{
    // The steps in between are not stored: only the final pair is the value.
    const bool wasLoading = std::exchange(loading_, true);
    minutes.spn->setValue(value / 60);
    seconds.spn->setValue(value % 60);
    loading_ = wasLoading;
}

void frmDataLog::startChanged()
{
    AppConfig& c = Config();
    if (!loading_) {
        const int shown = startMin_.spn->value() * 60 + startSec_.spn->value();
        c.LogStart = toSetting(shown);
        // Past the setting's range the fields show the bound actually kept.
        if (shown != c.LogStart)
            showBound(startMin_, startSec_, c.LogStart);
    }
    if (c.LogEnd <= c.LogStart && !adjusting_) {
        adjusting_ = true;
        c.LogEnd = c.LogStart;
        const int target = c.LogEnd;
        endMin_.spn->setValue(target / 60);
        endSec_.spn->setValue(target % 60);
        adjusting_ = false;
    }
}

void frmDataLog::endChanged()
{
    AppConfig& c = Config();
    if (!loading_) {
        const int shown = endMin_.spn->value() * 60 + endSec_.spn->value();
        c.LogEnd = toSetting(shown);
        if (shown != c.LogEnd)
            showBound(endMin_, endSec_, c.LogEnd);
    }
    if (c.LogEnd <= c.LogStart && !adjusting_) {
        adjusting_ = true;
        c.LogStart = c.LogEnd;
        const int target = c.LogStart;
        startMin_.spn->setValue(target / 60);
        startSec_.spn->setValue(target % 60);
        adjusting_ = false;
    }
}

void frmDataLog::spnStartMin_Change()
{
    startChanged();
}
void frmDataLog::spnStartSec_Change()
{
    startChanged();
}
void frmDataLog::spnEndMin_Change()
{
    endChanged();
}
void frmDataLog::spnEndSec_Change()
{
    endChanged();
}
void frmDataLog::spnInterval_Change()
{
    Config().LogInterval = qint16(interval_.spn->value());
}

void frmDataLog::typedLostFocus(const TimeField& f, DataLogField kind)
{
    const TypedValue v = CheckTypedValue(kind, f.txt->text());
    if (v.value)
        f.spn->setValue(*v.value);
    else
        dialogs().message(v.message, MsgButtons::Ok, MsgIcon::Exclamation);
    f.txt->setText(QString::number(f.spn->value()));
}

void frmDataLog::txtStartMin_LostFocus()
{
    typedLostFocus(startMin_, DataLogField::Minutes);
}
void frmDataLog::txtStartSec_LostFocus()
{
    typedLostFocus(startSec_, DataLogField::Seconds);
}
void frmDataLog::txtEndMin_LostFocus()
{
    typedLostFocus(endMin_, DataLogField::Minutes);
}
void frmDataLog::txtEndSec_LostFocus()
{
    typedLostFocus(endSec_, DataLogField::Seconds);
}
void frmDataLog::txtInterval_LostFocus()
{
    typedLostFocus(interval_, DataLogField::Interval);
}

void frmDataLog::cmdNew_Click()
{
    const std::optional<QString> chosen = dialogs().saveFile(NewLogFileRequest(Config().LogFileName));
    if (!chosen || chosen->isEmpty())
        return;
    Config().LogFileName = *chosen;
    setWindowTitle(DataLogCaptionAfterNew(*chosen));
}

void frmDataLog::cmdView_Click()
{
    // Failures are of no consequence here: the operator sees nothing open.
    shell().openDocument(QFileInfo(Config().LogFileName).absoluteFilePath());
}

void frmDataLog::cmdForm_Click()
{
    accept();
}
