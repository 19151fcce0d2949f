#ifndef DCX_SIM_SIMFAULTS_H
#define DCX_SIM_SIMFAULTS_H

#include <QByteArray>
#include <QString>

#include <optional>
#include <random>

// Faults the simulated instrument injects on demand, to exercise the host's
// timeouts, checksum handling, refusals and retries. Counted faults apply to
// the next N replies; the random ones (drop rate, garbage bytes, which field
// goes bad) draw from a generator seeded by the operator, so a run repeats.
class SimFaults {
public:
    explicit SimFaults(quint32 seed = 1);

    void reseed(quint32 seed);
    void clear();

    void setDelayMs(int ms) { delayMs_ = qMax(0, ms); }
    void dropNext(int n) { drop_ = qMax(0, n); }
    void setDropRate(double fraction) { dropRate_ = qBound(0.0, fraction, 1.0); }
    void corruptNext(int n) { corrupt_ = qMax(0, n); }
    // Answer the next n commands with status (B, C, D or E) without running them.
    void answerNext(char status, int n);
    void garbageNext(int n) { garbage_ = qMax(0, n); }
    void badFieldNext(int n) { badField_ = qMax(0, n); }
    // Close the connection right after the n-th next reply (n >= 1; 0 or less: never).
    void closeAfter(int n) { closeAfter_ = n > 0 ? n : -1; }

    int delayMs() const { return delayMs_; }
    double dropRate() const { return dropRate_; }
    bool any() const;
    QString describe() const;

    // Consumed once per command, before it is run.
    std::optional<char> takeForcedStatus();

    // What goes on the wire for one reply.
    struct Outcome {
        QByteArray bytes; // empty when dropped
        bool dropped = false;
        int delayMs = 0;
        bool close = false; // close the connection after sending
    };
    Outcome apply(char status, QByteArray data);

private:
    std::mt19937 rng_;
    int delayMs_ = 0;
    int drop_ = 0;
    double dropRate_ = 0.0;
    int corrupt_ = 0;
    char forcedStatus_ = 0;
    int forced_ = 0;
    int garbage_ = 0;
    int badField_ = 0;
    int closeAfter_ = -1;
};

#endif
