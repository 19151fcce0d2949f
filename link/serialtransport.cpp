#include "link/serialtransport.h"

#include "link/linklogging.h"

SerialTransport::SerialTransport(QObject* parent) : Transport(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &Transport::readyRead);
}

bool SerialTransport::open(const QString& device, const Settings& settings)
{
    close();
    device_ = device;
    settings_ = settings;
    port_.setPortName(device);
    port_.setBaudRate(settings.baud);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(0);
    if (!port_.open(QIODevice::ReadWrite)) {
        qCDebug(lcLink) << "serial: cannot open" << device << port_.errorString();
        return false;
    }
    // Pseudo-terminals and some adapters have no modem lines; that is no error.
    if (!port_.setRequestToSend(false))
        qCDebug(lcLink) << "serial: RTS not settable on" << device;
    port_.clearError();
    port_.clear(QSerialPort::AllDirections);
    return true;
}

bool SerialTransport::isOpen() const
{
    return port_.isOpen();
}

void SerialTransport::close()
{
    if (port_.isOpen())
        port_.close();
}

bool SerialTransport::write(const QByteArray& frame)
{
    if (!port_.isOpen())
        return false;
    const bool flushed =
        port_.clear(settings_.usbBehaviour ? QSerialPort::AllDirections : QSerialPort::Input);
    port_.readAll();
    if (settings_.usbBehaviour && !flushed) {
        qCDebug(lcLink) << "usb: flush failed on" << device_;
        return false;
    }
    const bool ok = port_.write(frame) == frame.size();
    if (!ok) {
        qCDebug(lcLink) << "serial: write failed on" << device_ << port_.errorString();
        if (settings_.usbBehaviour)
            close();
    }
    return ok;
}

QByteArray SerialTransport::readAvailable()
{
    return port_.isOpen() ? port_.readAll() : QByteArray();
}
