#include "runlog/frmdatalogspin.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

LogSpinButtons::LogSpinButtons(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(16, 11);
    }
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(up_);
    lay->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, &LogSpinButtons::stepUp);
    connect(down_, &QToolButton::clicked, this, &LogSpinButtons::stepDown);
}

void LogSpinButtons::setRange(int minimum, int maximum)
{
    min_ = minimum;
    max_ = std::max(minimum, maximum);
    setValue(value_);
}

void LogSpinButtons::setValue(int v)
{
    v = std::clamp(v, min_, max_);
    if (v == value_)
        return;
    value_ = v;
    emit valueChanged(v);
}
