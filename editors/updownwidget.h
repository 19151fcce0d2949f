#ifndef DCX_EDITORS_UPDOWNWIDGET_H
#define DCX_EDITORS_UPDOWNWIDGET_H

#include <QWidget>

#include <functional>

class QToolButton;

// A small up-down spinner with no text of its own: the editors show its value
// in a box beside it. Up/Down arrow keys step by one step, PageUp/PageDown by
// ten, Home/End go to the limits, the mouse wheel steps per notch; the arrows
// repeat while held. The right-click menu sets the value back to what the
// record held when the window loaded it.
class UpDownWidget : public QWidget {
    Q_OBJECT
public:
    explicit UpDownWidget(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    void setSingleStep(int step);
    int singleStep() const { return step_; }

    int value() const { return value_; }
    // Clamps into the range; valueChanged only when the value changes.
    void setValue(int value);
    // Moves by steps x singleStep.
    void stepBy(int steps);

    // The value the reset menu entry returns to.
    void setResetValue(int value) { reset_ = value; }
    int resetValue() const { return reset_; }
    void resetToStored() { setValue(reset_); }
    // How a count reads in its field's units and format (270 -> "2.70 g/cm³"),
    // for the reset menu entry; plain counts by default.
    void setCountText(std::function<QString(int)> text) { countText_ = std::move(text); }
    QString resetText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Takes the focus for a wheel turn; false when the control the focus
    // left refused to let it go (a range check), so the turn is dropped.
    bool takeFocus();

    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int min_ = 0;
    int max_ = 99;
    int step_ = 1;
    int value_ = 0;
    int reset_ = 0;
    std::function<QString(int)> countText_;
    int wheelRest_ = 0; // wheel angle not yet turned into a step (high-resolution wheels)
};

// Up/Down and PageUp/PageDown pressed in box step spin, as in a spin box, so
// a typed value's box and its spinner work from the one keyboard focus.
void AttachStepKeys(QWidget* box, UpDownWidget* spin);

// A box of the window refused what was typed and kept the focus: the wheel
// turn or arrow click that tried to take the focus from it is dropped, even
// where the window system hands the focus back only after the message.
void MarkEntryRefused(QWidget* window);
bool EntryRefusedJustNow(const QWidget* widget);

#endif
