// The editors' up-down spinner: range, keys, wheel and the reset entry.
#include "editors/updownwidget.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

void wheel(UpDownWidget& w, int angle)
{
    const QPointF at(w.width() / 2.0, w.height() / 2.0);
    QWheelEvent e(at, w.mapToGlobal(at), {}, {0, angle}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(&w, &e);
}

TEST(UpDownWidget, KeysWheelRangeAndReset)
{
    UpDownWidget w;
    w.setRange(10, 399);
    w.show();
    EXPECT_EQ(w.value(), 10); // a range above the initial 0 pulls it in
    QSignalSpy changed(&w, &UpDownWidget::valueChanged);
    struct Step {
        int key;
        int want;
    };
    for (const Step s : {Step{Qt::Key_Down, 10}, {Qt::Key_End, 399}, {Qt::Key_Up, 399}}) {
        QTest::keyClick(&w, Qt::Key(s.key));
        EXPECT_EQ(w.value(), s.want) << s.key;
    }
    EXPECT_EQ(changed.count(), 1); // no signal when a key leaves the value where it was
    wheel(w, -60);                 // half a notch: nothing yet
    EXPECT_EQ(w.value(), 399) << "half a notch";
    wheel(w, -60);
    EXPECT_EQ(w.value(), 398) << "two halves";

    w.setResetValue(150);
    w.setValue(1000);
    EXPECT_EQ(w.value(), 399);
    w.resetToStored();
    EXPECT_EQ(w.value(), 150);
}

} // namespace
