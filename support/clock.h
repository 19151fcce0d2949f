#ifndef DCX_SUPPORT_CLOCK_H
#define DCX_SUPPORT_CLOCK_H

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>

// Time of day and elapsed time for the whole program, replaceable so that
// timeouts, log intervals and midnight wraps are tested without sleeping.
class Clock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Seconds since local midnight, fractional (0 <= t < 86400).
    virtual double secondsSinceMidnight() const = 0;
    // Monotonic milliseconds from an arbitrary origin; never goes back.
    virtual qint64 monotonicMs() const = 0;
    // Local wall-clock date and time.
    virtual QDateTime now() const = 0;
    // True for a clock that only moves when told (waits then wake on advanced()).
    virtual bool isManual() const { return false; }
signals:
    // Emitted by a manual clock whenever it moves, so waits can re-check it.
    void advanced();
};

class SystemClock final : public Clock {
    Q_OBJECT
public:
    SystemClock();
    double secondsSinceMidnight() const override;
    qint64 monotonicMs() const override;
    QDateTime now() const override;

private:
    QElapsedTimer timer_;
};

// A clock that moves only by advance(); starts at 2026-01-01 10:00:00.000.
class FakeClock final : public Clock {
    Q_OBJECT
public:
    FakeClock();
    double secondsSinceMidnight() const override;
    qint64 monotonicMs() const override { return mono_; }
    QDateTime now() const override { return now_; }
    bool isManual() const override { return true; }

    // Moves time of day and monotonic time forward by ms milliseconds.
    void advanceMs(qint64 ms);
    void advance(double seconds) { advanceMs(qRound64(seconds * 1000.0)); }
    // Sets the wall clock (monotonic time is unchanged).
    void setNow(const QDateTime& t);
    void setTimeOfDay(double seconds);

private:
    QDateTime now_;
    qint64 mono_ = 0;
};

// The program-wide clock; a SystemClock unless one is installed.
Clock& appClock();
// Installs c (not owned; nullptr restores the system clock).
void setAppClock(Clock* c);

class ScopedClock {
public:
    explicit ScopedClock(Clock& c);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* previous_;
};

#endif
