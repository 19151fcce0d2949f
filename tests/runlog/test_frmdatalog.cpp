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
        std::tie(Config().LogType, Config().LogStart, Config().LogEnd, Config().LogInterval) =
            std::tuple(2, 125, 300, 5);
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
    static std::tuple<int, int> stored() { return {Config().LogStart, Config().LogEnd}; }
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
    EXPECT_EQ(stored(), std::tuple(150, 300));

    spin(f, "spnStartMin", 6); // 6:30 passes the end: the end follows
    EXPECT_EQ(std::tuple(stored(), shown(f, "End")), std::tuple(std::tuple(390, 390), QString("6:30")));

    spin(f, "spnEndMin", 1); // 1:30 below the start: the start moves down
    EXPECT_EQ(std::tuple(stored(), shown(f, "Start")), std::tuple(std::tuple(90, 90), QString("1:30")));

    // The arrows of the interval spin control.
    QToolButton* up = control(f, "spnInterval")->findChild<QToolButton*>("up");
    ASSERT_NE(up, nullptr);
    up->click();
    EXPECT_EQ(std::tuple(Config().LogInterval, text(f, "txtInterval")), std::tuple(6, QString("6")));
    spin(f, "spnInterval", 99); // spin limit 60
    EXPECT_EQ(Config().LogInterval, 60);
    // Past 546:07 (32767 s, the setting's limit) the fields show what is kept.
    spin(f, "spnStartMin", 1000); // spin limit 999
    EXPECT_EQ(std::tuple(stored(), shown(f, "Start"), shown(f, "End")),
              std::tuple(std::tuple(32767, 32767), QString("546:7"), QString("546:7")));
    spin(f, "spnStartMin", 1);
    spin(f, "spnEndMin", 547);
    EXPECT_EQ(std::tuple(stored(), shown(f, "End")), std::tuple(std::tuple(60 + 7, 32767), QString("546:7")));
}

TEST_F(FrmDataLogTest, TypedValuesAreCheckedOnLeavingTheField)
{
    frmDataLog f;
    type(f, "txtStartMin", "501");
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(std::tuple(dlg.messages[0].text, dlg.messages[0].buttons),
              std::tuple(QString("Valid values are 0 to 500 minutes."), MsgButtons::Ok));
    // Back to the spin value.
    EXPECT_EQ(std::tuple(text(f, "txtStartMin"), Config().LogStart), std::tuple(QString("2"), 125));

    // Another program or a menu taking the focus checks nothing.
    for (Qt::FocusReason away : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::OtherFocusReason}) {
        type(f, "txtStartMin", "501", away);
        EXPECT_EQ(std::tuple(dlg.messages.size(), text(f, "txtStartMin")), std::tuple(1, QString("501")));
    }
    type(f, "txtStartMin", "4", Qt::MouseFocusReason);
    EXPECT_EQ(Config().LogStart, 245);
    type(f, "txtStartMin", "2", Qt::BacktabFocusReason);
    EXPECT_EQ(Config().LogStart, 125);

    type(f, "txtStartMin", " 3xyz");
    EXPECT_EQ(std::tuple(Config().LogStart, text(f, "txtStartMin")), std::tuple(185, QString("3")));

    type(f, "txtEndSec", "60");
    EXPECT_EQ((QStringList{dlg.messages.last().text, text(f, "txtEndSec")}),
              (QStringList{"Valid values are 0 to 59 seconds.", "0"}));

    type(f, "txtInterval", "61");
    EXPECT_EQ(std::tuple(dlg.messages.last().text, Config().LogInterval),
              std::tuple(QString("Valid values are 0 to 60 seconds."), 5));
    type(f, "txtInterval", "12.4");
    EXPECT_EQ(std::tuple(Config().LogInterval, text(f, "txtInterval")), std::tuple(12, QString("12")));

    type(f, "txtEndMin", "1"); // 1:00 below the start 3:05
    EXPECT_EQ(std::tuple(stored(), dlg.messages.size()), std::tuple(std::tuple(60, 60), 3));
}
