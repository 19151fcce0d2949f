#include "link/commsettingslogic.h"

#include "link/linklogging.h"
#include "link/modcomm.h"
#include "support/config.h"

#include <QScopedValueRollback>

#include <array>

namespace {

CommSettingsHost*& hostSlot()
{
    static CommSettingsHost* host = nullptr;
    return host;
}

constexpr int kPorts = 9;
constexpr int kMaxUsbEntries = 8;

} // namespace

CommSettingsHost::~CommSettingsHost() = default;

CommSettingsHost* commSettingsHost()
{
    return hostSlot();
}
void setCommSettingsHost(CommSettingsHost* host)
{
    hostSlot() = host;
}

CommControlsShown ControlsForCommType(int commType)
{
    static constexpr std::array<CommControlsShown, 3> kTable{{
        {true, false, false}, // RS-232
        {false, true, false}, // USB
        {false, false, true}, // Ethernet
    }};
    if (commType < 0 || commType >= int(kTable.size()))
        return {};
    return kTable[size_t(commType)];
}

QStringList RS232Entries()
{
    QStringList entries;
    for (int port = 1; port <= kPorts; ++port)
        entries << QStringLiteral("COM%1 (%2)").arg(port).arg(Comm_SerialDevicePath(port));
    return entries;
}

int RS232EntryIndex(int port)
{
    return port >= 1 && port <= kPorts ? port - 1 : -1;
}

UsbListContents UsbListFor(const QStringList& found, int count, const QString& device)
{
    UsbListContents list;
    const int n = qMin(qMin(count, kMaxUsbEntries), int(found.size()));
    for (int i = 0; i < n; ++i)
        list.entries << found.at(i);
    if (list.entries.isEmpty())
        return list;
    list.selected = 0;
    for (int i = 0; i < n; ++i) {
        if (list.entries.at(i).startsWith(device, Qt::CaseInsensitive)) {
            list.selected = i;
            break;
        }
    }
    return list;
}

CommSettingsLogic::Shown CommSettingsLogic::beginLoad()
{
    loading_ = true;
    if (CommSettingsHost* host = commSettingsHost())
        host->stopUpdates();
    const AppConfig& c = Config();
    Shown s;
    s.rs232Index = c.RS232Port >= 1 ? RS232EntryIndex(c.RS232Port) : -1;
    s.ePort = c.EPort;
    s.eAddress = c.EAddress;
    s.checksum = c.CheckSumOn == 1;
    s.commType = c.CommType;
    return s;
}

CommControlsShown CommSettingsLogic::selectCommType(int commType)
{
    Config().CommType = static_cast<qint16>(commType);
    if (commType == 0 && !loading_) {
        Comm_CloseRS232();
        if (!Comm_OpenRS232(Config().RS232Port))
            qCDebug(lcLink) << "settings: cannot open RS-232 port" << Config().RS232Port;
    }
    return ControlsForCommType(commType);
}

void CommSettingsLogic::selectRS232(int index)
{
    if (loading_ || index < 0)
        return;
    Comm_CloseRS232();
    Config().RS232Port = static_cast<qint16>(index + 1);
    if (!Comm_OpenRS232(Config().RS232Port))
        qCDebug(lcLink) << "settings: cannot open RS-232 port" << Config().RS232Port;
}

void CommSettingsLogic::selectUSB(const QString& serialNumber)
{
    if (loading_)
        return;
    Config().USBDevice = serialNumber;
}

void CommSettingsLogic::setChecksum(bool on)
{
    if (loading_)
        return;
    Config().CheckSumOn = on ? 1 : 0;
}

void CommSettingsLogic::setEPort(const QString& text)
{
    Config().EPort = text;
}

void CommSettingsLogic::setEAddress(const QString& text)
{
    Config().EAddress = text;
}

UsbListContents CommSettingsLogic::usbList() const
{
    return UsbListFor(Comm_USBList(), Comm_USBCount(), Config().USBDevice);
}

CommSettingsLogic::FindResult CommSettingsLogic::find()
{
    FindResult result;
    // Connect runs window events while it waits: a second click must not
    // start a second search.
    if (finding_)
        return result;
    const QScopedValueRollback<bool> busy(finding_, true);
    result.ran = true;
    result.online = Comm_Connect();
    if (result.online) {
        result.reply = Comm_InstrumentID();
        if (CommSettingsHost* host = commSettingsHost())
            host->reloadProcesses();
    }
    return result;
}

QString CommSettingsLogic::send(const QString& text)
{
    const QString reply = Comm_SendCommand(text);
    const LinkStatus status = Comm_GetStatus();
    return status == linkstatus::Ok ? reply : Comm_ErrorText(status);
}

void CommSettingsLogic::unload()
{
    if (CommSettingsHost* host = commSettingsHost())
        host->resumeUpdates();
}
