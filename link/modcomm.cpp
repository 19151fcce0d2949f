#include "link/modcomm.h"

#include "link/commframe.h"
#include "link/commnotifier.h"
#include "link/inprocesstransport.h"
#include "link/linklogging.h"
#include "link/linkwait.h"
#include "link/modusb.h"
#include "link/serialtransport.h"
#include "link/tcptransport.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/errhandler.h"
#include "support/numbers.h"
#include "support/waitguard.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

constexpr int kMaxUsbDevices = 8;

// The link's own state: one per program, on the user-interface thread.
struct LinkState {
    LinkStatus status = linkstatus::Ok;
    bool online = false;
    bool connecting = false;
    QString instrumentId;
    QString replyData;
    QString pendingCommand;
    QByteArray lastFrame;
    RxMachine rx;
    quint64 accepted = 0;

    int serialPortNumber = 0;
    std::unique_ptr<SerialTransport> serial;
    std::unique_ptr<TcpTransport> tcp;
    std::unique_ptr<Transport> usb;
    int usbIndex = -1;
    QStringList usbList;
    std::unique_ptr<Transport> override;
    bool adoptLoneUsb = true;

    void closeAll()
    {
        serial.reset();
        tcp.reset();
        usb.reset();
        override.reset();
    }
};

void releaseTransports();

LinkState& link()
{
    static LinkState s;
    static const bool hooked = [] {
        // QObjects must go before the application object does.
        qAddPostRoutine(releaseTransports);
        return true;
    }();
    Q_UNUSED(hooked);
    return s;
}

void releaseTransports()
{
    link().closeAll();
}

// Trims blanks only, as the instrument pads with blanks.
QString trimBlanks(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// The transport a send writes to: the override, else the one of CommType.
Transport* activeTransport()
{
    LinkState& s = link();
    if (s.override)
        return s.override.get();
    switch (Config().CommType) {
    case 0:
        return s.serial.get();
    case 1:
        return s.usb.get();
    case 2:
        return s.tcp.get();
    default:
        return nullptr;
    }
}

QString getReply(Transport* transport)
{
    LinkState& s = link();
    QPointer<Transport> t(transport);
    LinkWait wait(kReplyTimeoutMs);
    if (t)
        wait.wakeOn(t.data(), &Transport::readyRead);
    // Healing: a TCP connection the instrument has closed brings no reply, so
    // the transaction ends now rather than holding the window for the timeout.
    const QPointer<TcpTransport> tcp(Config().AutoReconnect >= 1 ? qobject_cast<TcpTransport*>(transport)
                                                                 : nullptr);
    if (tcp)
        wait.wakeOn(tcp.data(), &TcpTransport::stateChanged);
    for (;;) {
        if (s.status != linkstatus::Busy)
            return s.status == linkstatus::Ok ? trimBlanks(s.replyData) : QString();
        if (wait.expired()) {
            s.status = linkstatus::Timeout;
            qCDebug(lcLink) << "timeout after" << wait.elapsedMs() << "ms";
            continue;
        }
        if (t) {
            const QByteArray in = t->readAvailable();
            if (!in.isEmpty())
                qCDebug(lcLink) << "rx" << in.toHex(' ');
            // Bytes after the end of the reply belong to no frame: dropped.
            for (qsizetype i = 0; i < in.size() && s.status == linkstatus::Busy; ++i)
                Comm_RxByte(in.at(i));
            if (s.status != linkstatus::Busy)
                continue;
        }
        if (tcp && !tcp->isOpen()) {
            s.status = linkstatus::Timeout;
            qCDebug(lcLink) << "connection closed after" << wait.elapsedMs() << "ms";
            continue;
        }
        wait.block();
    }
}

bool connectTcp()
{
    LinkState& s = link();
    if (!s.tcp)
        s.tcp = std::make_unique<TcpTransport>();
    const QPointer<TcpTransport> tcp(s.tcp.get());
    // The port is the leading number of the text ("2101x" -> 2101), as the
    // configuration has always been read.
    const double port = RoundHalfEven(LeadingNumber(Config().EPort));
    if (!(port >= 1 && port <= 65535)) {
        qCDebug(lcLink) << "tcp: bad port" << Config().EPort;
        tcp->close();
        return false;
    }
    tcp->connectToHost(Config().EAddress.trimmed(), static_cast<quint16>(port));
    LinkWait wait(kConnectWaitMs);
    wait.wakeOn(tcp.data(), &TcpTransport::stateChanged);
    while (tcp && tcp->connecting() && !wait.expired())
        wait.block();
    if (!tcp)
        return false;
    if (!tcp->isOpen()) {
        tcp->close();
        return false;
    }
    return true;
}

bool openUsb(int index)
{
    LinkState& s = link();
    s.usb = USB_Open(index);
    return s.usb && s.usb->isOpen();
}

bool connectUsb()
{
    LinkState& s = link();
    if (Comm_FindDCX700(Config().USBDevice))
        return openUsb(s.usbIndex);
    if (s.usbList.size() == 1 && s.adoptLoneUsb) {
        // The only instrument attached is adopted.
        Config().USBDevice = s.usbList.first();
        if (Comm_FindDCX700(Config().USBDevice))
            return openUsb(s.usbIndex);
    }
    return false;
}

} // namespace

QString Comm_SendCommand(const QString& command)
{
    LinkState& s = link();
    if (s.status == linkstatus::Busy)
        return QString();
    const WaitScope waiting;
    s.status = linkstatus::Busy;

    const auto frame = BuildCommandFrame(command.toLatin1(), Config().CheckSumOn >= 1);
    if (!frame) {
        // The length character cannot carry it.
        s.status = linkstatus::BadData;
        s.pendingCommand.clear();
        return QString();
    }
    s.lastFrame = *frame;
    s.rx.reset();
    Transport* t = activeTransport();
    qCDebug(lcLink) << "tx" << frame->toHex(' ');
    if (t && !t->write(*frame))
        qCDebug(lcLink) << "write failed; the transaction will time out";
    const QString reply = getReply(t);
    s.pendingCommand.clear();
    return reply;
}

LinkStatus Comm_GetStatus()
{
    return link().status;
}

void Comm_SetStatus(LinkStatus code)
{
    link().status = code;
}

QString Comm_ErrorText(LinkStatus code)
{
    switch (code) {
    case 0:
        return QString();
    case 1:
        return QStringLiteral("Timeout");
    case 2:
        return QStringLiteral("No Data");
    case 3:
        return QStringLiteral("Not Ready");
    case 4:
        return QStringLiteral("Bad Command");
    case 5:
        return QStringLiteral("Bad Data");
    case 6:
        return QStringLiteral("Bad Mode");
    case 7:
        return QStringLiteral("Checksum Error");
    case 8:
        return QStringLiteral("Port Not Ready");
    case 9:
        return QStringLiteral("Instrument Busy");
    default:
        return QStringLiteral("Unknown Error");
    }
}

bool Comm_Online()
{
    return link().online;
}

QString Comm_InstrumentID()
{
    return link().instrumentId;
}

QByteArray Comm_LastFrame()
{
    return link().lastFrame;
}

void Comm_RxByte(char byte)
{
    LinkState& s = link();
    const auto frame = s.rx.feed(byte);
    if (!frame)
        return;
    if (!frame->checksumOk) {
        s.status = linkstatus::ChecksumError;
        return;
    }
    s.online = true;
    s.status = StatusForReplyChar(frame->status);
    if (s.status != linkstatus::Ok)
        return;
    ++s.accepted;
    s.replyData = QString::fromLatin1(frame->data);
    if (s.lastFrame.size() > 2 && s.lastFrame.at(2) == '@')
        s.instrumentId = s.replyData;
}

namespace {

bool connectLink(bool quiet)
{
    LinkState& s = link();
    if (s.connecting)
        return false;
    // Covers the message box at the end too: the caller's window must
    // survive until this returns.
    const WaitScope waiting;
    s.connecting = true;
    s.status = linkstatus::Busy;

    bool connected = false;
    if (s.override) {
        connected = s.override->isOpen();
    } else {
        switch (Config().CommType) {
        case 0: {
            // Until the settings window picks a port, the configured one is opened.
            const int port = s.serialPortNumber != 0 ? s.serialPortNumber : Config().RS232Port;
            Comm_OpenRS232(port);
            connected = Comm_SerialPortOpen();
            break;
        }
        case 1:
            connected = connectUsb();
            break;
        case 2:
            connected = connectTcp();
            break;
        default:
            break;
        }
    }

    s.status = linkstatus::Unknown;
    CommNotifier& notifier = Comm_Notifier();
    if (connected) {
        Comm_SendCommand(QStringLiteral("@"));
        if (s.status != linkstatus::Ok) {
            if (!quiet)
                emit notifier.captionChanged(QStringLiteral("DCX700 Comm - [Off Line]"));
            s.online = false;
        } else {
            emit notifier.captionChanged(QStringLiteral("DCX700 Comm - [") + trimBlanks(s.instrumentId) +
                                         QStringLiteral("]"));
            s.online = true;
        }
    } else {
        s.online = false;
    }
    if (!s.online && !quiet) {
        emit notifier.showSettingsRequested();
        dialogs().message(QStringLiteral("Instrument not found."));
    }
    s.pendingCommand.clear();
    s.connecting = false;
    return s.online;
}

} // namespace

bool Comm_Connect()
{
    return connectLink(false);
}

bool Comm_Reconnect()
{
    return connectLink(true);
}

QString Comm_SerialDevicePath(int port)
{
    const QString device = Config().RS232Device.trimmed();
    if (!device.isEmpty())
        return device;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

bool Comm_OpenRS232(int port)
{
    if (port < 1 || port > 9)
        return true;
    LinkState& s = link();
    Comm_CloseRS232();
    s.serialPortNumber = port;
    if (!s.serial)
        s.serial = std::make_unique<SerialTransport>();
    SerialTransport::Settings settings;
    settings.baud = 19200;
    return s.serial->open(Comm_SerialDevicePath(port), settings);
}

bool Comm_CloseRS232()
{
    LinkState& s = link();
    if (s.serial)
        s.serial->close();
    return true;
}

int Comm_SerialPortNumber()
{
    return link().serialPortNumber;
}

bool Comm_SerialPortOpen()
{
    const LinkState& s = link();
    return s.serial && s.serial->isOpen();
}

bool Comm_FindDCX700(const QString& serialNumber)
{
    const ProcedureScope scope(QStringLiteral("Comm_FindDCX700"));
    LinkState& s = link();
    s.usb.reset();
    s.usbList.clear();
    s.usbIndex = -1;

    const int n = USB_GetNumDevices();
    if (n < 1)
        return false;
    const QString wanted = serialNumber.toUpper();
    bool found = false;
    for (int i = 0; i < n && s.usbList.size() < kMaxUsbDevices; ++i) {
        if (USB_GetPID(i).toUpper() != QLatin1String(kDcx700ProductId))
            continue;
        auto probe = USB_Open(i);
        if (!probe)
            continue;
        const QString serial = USB_GetSerial(i);
        s.usbList.append(serial);
        if (serial.toUpper() == wanted) {
            s.usbIndex = i;
            found = true;
        }
        probe->close();
    }
    qCDebug(lcLink) << "usb: found" << s.usbList << "wanted" << serialNumber << found;
    return found;
}

QStringList Comm_USBList()
{
    return link().usbList;
}

int Comm_USBCount()
{
    return static_cast<int>(link().usbList.size());
}

void Comm_CloseTransports()
{
    LinkState& s = link();
    if (s.serial)
        s.serial->close();
    if (s.tcp)
        s.tcp->close();
    s.usb.reset();
}

CommNotifier& Comm_Notifier()
{
    static CommNotifier n;
    return n;
}

void Comm_UseInProcessPeer(InProcessPeer* peer)
{
    Comm_SetTransportOverride(peer ? std::make_unique<InProcessTransport>(peer) : nullptr);
}

void Comm_SetTransportOverride(std::unique_ptr<Transport> transport)
{
    link().override = std::move(transport);
}

void Comm_ResetLink()
{
    LinkState& s = link();
    s.closeAll();
    s.status = linkstatus::Ok;
    s.online = false;
    s.connecting = false;
    s.instrumentId.clear();
    s.replyData.clear();
    s.pendingCommand.clear();
    s.lastFrame.clear();
    s.rx.reset();
    s.serialPortNumber = 0;
    s.usbIndex = -1;
    s.usbList.clear();
    s.adoptLoneUsb = true;
}

void Comm_SetAdoptLoneUsb(bool adopt)
{
    link().adoptLoneUsb = adopt;
}

quint64 Comm_AcceptedCount()
{
    return link().accepted;
}
