#include "sim/simfaults.h"

#include "link/commframe.h"

#include <QList>

#include <array>

namespace {

// Texts no leading-number rule reads as the intended value.
constexpr std::array<const char*, 5> kNonNumbers{"x?", "#N/A", "--", "abc", "*"};

} // namespace

SimFaults::SimFaults(quint32 seed) : rng_(seed) {}

void SimFaults::reseed(quint32 seed)
{
    rng_.seed(seed);
}

void SimFaults::clear()
{
    delayMs_ = 0;
    drop_ = 0;
    dropRate_ = 0.0;
    corrupt_ = 0;
    forcedStatus_ = 0;
    forced_ = 0;
    garbage_ = 0;
    badField_ = 0;
    closeAfter_ = -1;
}

void SimFaults::answerNext(char status, int n)
{
    forcedStatus_ = status;
    forced_ = qMax(0, n);
}

bool SimFaults::any() const
{
    return delayMs_ > 0 || drop_ > 0 || dropRate_ > 0 || corrupt_ > 0 || forced_ > 0 || garbage_ > 0 ||
           badField_ > 0 || closeAfter_ > 0;
}

QString SimFaults::describe() const
{
    QStringList parts;
    if (delayMs_ > 0)
        parts << QStringLiteral("delay %1 ms").arg(delayMs_);
    if (drop_ > 0)
        parts << QStringLiteral("drop next %1").arg(drop_);
    if (dropRate_ > 0)
        parts << QStringLiteral("drop rate %1").arg(dropRate_);
    if (corrupt_ > 0)
        parts << QStringLiteral("corrupt next %1").arg(corrupt_);
    if (forced_ > 0)
        parts << QStringLiteral("status %1 for next %2").arg(QChar::fromLatin1(forcedStatus_)).arg(forced_);
    if (garbage_ > 0)
        parts << QStringLiteral("garbage before next %1").arg(garbage_);
    if (badField_ > 0)
        parts << QStringLiteral("bad field in next %1").arg(badField_);
    if (closeAfter_ > 0)
        parts << QStringLiteral("close after %1").arg(closeAfter_);
    return parts.isEmpty() ? QStringLiteral("no faults") : parts.join(QStringLiteral(", "));
}

std::optional<char> SimFaults::takeForcedStatus()
{
    if (forced_ <= 0)
        return std::nullopt;
    --forced_;
    return forcedStatus_;
}

SimFaults::Outcome SimFaults::apply(char status, QByteArray data)
{
    Outcome out;
    if (badField_ > 0 && !data.isEmpty()) {
        --badField_;
        QList<QByteArray> fields = data.split(' ');
        const int i = std::uniform_int_distribution<int>(0, int(fields.size()) - 1)(rng_);
        const char* bad = kNonNumbers[std::uniform_int_distribution<size_t>(0, kNonNumbers.size() - 1)(rng_)];
        // keep the "n," of an item field so only the value goes bad
        const qsizetype comma = fields[i].indexOf(',');
        fields[i] = (comma >= 0 ? fields[i].left(comma + 1) : QByteArray()) + bad;
        data = fields.join(' ');
    }
    auto frame = BuildReplyFrame(status, data.left(kMaxReplyDataLength));

    if (drop_ > 0) {
        --drop_;
        out.dropped = true;
    } else if (dropRate_ > 0 && std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < dropRate_) {
        out.dropped = true;
    }
    if (!out.dropped && frame) {
        if (corrupt_ > 0) {
            --corrupt_;
            // move checksum character 1 to another value of its range
            auto& c = (*frame)[frame->size() - 2];
            const int shift = std::uniform_int_distribution<int>(1, 127)(rng_);
            c = char(((quint8(c) - 0x22 + shift) % 128) + 0x22);
        }
        if (garbage_ > 0) {
            --garbage_;
            const int n = std::uniform_int_distribution<int>(1, 8)(rng_);
            QByteArray junk;
            for (int k = 0; k < n; ++k) {
                int b = std::uniform_int_distribution<int>(1, 254)(rng_);
                if (b == kFrameStart)
                    b = 0x7E;
                junk.append(char(b));
            }
            frame->prepend(junk);
        }
        out.bytes = *frame;
    }
    out.delayMs = delayMs_;
    if (closeAfter_ > 0 && --closeAfter_ == 0) {
        out.close = true;
        closeAfter_ = -1;
    }
    return out;
}
