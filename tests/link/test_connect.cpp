// The connect procedure: USB search and adoption, serial port numbers, TCP connect wait.
#include "link/commframe.h"
#include "link/commnotifier.h"
#include "link/inprocesstransport.h"
#include "link/modcomm.h"
#include "link/modusb.h"
#include "linktestpeer.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/errhandler.h"
#include "support/scripteddialogs.h"

#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>

namespace {

// An instrument that answers "@" with its name and everything else with "A".
class IdentifyingPeer final : public InProcessPeer {
public:
    explicit IdentifyingPeer(QByteArray id) : id_(std::move(id)) {}
    void receiveFromHost(const QByteArray& bytes) override
    {
        for (char c : bytes)
            if (auto cmd = parser_.feed(c)) {
                commands.append(cmd->text);
                emit sendToHost(*BuildReplyFrame('A', cmd->text == "@" ? id_ : QByteArray()));
            }
    }
    QList<QByteArray> commands;

private:
    QByteArray id_;
    CommandFrameParser parser_;
};

// A fixed device list; each device with product id 8292 is an instrument.
class FakeUsbSource final : public UsbDeviceSource {
public:
    void add(const QString& serial, const QString& pid = QStringLiteral("8292"), bool openable = true)
    {
        list.append({serial, pid, QStringLiteral("/dev/ttyUSB%1").arg(list.size())});
        if (openable)
            peers[serial] = std::make_unique<IdentifyingPeer>("DCX-700 " + serial.toLatin1() + "  ");
    }
    QList<UsbDeviceInfo> devices() override { return procedureSeen = ErrHandler().TopProcedure(), list; }
    std::unique_ptr<Transport> open(const UsbDeviceInfo& d) override
    {
        ++opens;
        auto it = peers.find(d.serialNumber);
        return it == peers.end() ? nullptr : std::make_unique<InProcessTransport>(it->second.get());
    }

    QList<UsbDeviceInfo> list;
    std::map<QString, std::unique_ptr<IdentifyingPeer>> peers;
    int opens = 0;
    QString procedureSeen;
};

class LinkConnect : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config() = AppConfig();
        Comm_ResetLink();
        setUsbDeviceSource(&usb);
    }
    void TearDown() override
    {
        Comm_ResetLink();
        setUsbDeviceSource(nullptr);
    }

    FakeClock clock;
    ScopedClock scopedClock{clock};
    ScriptedDialogs dlg;
    ScopedDialogs scopedDialogs{dlg};
    FakeUsbSource usb;
    QSignalSpy captions{&Comm_Notifier(), &CommNotifier::captionChanged};
    QSignalSpy settingsRequests{&Comm_Notifier(), &CommNotifier::showSettingsRequested};
};

} // namespace

TEST_F(LinkConnect, UsbTwoInstrumentsWithoutAChoiceFail)
{
    Config().CommType = 1;
    Config().USBDevice = QString();
    usb.add(QStringLiteral("SN0001"));
    usb.add(QStringLiteral("FTDI77"), QStringLiteral("6001")); // another USB serial device
    usb.add(QStringLiteral("SN0002"));

    EXPECT_FALSE(Comm_Connect());
    EXPECT_EQ(Comm_USBList(), (QStringList{"SN0001", "SN0002"})) << "Comm_USBList";
    EXPECT_EQ(Comm_USBCount(), 2) << "Comm_USBCount";
    EXPECT_EQ(Config().USBDevice, QString()) << "USBDevice";
    EXPECT_EQ(dlg.texts(), QStringList{QStringLiteral("Instrument not found.")});
    EXPECT_EQ(settingsRequests.count(), 1) << "settingsRequests.count";

    // Naming one of them (in any case) connects to that one.
    Config().USBDevice = QStringLiteral("sn0002");
    EXPECT_TRUE(Comm_Connect());
    EXPECT_EQ(Comm_InstrumentID(), QStringLiteral("DCX-700 SN0002  "));
    ASSERT_EQ(captions.count(), 1);
    EXPECT_EQ(captions.last().at(0).toString(), QStringLiteral("DCX700 Comm - [DCX-700 SN0002]"));
    EXPECT_EQ(usb.peers[QStringLiteral("SN0002")]->commands, QList<QByteArray>{"@"});
    EXPECT_TRUE(usb.peers[QStringLiteral("SN0001")]->commands.isEmpty());

    // The opened device carries later transactions.
    Comm_SendCommand(QStringLiteral("V"));
    EXPECT_EQ(Comm_GetStatus(), 0) << "Comm_GetStatus";
    EXPECT_EQ(usb.peers[QStringLiteral("SN0002")]->commands.size(), 2) << "commands sent to SN0002";
}

TEST_F(LinkConnect, UsbSingleInstrumentIsAdopted)
{
    Config().CommType = 1; // USBDevice keeps its default, which names no device
    usb.add(QStringLiteral("SN0042"));

    EXPECT_TRUE(Comm_Connect());
    EXPECT_EQ(Config().USBDevice, QString("SN0042")) << "USBDevice";
    EXPECT_EQ(Comm_GetStatus(), 0) << "Comm_GetStatus";
    ASSERT_EQ(captions.count(), 1);
    EXPECT_EQ(captions.last().at(0).toString(), QStringLiteral("DCX700 Comm - [DCX-700 SN0042]"));
    EXPECT_TRUE(dlg.messages.isEmpty()) << "messages.isEmpty";
    EXPECT_TRUE(settingsRequests.count() == 0) << "settingsRequests.count() == 0";
    // The search is registered with the error handler while it runs.
    EXPECT_EQ(usb.procedureSeen, "Comm_FindDCX700") << "procedureSeen";
    EXPECT_EQ(ErrHandler().TopProcedure(), "") << "TopProcedure";

    // A device that cannot be opened is not listed.
    usb.add(QStringLiteral("SN0043"), QStringLiteral("8292"), false);
    EXPECT_TRUE(Comm_FindDCX700(QStringLiteral("SN0042")));
    EXPECT_EQ(Comm_USBList(), QStringList{QStringLiteral("SN0042")});
}

TEST_F(LinkConnect, UsbListStopsAtEight)
{
    Config().CommType = 1;
    for (int i = 1; i <= 10; ++i)
        usb.add(QStringLiteral("SN%1").arg(i, 2, 10, QLatin1Char('0')));

    Config().USBDevice = QStringLiteral("SN09");
    EXPECT_FALSE(Comm_Connect());
    // The search stops once eight are listed.
    EXPECT_EQ(Comm_USBCount(), 8) << "Comm_USBCount";
    EXPECT_EQ(Comm_USBList().last(), QString("SN08")) << "Comm_USBList.last";
    EXPECT_FALSE(Comm_USBList().contains("SN09")) << "Comm_USBList().contains('SN09')";
    EXPECT_EQ(usb.opens, 8) << "opens";

    Config().USBDevice = QStringLiteral("SN08");
    EXPECT_TRUE(Comm_Connect());

    // No devices at all.
    usb.list.clear();
    EXPECT_FALSE(Comm_FindDCX700(QStringLiteral("SN08")));
    EXPECT_EQ(Comm_USBCount(), 0);
}

TEST_F(LinkConnect, SerialPortNumbersOutsideOneToNine)
{
    Config().CommType = 0;
    Config().RS232Port = 0;
    EXPECT_TRUE(Comm_OpenRS232(0));
    EXPECT_TRUE(Comm_OpenRS232(10));
    EXPECT_FALSE(Comm_SerialPortOpen()) << "Comm_SerialPortOpen";
    EXPECT_EQ(Comm_SerialPortNumber(), 0) << "Comm_SerialPortNumber";
    EXPECT_EQ(Comm_SerialDevicePath(1), "/dev/ttyS0") << "Comm_SerialDevicePath(1)";
    EXPECT_EQ(Comm_SerialDevicePath(9), "/dev/ttyS8") << "Comm_SerialDevicePath(9)";

    // No port open and none configured: offline.
    EXPECT_FALSE(Comm_Connect());

    // A device that does not exist cannot be opened.
    Config().RS232Device = QStringLiteral("/nonexistent/tty-dcx");
    EXPECT_EQ(Comm_SerialDevicePath(3), QStringLiteral("/nonexistent/tty-dcx"));
    EXPECT_FALSE(Comm_OpenRS232(3));
    EXPECT_EQ(Comm_SerialPortNumber(), 3) << "Comm_SerialPortNumber";
    EXPECT_FALSE(Comm_SerialPortOpen()) << "Comm_SerialPortOpen";
}

TEST_F(LinkConnect, IdentifyFailureAndBusyGuard)
{
    // An open transport whose instrument refuses "@": offline caption and message.
    ScriptedPeer peer;
    peer.reply = Bytes({0x21, 0x24, 0x43, 0x34, 0x2C}); // "C"
    Comm_UseInProcessPeer(&peer);
    EXPECT_FALSE(Comm_Connect());
    ASSERT_EQ(captions.count(), 1);
    EXPECT_EQ(captions.last().at(0).toString(), QStringLiteral("DCX700 Comm - [Off Line]"));
    EXPECT_EQ(Comm_GetStatus(), 4) << "Comm_GetStatus";

    // A connect started inside a connect returns false at once; the send made
    // by the connect runs with status 10 set, not 9.
    bool nested = true;
    LinkStatus statusSeenByPeer = -1;
    peer.handler = [&](ScriptedPeer& p, const QByteArray&) {
        statusSeenByPeer = Comm_GetStatus();
        nested = Comm_Connect();
        p.send(*BuildReplyFrame('A', "DCX-700"));
    };
    EXPECT_TRUE(Comm_Connect());
    // The send itself sets 9 before writing.
    EXPECT_FALSE(nested) << "nested";
    EXPECT_EQ(statusSeenByPeer, 9) << "statusSeenByPeer";
    EXPECT_EQ(peer.received.size(), 2) << "received.size";
    EXPECT_EQ(captions.last().at(0).toString(), QStringLiteral("DCX700 Comm - [DCX-700]"));
}

TEST_F(LinkConnect, TcpConnectThatNeverCompletesFailsAfterOneSecond)
{
    // A loopback listener whose accept queue is full: further connection
    // attempts get no answer at all, as with an address nobody answers.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    int fillers[2];
    for (int& f : fillers) {
        f = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(f, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }

    Config().CommType = 2;
    Config().EAddress = QString("127.0.0.1");
    Config().EPort = QString::number(ntohs(addr.sin_port));
    bool waitedPastOneSecond = false;
    QTimer::singleShot(0, [&] {
        clock.advanceMs(1000); // exactly 1.0 s: still waiting
        QTimer::singleShot(0, [&] {
            waitedPastOneSecond = true;
            clock.advanceMs(1);
        });
    });
    const qint64 start = clock.monotonicMs();
    EXPECT_FALSE(Comm_Connect());
    EXPECT_TRUE(waitedPastOneSecond) << "waitedPastOneSecond";
    EXPECT_EQ(clock.monotonicMs() - start, 1001) << "time waited";

    // A port text without a leading number connects to nothing.
    Config().EPort = QStringLiteral("x21");
    EXPECT_FALSE(Comm_Connect());

    for (int f : fillers)
        ::close(f);
    ::close(listener);
}
