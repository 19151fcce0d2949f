#include "editors/updownwidget.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionFocusRect>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {
constexpr int kPageSteps = 10;
constexpr int kWheelNotch = 120;

// Owned by the box it watches; hands step keys to the spinner.
class StepKeys : public QObject {
public:
    StepKeys(QWidget* box, UpDownWidget* spin) : QObject(box), spin_(spin) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !spin_)
            return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
            spin_->stepBy(1);
            return true;
        case Qt::Key_Down:
            spin_->stepBy(-1);
            return true;
        case Qt::Key_PageUp:
            spin_->stepBy(kPageSteps);
            return true;
        case Qt::Key_PageDown:
            spin_->stepBy(-kPageSteps);
            return true;
        default:
            return false;
        }
    }

private:
    QPointer<UpDownWidget> spin_;
};
} // namespace

void AttachStepKeys(QWidget* box, UpDownWidget* spin)
{
    new StepKeys(box, spin);
}

UpDownWidget::UpDownWidget(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::WheelFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2); // room for the focus frame
    layout->setSpacing(0);
    const auto makeArrow = [this, layout](Qt::ArrowType arrow, int direction) {
        auto* b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(7, 7));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        // The press has offered this spinner the focus (the arrows take none);
        // when the box it would leave refused to let it go, the click is dropped.
        connect(b, &QToolButton::clicked, this, [this, direction] {
            if (window()->focusWidget() == this && !EntryRefusedJustNow(this))
                stepBy(direction);
        });
        layout->addWidget(b);
        return b;
    };
    up_ = makeArrow(Qt::UpArrow, 1);
    down_ = makeArrow(Qt::DownArrow, -1);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void UpDownWidget::setRange(int minimum, int maximum)
{
    min_ = minimum;
    max_ = qMax(minimum, maximum);
    setValue(value_);
}

void UpDownWidget::setSingleStep(int step)
{
    step_ = qMax(1, step);
}

void UpDownWidget::setValue(int value)
{
    value = qBound(min_, value, max_);
    if (value == value_)
        return;
    value_ = value;
    emit valueChanged(value_);
}

void UpDownWidget::stepBy(int steps)
{
    setValue(int(qBound(qint64(min_), qint64(value_) + qint64(steps) * step_, qint64(max_))));
}

QSize UpDownWidget::sizeHint() const
{
    const int h = fontMetrics().height() + 10;
    return {qMax(18, h * 2 / 3), h};
}

void UpDownWidget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        stepBy(1);
        break;
    case Qt::Key_Down:
        stepBy(-1);
        break;
    case Qt::Key_PageUp:
        stepBy(kPageSteps);
        break;
    case Qt::Key_PageDown:
        stepBy(-kPageSteps);
        break;
    case Qt::Key_Home:
        setValue(min_);
        break;
    case Qt::Key_End:
        setValue(max_);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool UpDownWidget::takeFocus()
{
    if (window()->focusWidget() != this)
        setFocus(Qt::MouseFocusReason);
    return window()->focusWidget() == this;
}

void UpDownWidget::wheelEvent(QWheelEvent* event)
{
    // A real wheel has had the focus offered already; one sent by code has not.
    if (!(event->spontaneous() ? window()->focusWidget() == this : takeFocus()) ||
        EntryRefusedJustNow(this)) {
        wheelRest_ = 0;
        event->accept();
        return;
    }
    wheelRest_ += event->angleDelta().y();
    const int steps = wheelRest_ / kWheelNotch;
    wheelRest_ -= steps * kWheelNotch;
    if (steps != 0)
        stepBy(steps);
    event->accept();
}

void UpDownWidget::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* reset = menu.addAction(resetText());
    reset->setEnabled(reset_ != value_);
    if (menu.exec(event->globalPos()) == reset)
        resetToStored();
}

QString UpDownWidget::resetText() const
{
    return tr("&Reset to stored value (%1)").arg(countText_ ? countText_(reset_) : QString::number(reset_));
}

void UpDownWidget::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter p(this);
    QStyleOptionFocusRect opt;
    opt.initFrom(this);
    opt.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
}

void UpDownWidget::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void UpDownWidget::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

namespace {
const char* const kRefusedProperty = "dcxEntryRefused";
} // namespace

void MarkEntryRefused(QWidget* window)
{
    // Cleared on the next round of the event loop: the wheel turn or click
    // that moved the focus is still being delivered until then.
    window->setProperty(kRefusedProperty, true);
    QTimer::singleShot(0, window, [window] { window->setProperty(kRefusedProperty, QVariant()); });
}

bool EntryRefusedJustNow(const QWidget* widget)
{
    return widget->window()->property(kRefusedProperty).toBool();
}
