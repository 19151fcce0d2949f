#ifndef DCX_LINK_SERIALTRANSPORT_H
#define DCX_LINK_SERIALTRANSPORT_H

#include "link/transport.h"

#include <QSerialPort>

// A serial device: the RS-232 port (19200 baud) or the instrument's USB
// bridge, which Linux presents as a USB serial device (115200 baud).
// Always 8 data bits, no parity, 1 stop bit, no flow control, RTS off.
class SerialTransport final : public Transport {
    Q_OBJECT
public:
    struct Settings {
        qint32 baud = 19200;
        // USB: discard both directions before a write, and close the device
        // when a write fails. RS-232: discard pending input only.
        bool usbBehaviour = false;
    };

    explicit SerialTransport(QObject* parent = nullptr);

    // Opens device (a path such as /dev/ttyS0); false with errorString() set.
    bool open(const QString& device, const Settings& settings);
    QString device() const { return device_; }
    QString errorString() const { return port_.errorString(); }

    bool isOpen() const override;
    void close() override;
    bool write(const QByteArray& frame) override;
    QByteArray readAvailable() override;

private:
    QSerialPort port_;
    QString device_;
    Settings settings_;
};

#endif
