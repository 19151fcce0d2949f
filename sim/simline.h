#ifndef DCX_SIM_SIMLINE_H
#define DCX_SIM_SIMLINE_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>

class SimInstrument;

// The byte stream between a transport (TCP, pseudo-terminal) and the
// instrument. With a baud rate set it paces both directions as a serial line
// of that speed would, 10 bits a byte (start, 8 data, stop): bytes from the
// host reach the instrument when their last bit would have arrived, and
// reply bytes reach the host when their last bit would have been sent, after
// the bytes queued before them. With 0 (the default) bytes pass straight
// through.
class SimLine : public QObject {
    Q_OBJECT
public:
    explicit SimLine(SimInstrument& instrument, QObject* parent = nullptr);

    void setBaud(int baud);
    int baud() const { return baud_; }

    // Bytes the host wrote.
    void fromHost(const QByteArray& bytes);
    // A new connection: bytes still on the line are lost, the instrument
    // forgets a half-received frame.
    void reset();

signals:
    void toHost(const QByteArray& bytes);
    // The instrument drops the connection, once the bytes before have left.
    void closeRequested();

private:
    struct Pending {
        qint64 dueNs;
        QByteArray bytes;
        bool close = false;
    };
    // The line's time: while a command is handed to the instrument, the moment
    // its last byte arrived (so a late wake-up here does not delay the reply
    // as well); otherwise the clock.
    qint64 nowNs() const { return handingInNs_ >= 0 ? handingInNs_ : clock_.nsecsElapsed(); }
    // When n bytes queued behind a line free at lineFreeNs are through.
    qint64 occupy(qint64& lineFreeNs, qsizetype n) const;
    void toHostPaced(const QByteArray& bytes, bool close);
    void deliverDue();
    void schedule();

    SimInstrument& instrument_;
    int baud_ = 0;
    QElapsedTimer clock_;
    qint64 inFreeNs_ = 0;
    qint64 outFreeNs_ = 0;
    qint64 handingInNs_ = -1;
    std::deque<Pending> in_;
    std::deque<Pending> out_;
    QTimer timer_;
};

#endif
