#ifndef DCX_LINK_MODUSB_H
#define DCX_LINK_MODUSB_H

#include <QList>
#include <QString>
#include <memory>

class Transport;

// The instrument's USB bridge appears on Linux as a USB serial device (the
// kernel's cp210x driver, see README). The link lists such devices, picks the
// instrument by product identifier and serial number, and talks to it as a
// serial port at 115200 baud.

// Product identifier of the instrument's USB bridge, as USB_GetPID writes it.
inline constexpr char kDcx700ProductId[] = "8292";

struct UsbDeviceInfo {
    QString serialNumber;
    QString productId; // four upper-case hex digits, "" when unknown
    QString location;  // device path (/dev/ttyUSB0)
};

// Where the device list comes from: the system's serial ports in the program,
// a fixed list in tests.
class UsbDeviceSource {
public:
    virtual ~UsbDeviceSource();
    virtual QList<UsbDeviceInfo> devices() = 0;
    // Opens a listed device at 115200 baud; nullptr when it cannot be opened.
    virtual std::unique_ptr<Transport> open(const UsbDeviceInfo& device) = 0;
};

// The system's USB serial devices (QSerialPortInfo), ordered by device path.
class SystemUsbDeviceSource final : public UsbDeviceSource {
public:
    QList<UsbDeviceInfo> devices() override;
    std::unique_ptr<Transport> open(const UsbDeviceInfo& device) override;
};

// The source in use; the system one unless one is installed.
UsbDeviceSource& usbDeviceSource();
// Installs s (not owned; nullptr restores the system source).
void setUsbDeviceSource(UsbDeviceSource* s);

// Thin wrappers in the shape the link's search uses. USB_GetNumDevices takes
// a fresh snapshot of the device list; the others index into that snapshot.
int USB_GetNumDevices();
QString USB_GetSerial(int index);
QString USB_GetPID(int index);
// Opens the device at index of the last snapshot; nullptr on failure.
std::unique_ptr<Transport> USB_Open(int index);
// A zero-terminated byte buffer as text, at most 255 characters.
QString USB_BytesToString(const QByteArray& buffer);

#endif
