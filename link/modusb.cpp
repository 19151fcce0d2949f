#include "link/modusb.h"

#include "link/serialtransport.h"

#include <QSerialPortInfo>
#include <algorithm>

UsbDeviceSource::~UsbDeviceSource() = default;

QList<UsbDeviceInfo> SystemUsbDeviceSource::devices()
{
    QList<UsbDeviceInfo> out;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
        UsbDeviceInfo d;
        d.serialNumber = p.serialNumber();
        if (p.hasProductIdentifier())
            d.productId = QStringLiteral("%1").arg(p.productIdentifier(), 4, 16, QLatin1Char('0')).toUpper();
        d.location = p.systemLocation();
        out.append(d);
    }
    std::sort(out.begin(), out.end(),
              [](const UsbDeviceInfo& a, const UsbDeviceInfo& b) { return a.location < b.location; });
    return out;
}

std::unique_ptr<Transport> SystemUsbDeviceSource::open(const UsbDeviceInfo& device)
{
    auto t = std::make_unique<SerialTransport>();
    SerialTransport::Settings s;
    s.baud = 115200;
    s.usbBehaviour = true;
    if (!t->open(device.location, s))
        return nullptr;
    return t;
}

namespace {

UsbDeviceSource* g_source = nullptr;

SystemUsbDeviceSource& systemSource()
{
    static SystemUsbDeviceSource s;
    return s;
}

QList<UsbDeviceInfo>& snapshot()
{
    static QList<UsbDeviceInfo> list;
    return list;
}

} // namespace

UsbDeviceSource& usbDeviceSource()
{
    return g_source ? *g_source : systemSource();
}

void setUsbDeviceSource(UsbDeviceSource* s)
{
    g_source = s;
    snapshot().clear();
}

int USB_GetNumDevices()
{
    snapshot() = usbDeviceSource().devices();
    return static_cast<int>(snapshot().size());
}

QString USB_GetSerial(int index)
{
    return index >= 0 && index < snapshot().size() ? snapshot().at(index).serialNumber : QString();
}

QString USB_GetPID(int index)
{
    return index >= 0 && index < snapshot().size() ? snapshot().at(index).productId : QString();
}

std::unique_ptr<Transport> USB_Open(int index)
{
    if (index < 0 || index >= snapshot().size())
        return nullptr;
    return usbDeviceSource().open(snapshot().at(index));
}

QString USB_BytesToString(const QByteArray& buffer)
{
    qsizetype n = buffer.indexOf('\0');
    if (n < 0)
        n = buffer.size();
    return QString::fromLatin1(buffer.constData(), std::min<qsizetype>(n, 255));
}
