#ifndef DCX_TESTS_MONKEY_MONKEY_H
#define DCX_TESTS_MONKEY_MONKEY_H

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <random>

class MonkeyDialogs;
class QMainWindow;
class QWidget;
class SimConnection;
class SimInstrument;

// Drives the real windows the way an impatient operator does, while the
// simulated instrument misbehaves at random. Input (clicks, keys, wheel,
// menu entries) goes in through the window system's queue, so it reaches the
// program only where the program takes input; closes from the window manager
// and the instrument's faults come at any moment, reply waits included.
// At the end it calms everything down and checks that the main window is
// usable again; the result is the exit code given to QCoreApplication::exit.
class Monkey final : public QObject {
public:
    Monkey(QMainWindow& main, SimInstrument& sim, SimConnection& link, MonkeyDialogs& dialogs, quint32 seed,
           qint64 durationMs);

    void start();
    // True once the final check has run (the program did not end by itself).
    bool finished() const { return finished_; }
    // One line per recent action, oldest first (also kept for crash reports).
    static void printRecentActions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step();
    void note(const char* kind, const QString& what);
    void drain();
    bool timerAsDesigned() const;
    void finish(QStringList failures);

    void clickSomething();
    void pressKey();
    void turnWheel();
    void closeWindow(bool viaInputQueue);
    void gateClose(QWidget* window);
    void useMenu();
    void startFault();

    // Runs action where the program would take a key press in window.
    void gate(QWidget* window, const QString& what, std::function<void()> action);

    QWidget* pickWindow();
    QWidget* pickControl(QWidget* window);
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    QMainWindow& main_;
    SimInstrument& sim_;
    SimConnection& link_;
    MonkeyDialogs& dialogs_;
    std::mt19937 rng_;
    qint64 durationMs_;
    QElapsedTimer clock_;
    QTimer stepTimer_;
    QTimer faultTimer_;
    bool draining_ = false;
    bool finished_ = false;
    qint64 drainStartMs_ = 0;

    quint32 nextGate_ = 1;
    std::map<quint32, std::function<void()>> gated_;
    QHash<QString, int> counts_;
    QStringList unusedMenus_;
};

#endif
