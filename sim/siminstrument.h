#ifndef DCX_SIM_SIMINSTRUMENT_H
#define DCX_SIM_SIMINSTRUMENT_H

#include "link/commframe.h"
#include "sim/simcommands.h"
#include "sim/simfaults.h"
#include "sim/simmemory.h"
#include "sim/simrun.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>

class Clock;

// One simulated DCX-700: rebuilds command frames from the bytes it receives,
// drops frames with a bad checksum, answers every other frame with a reply
// frame, and runs its processes on simulated time. Transports (TCP server,
// pseudo-terminal, in-process peer) only move bytes in and out of it.
//
// Time: advance() moves the instrument directly; attachClock() makes it follow
// a clock (a manual clock through its advanced() signal, a real one through a
// 50 ms timer). Either way the instrument runs speed() times faster.
class SimInstrument : public QObject {
    Q_OBJECT
public:
    // Starts with the demo parameter set and process 1 selected.
    explicit SimInstrument(quint32 seed = 1, QObject* parent = nullptr);
    ~SimInstrument() override;

    SimMemory& memory() { return memory_; }
    SimRun& run() { return run_; }
    SimFaults& faults() { return faults_; }
    SimCommands& commands() { return commands_; }

    // Bytes from the host.
    void receive(const QByteArray& bytes);
    // Forgets a half-received frame (a new connection).
    void resetLink();

    // Moves the instrument forward by seconds of clock time (times speed()).
    void advance(double seconds);
    void setSpeed(double speed);
    double speed() const { return speed_; }

    // Follows clock from now on (not owned; nullptr detaches).
    void attachClock(Clock* clock);

    // Reseeds the readings noise and the random faults.
    void reseed(quint32 seed);
    quint32 seed() const { return seed_; }

    // Asks the transport to drop the connection now.
    void requestClose() { emit closeRequested(); }
    // The cable pulled for seconds of host time: the connection drops, frames
    // go unheard and new connections are refused; the run goes on.
    void unplug(double seconds);
    bool unplugged() const;

    int commandsReceived() const { return commands_received_; }
    int badChecksums() const { return bad_checksums_; }

signals:
    // Reply bytes for the host.
    void output(const QByteArray& bytes);
    void closeRequested();
    // A set command stored something (the state file is saved after it).
    void memoryChanged();
    void commandHandled(const QByteArray& text, char status);

private:
    struct Delayed {
        qint64 dueMs;
        QByteArray bytes;
        bool close;
    };
    void handle(const CommandFrameParser::Command& cmd);
    void deliver(const QByteArray& bytes, bool close);
    void onClock();

    quint32 seed_;
    SimMemory memory_;
    SimRun run_;
    SimCommands commands_;
    SimFaults faults_;
    CommandFrameParser parser_;
    double speed_ = 1.0;
    QPointer<Clock> clock_;
    QMetaObject::Connection clockConnection_;
    QTimer realTime_;
    qint64 lastMs_ = 0;
    std::deque<Delayed> delayed_;
    qint64 pluggedAtMs_ = 0;
    int commands_received_ = 0;
    int bad_checksums_ = 0;
};

#endif
