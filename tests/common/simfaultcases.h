#ifndef DCX_TESTS_COMMON_SIMFAULTCASES_H
#define DCX_TESTS_COMMON_SIMFAULTCASES_H

// The faults of the simulated instrument as the fault matrix and the GUI
// monkey switch them on, and a connection to the simulator that the
// instrument can drop (the in-process peer has no connection to lose).
#include "link/modcomm.h"
#include "link/transport.h"
#include "sim/siminstrument.h"

#include <array>
#include <utility>

// The simulator at the far end of a link the instrument can close: after a
// close the writes fail (the wait times out) until the program connects again,
// which succeeds while the instrument accepts connections.
class SimConnection final : public Transport {
public:
    explicit SimConnection(SimInstrument& sim) : sim_(sim)
    {
        connect(&sim, &SimInstrument::output, this, [this](const QByteArray& bytes) {
            if (!up_)
                return;
            pending_ += bytes;
            emit readyRead();
        });
        connect(&sim, &SimInstrument::closeRequested, this, [this] { close(); });
    }
    // False: connects fail, as with the cable pulled.
    bool accepting = true;

    // The link asks this only when it connects: a closed connection opens again then.
    bool isOpen() const override
    {
        if (!up_ && accepting) {
            up_ = true;
            sim_.resetLink();
        }
        return up_;
    }
    void close() override
    {
        up_ = false;
        pending_.clear();
    }
    bool write(const QByteArray& frame) override
    {
        if (!up_)
            return false;
        pending_.clear();
        sim_.receive(frame);
        return true;
    }
    QByteArray readAvailable() override { return std::exchange(pending_, QByteArray()); }

private:
    SimInstrument& sim_;
    mutable bool up_ = true;
    QByteArray pending_;
};

// One fault: start() makes the next reply go wrong; clear() on the simulator's
// faults stops every one of them. status: how the transaction that meets it
// ends (a garbled field or leading garbage still makes a well-formed reply).
struct SimFaultCase {
    const char* name;
    void (*start)(SimInstrument&);
    LinkStatus status;
};

inline constexpr std::array<SimFaultCase, 10> kSimFaultCases{{
    {"dropped reply", [](SimInstrument& s) { s.faults().dropNext(1); }, linkstatus::Timeout},
    // held past the 1 s reply wait; arrives during a later transaction
    {"late reply", [](SimInstrument& s) { s.faults().setDelayMs(1500); }, linkstatus::Timeout},
    {"bad checksum", [](SimInstrument& s) { s.faults().corruptNext(1); }, linkstatus::ChecksumError},
    {"not ready", [](SimInstrument& s) { s.faults().answerNext('B', 1); }, linkstatus::NotReady},
    {"bad command", [](SimInstrument& s) { s.faults().answerNext('C', 1); }, linkstatus::BadCommand},
    {"bad data", [](SimInstrument& s) { s.faults().answerNext('D', 1); }, linkstatus::BadData},
    {"bad mode", [](SimInstrument& s) { s.faults().answerNext('E', 1); }, linkstatus::BadMode},
    {"garbage bytes", [](SimInstrument& s) { s.faults().garbageNext(1); }, linkstatus::Ok},
    {"non-numeric field", [](SimInstrument& s) { s.faults().badFieldNext(1); }, linkstatus::Ok},
    {"disconnect", [](SimInstrument& s) { s.requestClose(); }, linkstatus::Timeout},
}};

#endif
