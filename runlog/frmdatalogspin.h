#ifndef DCX_RUNLOG_FRMDATALOGSPIN_H
#define DCX_RUNLOG_FRMDATALOGSPIN_H

#include <QWidget>

class QToolButton;

// A pair of up/down arrow buttons holding an integer value in a range, paired
// with a separate text field by its window (the field shows the value; the
// value changes only through the arrows or setValue).
class LogSpinButtons : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
public:
    explicit LogSpinButtons(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    int value() const { return value_; }

    // Clamped to the range; valueChanged only when the value moves.
    void setValue(int v);
    void stepUp() { setValue(value_ + 1); }
    void stepDown() { setValue(value_ - 1); }

signals:
    void valueChanged(int value);

private:
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
};

#endif
