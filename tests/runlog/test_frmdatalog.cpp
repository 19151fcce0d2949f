#include "runlog/frmdatalog.h"
#include "support/config.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class FrmDataLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = Config();
        Config().LogFileName = QStringLiteral("/var/lab/logs/run7.txt");
        Config().LogType = 2;
        Config().LogStart = 125;
        Config().LogEnd = 300;
        Config().LogInterval = 5;
    }
    void TearDown() override { Config() = saved; }

    template <class T = QWidget>
    T* control(frmDataLog& f, const char* name)
    {
        T* w = f.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(frmDataLog& f, const char* name) { return control<QLineEdit>(f, name)->text(); }
    // A bound as its two fields show it, "min:sec"; the stored start and end.
    QString shown(frmDataLog& f, const char* bound)
    {
        return text(f, qPrintable(QStringLiteral("txt%1Min").arg(bound))) + ":" +
               text(f, qPrintable(QStringLiteral("txt%1Sec").arg(bound)));
    }
    static void expectStored(int start, int end)
    {
        EXPECT_EQ(Config().LogStart, start) << "LogStart";
        EXPECT_EQ(Config().LogEnd, end) << "LogEnd";
    }
    void spin(frmDataLog& f, const char* name, int v) { control(f, name)->setProperty("value", v); }
    // Types into a field and leaves it.
    void type(frmDataLog& f, const char* name, const QString& s, Qt::FocusReason reason = Qt::TabFocusReason)
    {
        QLineEdit* e = control<QLineEdit>(f, name);
        e->setText(s);
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(e, &out);
    }

    AppConfig saved;
    ScriptedDialogs dlg;
    ScopedDialogs dlgScope{dlg};
};

} // namespace

TEST_F(FrmDataLogTest, SpinsDragTheOtherBoundAlong)
{
    frmDataLog f;
    spin(f, "spnStartSec", 30); // 2:30
    expectStored(150, 300);

    spin(f, "spnStartMin", 6); // 6:30 passes the end: the end follows
    expectStored(390, 390);
    EXPECT_EQ(shown(f, "End"), QString("6:30")) << "End";

    spin(f, "spnEndMin", 1); // 1:30 below the start: the start moves down
    expectStored(90, 90);
    EXPECT_EQ(shown(f, "Start"), QString("1:30")) << "Start";

    // The arrows of the interval spin control.
    QToolButton* up = control(f, "spnInterval")->findChild<QToolButton*>("up");
    ASSERT_NE(up, nullptr);
    up->click();
    EXPECT_EQ(Config().LogInterval, 6) << "LogInterval";
    EXPECT_EQ(text(f, "txtInterval"), QString("6")) << "txtInterval";
    spin(f, "spnInterval", 99); // spin limit 60
    EXPECT_EQ(Config().LogInterval, 60);
    // Past 546:07 (32767 s, the setting's limit) the fields show what is kept.
    spin(f, "spnStartMin", 1000); // spin limit 999
    expectStored(32767, 32767);
    EXPECT_EQ(shown(f, "Start"), QString("546:7")) << "Start";
    EXPECT_EQ(shown(f, "End"), QString("546:7")) << "End";
    spin(f, "spnStartMin", 1);
    spin(f, "spnEndMin", 547);
    expectStored(60 + 7, 32767);
    EXPECT_EQ(shown(f, "End"), QString("546:7")) << "End";
}

TEST_F(FrmDataLogTest, TypedValuesAreCheckedOnLeavingTheField)
{
    frmDataLog f;
    type(f, "txtStartMin", "501");
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text, QString("Valid values are 0 to 500 minutes.")) << "messages[0].text";
    EXPECT_EQ(dlg.messages[0].buttons, MsgButtons::Ok) << "messages[0].buttons";
    // Back to the spin value.
    EXPECT_EQ(text(f, "txtStartMin"), QString("2")) << "txtStartMin";
    EXPECT_EQ(Config().LogStart, 125) << "LogStart";

    // Another program or a menu taking the focus checks nothing.
    for (Qt::FocusReason away : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::OtherFocusReason}) {
        type(f, "txtStartMin", "501", away);
        EXPECT_EQ(text(f, "txtStartMin"), QString("501")) << "txtStartMin";
    }
    type(f, "txtStartMin", "4", Qt::MouseFocusReason);
    EXPECT_EQ(Config().LogStart, 245);
    type(f, "txtStartMin", "2", Qt::BacktabFocusReason);
    EXPECT_EQ(Config().LogStart, 125);

    type(f, "txtStartMin", " 3xyz");
    EXPECT_EQ(Config().LogStart, 185) << "LogStart";
    EXPECT_EQ(text(f, "txtStartMin"), QString("3")) << "txtStartMin";

    type(f, "txtEndSec", "60");
    EXPECT_EQ(dlg.messages.last().text, "Valid values are 0 to 59 seconds.") << "last.text";
    EXPECT_EQ(text(f, "txtEndSec"), "0") << "txtEndSec";

    type(f, "txtInterval", "61");
    EXPECT_EQ(dlg.messages.last().text, QString("Valid values are 0 to 60 seconds.")) << "last.text";
    EXPECT_EQ(Config().LogInterval, 5) << "LogInterval";
    type(f, "txtInterval", "12.4");
    EXPECT_EQ(Config().LogInterval, 12) << "LogInterval";
    EXPECT_EQ(text(f, "txtInterval"), QString("12")) << "txtInterval";

    type(f, "txtEndMin", "1"); // 1:00 below the start 3:05
    expectStored(60, 60);
    EXPECT_EQ(dlg.messages.size(), 3) << "messages.size";
}
