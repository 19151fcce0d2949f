#ifndef DCX_LINK_LINKHEALER_H
#define DCX_LINK_LINKHEALER_H

#include <QString>
#include <QTime>
#include <QtGlobal>

// When to try the link again after it was lost, and how to say so. Owns no
// transport: the update loop (window and dcx700ctl monitor alike) reports
// what happened and asks whether an attempt is due. Times come from
// appClock(), so tests drive it with the fake clock.
//
// Attempts follow 0.5, 1, 2, 4 and 8 s apart, then every 10 s, without end:
// a short glitch heals at once, a pulled cable does not flood the line.
class LinkHealer {
public:
    // The link answered (a first connect, or a tick that went well).
    void online();
    // A transaction failed while online: lost from now, first try in 0.5 s.
    // Nothing while already lost.
    void failed();
    bool lost() const { return lost_; }
    // Lost and the next attempt's time has come.
    bool attemptDue() const;
    // An attempt failed: the next one a back-off step later.
    void attemptFailed();
    // An attempt succeeded: online again; restoredAt() and outageMs() tell
    // about the outage just ended.
    void restored();

    int attempts() const { return attempts_; }
    QTime lostAt() const { return lostAt_; }
    QTime restoredAt() const { return restoredAt_; }
    qint64 outageMs() const { return outageMs_; }
    // Milliseconds since the link was lost (0 while online).
    qint64 lostForMs() const;
    // Outages healed since start, and the time without link in all of them,
    // the current one included: the counters the remote face exports.
    int reconnects() const { return reconnects_; }
    qint64 totalLostMs() const { return healedLostMs_ + lostForMs(); }

    // The status bar text: "Online: <id>", "Link lost at 14:03:07:
    // reconnecting (attempt 4, next try in 8 s)", or for a minute after an
    // outage "Link restored at 14:03:19 after 12 s". Empty before the first
    // connect.
    QString statusText(const QString& instrumentId) const;
    // The line the data log gets for the outage just ended:
    // "Link lost 14:03:07, restored 14:03:19".
    QString gapText() const;

    // Wait before attempt n (1-based) after the previous one or the loss.
    static qint64 backoffMs(int attempt);

private:
    bool everOnline_ = false;
    bool lost_ = false;
    int attempts_ = 0;
    qint64 lostMs_ = 0;
    qint64 nextTryMs_ = 0;
    qint64 restoredMs_ = -1;
    qint64 outageMs_ = 0;
    int reconnects_ = 0;
    qint64 healedLostMs_ = 0;
    QTime lostAt_;
    QTime restoredAt_;
};

#endif
