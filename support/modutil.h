#ifndef DCX_SUPPORT_MODUTIL_H
#define DCX_SUPPORT_MODUTIL_H

#include <QString>
#include <functional>

// Whole seconds as "h:mm:ss" (0 -> "0:00:00", 3725 -> "1:02:05").
QString SecondsToTime(qint32 seconds);
// "h:mm:ss" back to seconds, rounded half to even; pieces that are not
// numbers read as 0. Texts with fewer ":" are read from the right ("m:ss", "s").
qint32 TimeToSeconds(const QString& text);

// Waits until appClock() says the given seconds have passed, running window
// events meanwhile (a timer tick or a button may run inside). Handles the
// midnight wrap. With a manual clock it wakes whenever the clock is advanced.
void WaitSeconds(double seconds);

// Shows "Critical Error: " + message + line break + "Application must close!"
// (critical icon) and ends the program through the critical exit action.
// Returns only when a test replaced that action with one that returns.
void CriticalError(const QString& message);
// The action that ends the program after a critical error; the default exits
// with code 1. nullptr (an empty function) restores the default.
void setCriticalExitAction(std::function<void()> action);

// Installs a critical exit action for its lifetime.
class ScopedCriticalExit {
public:
    explicit ScopedCriticalExit(std::function<void()> action);
    ~ScopedCriticalExit();
    ScopedCriticalExit(const ScopedCriticalExit&) = delete;
    ScopedCriticalExit& operator=(const ScopedCriticalExit&) = delete;

private:
    std::function<void()> previous_;
};

// How the small utility procedures report their own failures: a message box
// "Error: " + number + ". " + description titled with the procedure's name.
void ShowProcError(const QString& procedure, qint32 number, const QString& description);

#endif
