#include "link/linkhealer.h"

#include "support/clock.h"

namespace {

// How long "Link restored ..." stays in the status bar.
constexpr qint64 kRestoredShownMs = 60000;

qint64 nowMs()
{
    return appClock().monotonicMs();
}

QString clockText(const QTime& t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

// Whole seconds, rounded up, so "next try in 0 s" never shows while waiting.
qint64 ceilSeconds(qint64 ms)
{
    return ms <= 0 ? 0 : (ms + 999) / 1000;
}

} // namespace

qint64 LinkHealer::backoffMs(int attempt)
{
    if (attempt < 1)
        return 500;
    if (attempt > 5)
        return 10000;
    return qint64(500) << (attempt - 1);
}

void LinkHealer::online()
{
    everOnline_ = true;
    lost_ = false;
}

void LinkHealer::failed()
{
    if (lost_ || !everOnline_)
        return;
    lost_ = true;
    attempts_ = 0;
    lostMs_ = nowMs();
    lostAt_ = appClock().now().time();
    nextTryMs_ = lostMs_ + backoffMs(1);
}

bool LinkHealer::attemptDue() const
{
    return lost_ && nowMs() >= nextTryMs_;
}

void LinkHealer::attemptFailed()
{
    ++attempts_;
    nextTryMs_ = nowMs() + backoffMs(attempts_ + 1);
}

void LinkHealer::restored()
{
    ++attempts_;
    lost_ = false;
    restoredMs_ = nowMs();
    restoredAt_ = appClock().now().time();
    outageMs_ = restoredMs_ - lostMs_;
    ++reconnects_;
    healedLostMs_ += outageMs_;
}

qint64 LinkHealer::lostForMs() const
{
    return lost_ ? nowMs() - lostMs_ : 0;
}

QString LinkHealer::statusText(const QString& instrumentId) const
{
    if (lost_) {
        QString s = QStringLiteral("Link lost at %1: reconnecting (").arg(clockText(lostAt_));
        if (attempts_ > 0)
            s += QStringLiteral("attempt %1, ").arg(attempts_);
        return s + QStringLiteral("next try in %1 s)").arg(ceilSeconds(nextTryMs_ - nowMs()));
    }
    if (!everOnline_)
        return QString();
    if (restoredMs_ >= 0 && nowMs() - restoredMs_ < kRestoredShownMs)
        return QStringLiteral("Link restored at %1 after %2 s")
            .arg(clockText(restoredAt_))
            .arg(qRound64(double(outageMs_) / 1000.0));
    return QStringLiteral("Online: ") + instrumentId.trimmed();
}

QString LinkHealer::gapText() const
{
    return QStringLiteral("Link lost %1, restored %2").arg(clockText(lostAt_), clockText(restoredAt_));
}
