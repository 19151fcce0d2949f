#ifndef DCX_LINK_TRANSPORT_H
#define DCX_LINK_TRANSPORT_H

#include <QByteArray>
#include <QObject>

// One byte channel to the instrument: serial, USB, TCP or in-process.
// Writes that fail are not reported by the link: the transaction times out.
class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Discards pending input, then writes the whole frame; false on failure.
    virtual bool write(const QByteArray& frame) = 0;
    // Returns what has arrived so far without blocking (may be empty).
    virtual QByteArray readAvailable() = 0;
signals:
    // Data has arrived (wakes the reply wait).
    void readyRead();
};

#endif
