#include "sim/siminstrument.h"

#include "sim/simdemo.h"
#include "sim/simlogging.h"
#include "support/clock.h"

SimInstrument::SimInstrument(quint32 seed, QObject* parent)
    : QObject(parent), seed_(seed), run_(memory_, seed), commands_(memory_, run_), faults_(seed)
{
    LoadDemoSet(memory_);
    run_.selectProcess(1);
    realTime_.setInterval(50);
    connect(&realTime_, &QTimer::timeout, this, &SimInstrument::onClock);
}

SimInstrument::~SimInstrument() = default;

void SimInstrument::receive(const QByteArray& bytes)
{
    if (unplugged())
        return;
    for (const char b : bytes)
        if (const auto cmd = parser_.feed(b))
            handle(*cmd);
}

void SimInstrument::unplug(double seconds)
{
    const Clock& c = clock_ ? *clock_ : appClock();
    pluggedAtMs_ = c.monotonicMs() + qRound64(seconds * 1000.0);
    parser_.reset();
    emit closeRequested();
}

bool SimInstrument::unplugged() const
{
    const Clock& c = clock_ ? *clock_ : appClock();
    return c.monotonicMs() < pluggedAtMs_;
}

void SimInstrument::resetLink()
{
    parser_.reset();
}

void SimInstrument::handle(const CommandFrameParser::Command& cmd)
{
    ++commands_received_;
    if (cmd.checksum == CommandFrameParser::Checksum::Bad) {
        // a garbled frame gets no answer, as on the real instrument
        ++bad_checksums_;
        qCDebug(lcSim) << "bad checksum, dropped:" << cmd.text;
        emit commandHandled(cmd.text, 0);
        return;
    }
    SimReply reply;
    if (const auto forced = faults_.takeForcedStatus())
        reply.status = *forced;
    else
        reply = commands_.execute(cmd.text);
    qCDebug(lcSim) << cmd.text << "->" << reply.status << reply.data;
    emit commandHandled(cmd.text, reply.status);
    if (reply.changedMemory)
        emit memoryChanged();

    const SimFaults::Outcome out = faults_.apply(reply.status, reply.data);
    if (out.dropped && !out.close)
        return;
    if (out.delayMs <= 0) {
        deliver(out.bytes, out.close);
        return;
    }
    if (clock_ && clock_->isManual()) {
        delayed_.push_back({clock_->monotonicMs() + out.delayMs, out.bytes, out.close});
        return;
    }
    QTimer::singleShot(out.delayMs, this,
                       [this, bytes = out.bytes, close = out.close] { deliver(bytes, close); });
}

void SimInstrument::deliver(const QByteArray& bytes, bool close)
{
    if (!bytes.isEmpty())
        emit output(bytes);
    if (close)
        emit closeRequested();
}

void SimInstrument::advance(double seconds)
{
    run_.step(seconds * speed_);
}

void SimInstrument::setSpeed(double speed)
{
    speed_ = speed > 0 ? speed : 1.0;
}

void SimInstrument::reseed(quint32 seed)
{
    seed_ = seed;
    run_.reseed(seed);
    faults_.reseed(seed);
}

void SimInstrument::attachClock(Clock* clock)
{
    disconnect(clockConnection_);
    realTime_.stop();
    clock_ = clock;
    if (!clock)
        return;
    lastMs_ = clock->monotonicMs();
    if (clock->isManual())
        clockConnection_ = connect(clock, &Clock::advanced, this, &SimInstrument::onClock);
    else
        realTime_.start();
}

void SimInstrument::onClock()
{
    if (!clock_)
        return;
    const qint64 now = clock_->monotonicMs();
    const qint64 delta = now - lastMs_;
    lastMs_ = now;
    if (delta > 0)
        advance(delta / 1000.0);
    while (!delayed_.empty() && delayed_.front().dueMs <= now) {
        const Delayed d = delayed_.front();
        delayed_.pop_front();
        deliver(d.bytes, d.close);
    }
}
