#ifndef DCX_TESTS_LINK_LINKTESTPEER_H
#define DCX_TESTS_LINK_LINKTESTPEER_H

// A scripted instrument for link tests: records every frame the host sends and
// answers through a handler (by default at once, with a fixed reply frame).
#include "link/inprocesspeer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline QByteArray Bytes(std::initializer_list<int> v)
{
    QByteArray out;
    for (int b : v)
        out.append(static_cast<char>(b));
    return out;
}

class ScriptedPeer final : public InProcessPeer {
public:
    using Handler = std::function<void(ScriptedPeer&, const QByteArray&)>;

    void receiveFromHost(const QByteArray& bytes) override
    {
        received.append(bytes);
        if (handler)
            handler(*this, bytes);
        else if (!reply.isEmpty())
            emit sendToHost(reply);
    }
    void send(const QByteArray& bytes) { emit sendToHost(bytes); }

    QList<QByteArray> received;
    QByteArray reply; // answered at once when no handler is set
    Handler handler;
};

#endif
