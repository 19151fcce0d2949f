#ifndef DCX_REMOTE_CONNECTIONGUARD_H
#define DCX_REMOTE_CONNECTIONGUARD_H

#include <QHash>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// The listening socket of the remote face, with the limits the HTTP server
// does not keep itself. It hands each connection on to the server and
// watches its bytes before the server reads them:
// - at most maxConnections at a time; a new one pushes out the connection
//   that has been quiet longest, so idle clients cannot lock others out;
// - a connection quiet for idleTimeoutMs is closed;
// - a request line that is not HTTP gets 400, a request longer than
//   maxRequestBytes or with more than maxHeaderLines lines gets 431, and the
//   connection is closed. Nothing else is disturbed.
class ConnectionGuard : public QTcpServer {
    Q_OBJECT
public:
    struct Limits {
        int maxConnections = 256;
        qint64 maxRequestBytes = 8192;
        int maxHeaderLines = 64;
        qint64 idleTimeoutMs = 10000;
    };

    explicit ConnectionGuard(QObject* parent = nullptr);
    ~ConnectionGuard() override;
    void setLimits(const Limits& limits) { limits_ = limits; }
    const Limits& limits() const { return limits_; }
    // Connections currently open.
    int openConnections() const { return int(conns_.size()); }

protected:
    void incomingConnection(qintptr handle) override;

private:
    struct Conn {
        qint64 lastActivityMs = 0;
        quint64 serial = 0;      // order of arrival: the older goes first on a tie
        qint64 requestBytes = 0; // since the last response went out
        int lines = 0;
        QByteArray firstLine; // the request line while it is incomplete
        bool firstLineDone = false;
    };

    void onReadyRead(QTcpSocket* socket);
    void reject(QTcpSocket* socket, const QByteArray& statusLine);
    void sweepIdle();
    void evictQuietest();

    Limits limits_;
    QHash<QTcpSocket*, Conn> conns_;
    quint64 serial_ = 0;
    QTimer sweep_;
};

#endif
