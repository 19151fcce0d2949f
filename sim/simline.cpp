#include "sim/simline.h"

#include "sim/siminstrument.h"

#include <algorithm>

SimLine::SimLine(SimInstrument& instrument, QObject* parent) : QObject(parent), instrument_(instrument)
{
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SimLine::deliverDue);
    connect(&instrument_, &SimInstrument::output, this,
            [this](const QByteArray& bytes) { toHostPaced(bytes, false); });
    connect(&instrument_, &SimInstrument::closeRequested, this, [this] { toHostPaced({}, true); });
}

void SimLine::setBaud(int baud)
{
    baud_ = std::max(0, baud);
}

qint64 SimLine::occupy(qint64& lineFreeNs, qsizetype n) const
{
    const qint64 bitsPerByte = 10;
    lineFreeNs = std::max(lineFreeNs, nowNs()) + qint64(n) * bitsPerByte * 1'000'000'000 / baud_;
    return lineFreeNs;
}

void SimLine::fromHost(const QByteArray& bytes)
{
    if (baud_ == 0) {
        instrument_.receive(bytes);
        return;
    }
    in_.push_back({occupy(inFreeNs_, bytes.size()), bytes});
    schedule();
}

void SimLine::toHostPaced(const QByteArray& bytes, bool close)
{
    if (baud_ == 0) {
        if (!bytes.isEmpty())
            emit toHost(bytes);
        if (close)
            emit closeRequested();
        return;
    }
    out_.push_back({occupy(outFreeNs_, bytes.size()), bytes, close});
    schedule();
}

void SimLine::reset()
{
    in_.clear();
    out_.clear();
    inFreeNs_ = outFreeNs_ = 0;
    timer_.stop();
    instrument_.resetLink();
}

void SimLine::deliverDue()
{
    // Replies the instrument makes here queue behind what is already going out.
    for (;;) {
        const qint64 now = clock_.nsecsElapsed();
        const bool inDue = !in_.empty() && in_.front().dueNs <= now;
        const bool outDue = !out_.empty() && out_.front().dueNs <= now;
        if (!inDue && !outDue)
            break;
        if (outDue && (!inDue || out_.front().dueNs <= in_.front().dueNs)) {
            const Pending p = std::move(out_.front());
            out_.pop_front();
            if (!p.bytes.isEmpty())
                emit toHost(p.bytes);
            if (p.close)
                emit closeRequested();
        } else {
            const Pending p = std::move(in_.front());
            in_.pop_front();
            handingInNs_ = p.dueNs;
            instrument_.receive(p.bytes);
            handingInNs_ = -1;
        }
    }
    schedule();
}

void SimLine::schedule()
{
    qint64 due = -1;
    if (!in_.empty())
        due = in_.front().dueNs;
    if (!out_.empty())
        due = due < 0 ? out_.front().dueNs : std::min(due, out_.front().dueNs);
    if (due < 0)
        return;
    // Whole milliseconds, rounded down: an early wake delivers nothing and
    // waits again for the remainder.
    timer_.start(int(std::max<qint64>(0, (due - clock_.nsecsElapsed()) / 1'000'000)));
}
