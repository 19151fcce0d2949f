#ifndef DCX_TESTS_SIM_SIMTESTCLIENT_H
#define DCX_TESTS_SIM_SIMTESTCLIENT_H

// An independent host for the simulator tests: frames commands and checks
// replies by the byte rules alone (its own checksum routine, written from the
// protocol description), so a framing bug in shared code cannot hide itself.

#include "sim/siminstrument.h"
#include "tests/common/framechecksum.h"

#include <QByteArray>
#include <QList>
#include <QObject>

namespace simtest {

using testframes::checkChars;
using testframes::crc14;

inline QByteArray frame(const QByteArray& text, bool checksum = true)
{
    QByteArray f;
    f += '!';
    f += char(0x22 + text.size());
    f += text;
    f += checksum ? checkChars(crc14(f.mid(1))) : QByteArray(2, '\0');
    return f;
}

struct Reply {
    bool wellFormed = false; // start, length and checksum all right
    char status = 0;
    QByteArray data;
};

// Parses exactly one reply frame (bytes must hold nothing else).
inline Reply parseReply(const QByteArray& bytes)
{
    Reply r;
    if (bytes.size() < 5 || bytes.at(0) != '!')
        return r;
    const int length = quint8(bytes.at(1));
    if (length - 31 != bytes.size())
        return r;
    r.status = bytes.at(2);
    r.data = bytes.mid(3, bytes.size() - 5);
    r.wellFormed = checkChars(crc14(bytes.mid(1, bytes.size() - 3))) == bytes.right(2);
    return r;
}

inline QList<QByteArray> fields(const QByteArray& data)
{
    return data.split(' ');
}

// Sends framed commands to an instrument and collects what it emits.
class Client {
public:
    explicit Client(SimInstrument& sim) : sim_(sim)
    {
        connection_ = QObject::connect(&sim, &SimInstrument::output, &sim,
                                       [this](const QByteArray& b) { received += b; });
    }
    ~Client() { QObject::disconnect(connection_); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Bytes emitted in answer to raw input.
    QByteArray exchange(const QByteArray& bytes)
    {
        received.clear();
        sim_.receive(bytes);
        return received;
    }
    Reply ask(const QByteArray& text, bool checksum = true)
    {
        return parseReply(exchange(frame(text, checksum)));
    }
    // The data of an accepted, well-formed reply (empty otherwise).
    QByteArray value(const QByteArray& text)
    {
        const Reply r = ask(text);
        return r.wellFormed && r.status == 'A' ? r.data : QByteArray("<refused>");
    }

    QByteArray received;

private:
    SimInstrument& sim_;
    QMetaObject::Connection connection_;
};

} // namespace simtest

#endif
