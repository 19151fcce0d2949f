#include "watchdog.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>

namespace {

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

Watchdog::Watchdog(int limitMs, std::function<void(qint64)> onHang)
    : limitMs_(limitMs), onHang_(std::move(onHang)), thread_([this] { run(); })
{}

Watchdog::~Watchdog()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    thread_.join();
}

void Watchdog::run()
{
    std::unique_lock lock(mutex_);
    while (!stop_.wait_for(lock, std::chrono::milliseconds(100), [this] { return stopping_; })) {
        const qint64 now = nowMs();
        if (!pending_.load()) {
            pending_ = true;
            sentAt_ = now;
            QMetaObject::invokeMethod(
                &receiver_,
                [this] {
                    worst_ = std::max(worst_.load(), nowMs() - sentAt_.load());
                    pending_ = false;
                },
                Qt::QueuedConnection);
        } else if (now - sentAt_.load() > limitMs_) {
            onHang_(now - sentAt_.load());
            return;
        }
    }
}
