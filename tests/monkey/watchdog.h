#ifndef DCX_TESTS_MONKEY_WATCHDOG_H
#define DCX_TESTS_MONKEY_WATCHDOG_H

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Checks from a thread of its own that the user-interface thread keeps
// answering: it posts a probe every few hundred milliseconds, and when one
// has not been handled within limitMs it calls onHang (on its own thread).
// Reply waits and modal windows run event rounds, so they answer probes too;
// only code that stops the event loop does not.
class Watchdog {
public:
    Watchdog(int limitMs, std::function<void(qint64 silentMs)> onHang);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // The longest time a probe waited so far.
    qint64 worstMs() const { return worst_.load(); }

private:
    void run();

    QObject receiver_; // lives on the user-interface thread
    const int limitMs_;
    std::function<void(qint64)> onHang_;
    std::atomic<bool> pending_{false};
    std::atomic<qint64> sentAt_{0};
    std::atomic<qint64> worst_{0};
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread thread_;
};

#endif
