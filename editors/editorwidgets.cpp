#include "editors/editorwidgets.h"

#include "editors/updownwidget.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

UpDownWidget* MakeSpinner(QWidget* parent, const QString& name, int lo, int hi, const QString& tip,
                          std::function<QString(int)> countText)
{
    auto* s = new UpDownWidget(parent);
    s->setCountText(std::move(countText));
    s->setObjectName(name);
    s->setRange(lo, hi);
    if (!tip.isEmpty())
        s->setToolTip(tip);
    s->setAccessibleName(name);
    return s;
}

namespace {
QLineEdit* box(QWidget* parent, const QString& name, int chars)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    const QFontMetrics fm(e->font());
    e->setFixedWidth(fm.horizontalAdvance(QString(chars, QLatin1Char('0'))) + 14);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return e;
}
} // namespace

QLineEdit* MakeDisplay(QWidget* parent, const QString& name, int chars)
{
    QLineEdit* e = box(parent, name, chars);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

QLineEdit* MakeEntry(QWidget* parent, const QString& name, int chars)
{
    return box(parent, name, chars);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

QString Indexed(const char* name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}
