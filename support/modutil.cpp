#include "support/modutil.h"

#include "support/clock.h"
#include "support/dialogs.h"
#include "support/errhandler.h"
#include "support/numbers.h"
#include "support/waitguard.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

QString twoDigits(qint64 v)
{
    return v < 10 ? QLatin1Char('0') + QString::number(v) : QString::number(v);
}

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

QString SecondsToTime(qint32 seconds)
{
    const qint64 hours = floorDiv(seconds, 3600);
    const qint64 rest = qint64(seconds) - hours * 3600;
    const qint64 minutes = floorDiv(rest, 60);
    const qint64 secs = rest - minutes * 60;
    return QString::number(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') +
           twoDigits(secs);
}

qint32 TimeToSeconds(const QString& text)
{
    double hours = 0, minutes = 0, seconds = 0;
    const qsizetype p1 = text.indexOf(QLatin1Char(':'));
    const qsizetype p2 = p1 < 0 ? -1 : text.indexOf(QLatin1Char(':'), p1 + 1);
    if (p2 >= 0) {
        hours = LeadingNumber(QStringView(text).left(p1));
        minutes = LeadingNumber(QStringView(text).mid(p1 + 1, p2 - p1 - 1));
        seconds = LeadingNumber(QStringView(text).mid(p2 + 1));
    } else if (p1 >= 0) {
        // "m:ss", as typed by hand
        minutes = LeadingNumber(QStringView(text).left(p1));
        seconds = LeadingNumber(QStringView(text).mid(p1 + 1));
    } else {
        seconds = LeadingNumber(text);
    }
    return RoundToInt32(hours * 3600.0 + minutes * 60.0 + seconds).value_or(0);
}

void WaitSeconds(double seconds)
{
    Clock& clock = appClock();
    double start = clock.secondsSinceMidnight();
    auto elapsed = [&] {
        const double now = clock.secondsSinceMidnight();
        if (now < start)
            start -= 86400.0; // passed midnight
        return now - start;
    };

    if (!QCoreApplication::instance()) {
        // No event loop to run: a real clock can only be slept on.
        if (!clock.isManual() && seconds > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        return;
    }

    // Timers and data run; the operator's clicks and keys wait for the end.
    const WaitScope waiting;
    RunWaitEvents();
    if (elapsed() >= seconds)
        return;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    auto arm = [&] {
        const double remainingMs = (seconds - elapsed()) * 1000.0;
        timer.start(std::max(1, int(std::ceil(std::min(remainingMs, 3600000.0)))));
    };
    auto check = [&] {
        if (elapsed() >= seconds)
            loop.quit();
        else if (!clock.isManual())
            arm();
    };
    QObject::connect(&clock, &Clock::advanced, &loop, check);
    QObject::connect(&timer, &QTimer::timeout, &loop, check);
    if (!clock.isManual())
        arm();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

namespace {

void defaultCriticalExit()
{
    // The handler's end reports procedures still registered.
    EndErrHandler();
    std::fflush(nullptr);
    std::exit(1);
}

std::function<void()>& criticalExit()
{
    static std::function<void()> action = defaultCriticalExit;
    return action;
}

} // namespace

void CriticalError(const QString& message)
{
    dialogs().message(QStringLiteral("Critical Error: ") + message + QLatin1Char('\n') +
                          QStringLiteral("Application must close!"),
                      MsgButtons::Ok, MsgIcon::Critical);
    criticalExit()();
}

void setCriticalExitAction(std::function<void()> action)
{
    criticalExit() = action ? std::move(action) : std::function<void()>(defaultCriticalExit);
}

ScopedCriticalExit::ScopedCriticalExit(std::function<void()> action) : previous_(criticalExit())
{
    setCriticalExitAction(std::move(action));
}

ScopedCriticalExit::~ScopedCriticalExit()
{
    setCriticalExitAction(std::move(previous_));
}

void ShowProcError(const QString& procedure, qint32 number, const QString& description)
{
    dialogs().message(QStringLiteral("Error: ") + QString::number(number) + QStringLiteral(". ") +
                          description,
                      MsgButtons::Ok, MsgIcon::Exclamation, procedure);
}
