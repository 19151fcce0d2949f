#ifndef DCX_TESTS_EDITORS_EDITORTESTKIT_H
#define DCX_TESTS_EDITORS_EDITORTESTKIT_H

// Finding and driving editor controls by object name.
#include "editors/updownwidget.h"
#include "store/model.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <functional>

template <typename T = QWidget>
T* Find(QWidget* form, const char* name)
{
    T* w = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

inline UpDownWidget* Spin(QWidget* form, const char* name)
{
    return Find<UpDownWidget>(form, name);
}
inline QString Text(QWidget* form, const char* name)
{
    const QLineEdit* e = Find<QLineEdit>(form, name);
    return e ? e->text() : QString();
}

// The texts of several line edits, in the order named.
inline QStringList Texts(QWidget* form, std::initializer_list<const char*> names)
{
    QStringList out;
    for (const char* n : names)
        out << Text(form, n);
    return out;
}
inline void Click(QWidget* form, const char* name)
{
    QTest::mouseClick(Find<QWidget>(form, name), Qt::LeftButton);
}

// Turns the mouse wheel over a spinner by notches.
inline void Wheel(QWidget* w, int notches)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), {}, {0, 120 * notches}, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

// Runs act on the modal window once the event loop of its exec() runs.
inline void WhenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, qApp, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

// Each test starts from a freshly reset model, under a German default
// locale: numbers must still show and store with ".".
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Model() = ParameterModel();
        Working() = WorkingGlobals();
        QLocale::setDefault(QLocale(QLocale::German));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

#endif
