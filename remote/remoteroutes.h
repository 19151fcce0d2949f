#ifndef DCX_REMOTE_REMOTEROUTES_H
#define DCX_REMOTE_REMOTEROUTES_H

#include "remote/remotestate.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class RunsSource;

// One answer of the remote face, before it is written to a socket.
struct HttpReply {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers; // besides type and length
};

// The endpoints of the remote face, without sockets: a method, a path and the
// Authorization header in, a reply out. Read-only by construction: nothing
// here can reach the instrument, the model or a file.
class RemoteRoutes {
public:
    // Every request must then carry "Authorization: Bearer <token>"; an empty
    // token turns the check off (allowed on loopback only, see CheckBind).
    void setToken(const QString& token) { token_ = token.toUtf8(); }
    // The instrument label of the metrics; empty means the identification.
    void setInstrumentName(const QString& name)
    {
        instrumentName_ = name;
        metrics_.clear();
    }
    void setRunsSource(RunsSource* source) { runs_ = source; }
    void setState(const RemoteState& state)
    {
        state_ = state;
        metrics_.clear();
    }
    const RemoteState& state() const { return state_; }

    HttpReply reply(const QByteArray& method, const QString& path, const QByteArray& authorization) const;

private:
    bool authorized(const QByteArray& authorization) const;
    HttpReply runs(const QString& rest) const;

    QByteArray token_;
    QString instrumentName_;
    RunsSource* runs_ = nullptr;
    RemoteState state_;
    // The exposition of state_, made on the first scrape after each tick.
    mutable QByteArray metrics_;
};

// Equal texts in a time that does not depend on where they first differ.
bool ConstantTimeEquals(const QByteArray& a, const QByteArray& b);

#endif
