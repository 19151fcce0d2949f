#ifndef DCX_LINK_INPROCESSPEER_H
#define DCX_LINK_INPROCESSPEER_H

#include <QByteArray>
#include <QObject>

// The far end of the in-process transport: an instrument living in the same
// process (the simulator, or a scripted peer in a test). It receives the bytes
// the program writes and answers, now or later, by emitting sendToHost.
class InProcessPeer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void receiveFromHost(const QByteArray& bytes) = 0;
signals:
    void sendToHost(const QByteArray& bytes);
};

#endif
