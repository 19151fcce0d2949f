// The communications settings window, driven by control names: the settings
// it shows, Send, Find and Close with the main window's updates, and a close
// from inside a reply wait.
#include "link/commframe.h"
#include "link/commnotifier.h"
#include "link/commsettingslogic.h"
#include "link/frmcomm.h"
#include "link/inprocesspeer.h"
#include "link/modcomm.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/scripteddialogs.h"
#include "support/waitguard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// The instrument's end: answers "@" and "K1", refuses "X", records all.
class TestInstrument final : public InProcessPeer {
public:
    void receiveFromHost(const QByteArray& bytes) override
    {
        for (char b : bytes)
            if (const auto cmd = parser.feed(b))
                handle(QString::fromLatin1(cmd->text));
    }
    void handle(const QString& text)
    {
        commands << text;
        if (onCommand)
            onCommand(text);
        if (silent) {
            QTimer::singleShot(0, clock, [c = clock] { c->advanceMs(1001); });
            return;
        }
        if (text == QLatin1String("@"))
            emit sendToHost(*BuildReplyFrame('A', "DCX-700 V2.05  "));
        else if (text == QLatin1String("K1"))
            emit sendToHost(*BuildReplyFrame('A', "0 1.0 0.0 0.123 45.6"));
        else
            emit sendToHost(*BuildReplyFrame('C', QByteArray()));
    }
    CommandFrameParser parser;
    QStringList commands;
    bool silent = false;
    FakeClock* clock = nullptr;
    std::function<void(const QString&)> onCommand;
};

class RecordingHost final : public CommSettingsHost {
public:
    void stopUpdates() override { calls << "stop"; }
    void resumeUpdates() override { calls << "resume"; }
    void reloadProcesses() override { calls << "reload"; }
    QStringList calls;
};

class CommWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
        // No real serial device is touched: every port names a missing file.
        ASSERT_TRUE(dir.isValid());
        Config().RS232Device = dir.filePath(QStringLiteral("no-such-tty"));
        inst.clock = &clock;
        Comm_UseInProcessPeer(&inst);
        setCommSettingsHost(&host);
    }
    void TearDown() override
    {
        setCommSettingsHost(nullptr);
        Comm_ResetLink();
        Config() = AppConfig{};
    }
    template <class T>
    static T* child(const QWidget& w, const char* name)
    {
        T* c = w.findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    QTemporaryDir dir;
    FakeClock clock;
    ScopedClock useClock{clock};
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs{dialogs};
    TestInstrument inst;
    RecordingHost host;
};

TEST_F(CommWindow, OpeningShowsTheSettingsAndStopsTheMainWindowsUpdates)
{
    Config().RS232Device.clear();
    Config().RS232Port = 3;
    Config().EPort = QString("2102");
    Config().EAddress = QString("127.0.0.1");
    Config().CheckSumOn = 1;
    Config().CommType = 2;
    frmComm w;
    auto* rs232 = child<QComboBox>(w, "cboRS232");
    ASSERT_EQ(rs232->count(), 9);
    EXPECT_EQ(rs232->itemText(0), QString("COM1 (/dev/ttyS0)")) << "itemText(0)";
    EXPECT_EQ(rs232->itemText(8), QString("COM9 (/dev/ttyS8)")) << "itemText(8)";
    EXPECT_EQ(rs232->currentIndex(), 2) << "currentIndex";
    EXPECT_EQ(child<QLineEdit>(w, "txtEport")->text(), "2102") << "txtEport";
    EXPECT_EQ(child<QLineEdit>(w, "txtEAddr")->text(), "127.0.0.1") << "txtEAddr";
    EXPECT_TRUE(child<QCheckBox>(w, "chkSum")->isChecked()) << "child<QCheckBox>(w, 'chkSum')->isChecked()";
    EXPECT_TRUE(child<QRadioButton>(w, "optComm_2")->isChecked())
        << "child<QRadioButton>(w, 'optComm_2')->isChecked()";
    EXPECT_EQ(host.calls, QStringList{"stop"});
    // Filling the window changed nothing.
    EXPECT_EQ(Config().RS232Port, 3) << "RS232Port";
    EXPECT_EQ(Config().CheckSumOn, 1) << "CheckSumOn";
    EXPECT_EQ(Comm_SerialPortNumber(), 0) << "Comm_SerialPortNumber";
}

TEST_F(CommWindow, SendShowsTheReplyOrTheStatusText)
{
    frmComm w;
    const auto send = [&w](const QString& text) {
        child<QLineEdit>(w, "txtSend")->setText(text);
        child<QPushButton>(w, "cmdSend")->click();
        return child<QLineEdit>(w, "txtRcv")->text();
    };
    EXPECT_EQ(send("K1"), QStringLiteral("0 1.0 0.0 0.123 45.6"));
    EXPECT_EQ(send("X 1,2"), QStringLiteral("Bad Command"));
    inst.silent = true;
    EXPECT_EQ(send("K1"), QStringLiteral("Timeout"));
    EXPECT_TRUE(child<QPushButton>(w, "cmdSend")->isEnabled());
    EXPECT_EQ(inst.commands, (QStringList{"K1", "X 1,2", "K1"}));
    EXPECT_EQ(dialogs.busyDepth, 0);
}

TEST_F(CommWindow, FindConnectsOnceReloadsTheProcessesAndCloseResumesUpdates)
{
    frmComm w;
    w.show();
    host.calls.clear();
    int nested = 0;
    inst.onCommand = [&](const QString& text) {
        // A second click while the first search waits for its answer.
        if (text == QLatin1String("@") && nested++ == 0)
            child<QPushButton>(w, "cmdFind")->click();
    };
    child<QPushButton>(w, "cmdFind")->click();
    EXPECT_EQ(child<QLineEdit>(w, "txtSend")->text(), "@") << "txtSend";
    EXPECT_EQ(inst.commands, QStringList{"@"}) << "commands";
    EXPECT_TRUE(Comm_Online()) << "Comm_Online";

    // Nobody answers: the connect's own message, the reply box kept.
    QSignalSpy settings(&Comm_Notifier(), &CommNotifier::showSettingsRequested);
    inst.onCommand = nullptr;
    inst.silent = true;
    child<QPushButton>(w, "cmdFind")->click();
    EXPECT_EQ(dialogs.texts(), QStringList{"Instrument not found."});
    EXPECT_EQ(settings.count(), 1) << "settings.count";
    EXPECT_EQ(child<QLineEdit>(w, "txtRcv")->text(), QString("DCX-700 V2.05  ")) << "txtRcv";

    child<QPushButton>(w, "cmdOK")->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(host.calls, (QStringList{"reload", "resume"}));
}

// The window is closed from inside the reply wait of Send and of Find, by
// code and by its Close button, while nobody answers. It must live until the
// handler has returned (run under AddressSanitizer, a freed window shows),
// and go once the wait is over.
TEST_F(CommWindow, ClosingFromInsideAWaitTakesEffectAfterIt)
{
    struct Case {
        const char* button;
        bool byCode;
    };
    const Case cases[] = {{"cmdSend", true}, {"cmdSend", false}, {"cmdFind", true}, {"cmdFind", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(QLatin1String(c.button)).arg(c.byCode).toStdString());
        QPointer<frmComm> w = new frmComm;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        host.calls.clear();
        inst.silent = true;
        bool closedInWait = false;
        inst.onCommand = [&](const QString&) {
            QTimer::singleShot(0, [&] {
                ASSERT_TRUE(WaitActive());
                if (c.byCode)
                    w->close();
                else
                    child<QPushButton>(*w, "cmdOK")->click();
                closedInWait = true;
                // Whatever else runs inside the wait (a message box's own
                // loop) may carry out pending deletions.
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            });
        };
        child<QLineEdit>(*w, "txtSend")->setText(QStringLiteral("K1"));
        // Clicked from the program's event loop, as the operator's click is.
        QEventLoop program;
        QTimer::singleShot(0, &program, [&] {
            child<QPushButton>(*w, c.button)->click();
            program.quit();
        });
        program.exec();
        EXPECT_TRUE(closedInWait);
        ASSERT_FALSE(w.isNull());
        if (QLatin1String(c.button) == QLatin1String("cmdSend")) {
            EXPECT_EQ(child<QLineEdit>(*w, "txtRcv")->text(), QStringLiteral("Timeout"));
        }
        // Nothing of the close ran inside the wait.
        EXPECT_EQ(host.calls, QStringList{});
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(w.isNull());
        EXPECT_EQ(host.calls, QStringList{QStringLiteral("resume")});
        delete w.data();
        inst.onCommand = nullptr;
    }
}

} // namespace
