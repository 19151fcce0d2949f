#include "support/clock.h"

SystemClock::SystemClock()
{
    timer_.start();
}

double SystemClock::secondsSinceMidnight() const
{
    const QTime t = QTime::currentTime();
    return t.msecsSinceStartOfDay() / 1000.0;
}

qint64 SystemClock::monotonicMs() const
{
    return timer_.elapsed();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

FakeClock::FakeClock() : now_(QDate(2026, 1, 1), QTime(10, 0)) {}

double FakeClock::secondsSinceMidnight() const
{
    return now_.time().msecsSinceStartOfDay() / 1000.0;
}

void FakeClock::advanceMs(qint64 ms)
{
    if (ms < 0)
        ms = 0;
    mono_ += ms;
    now_ = now_.addMSecs(ms);
    emit advanced();
}

void FakeClock::setNow(const QDateTime& t)
{
    now_ = t;
    emit advanced();
}

void FakeClock::setTimeOfDay(double seconds)
{
    now_ = QDateTime(now_.date(), QTime(0, 0).addMSecs(qRound64(seconds * 1000.0)));
    emit advanced();
}

namespace {
Clock* g_clock = nullptr;
SystemClock& systemClock()
{
    static SystemClock c;
    return c;
}
} // namespace

Clock& appClock()
{
    return g_clock ? *g_clock : systemClock();
}
void setAppClock(Clock* c)
{
    g_clock = c;
}

ScopedClock::ScopedClock(Clock& c) : previous_(g_clock)
{
    g_clock = &c;
}
ScopedClock::~ScopedClock()
{
    g_clock = previous_;
}
