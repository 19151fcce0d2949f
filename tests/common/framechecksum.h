#ifndef DCX_TESTS_COMMON_FRAMECHECKSUM_H
#define DCX_TESTS_COMMON_FRAMECHECKSUM_H

// The frames' 14-bit checksum, written from the protocol description and not
// from the link code, for the test peers that build and check frames
// themselves: start 0x3FFF, reflected polynomial 0x2001, sent as two
// characters of seven bits each plus 0x22.
#include <QByteArray>

namespace testframes {

inline quint16 crc14(const QByteArray& bytes)
{
    quint16 crc = 0x3FFF;
    for (const char ch : bytes) {
        crc ^= quint8(ch);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0x2001) : quint16(crc >> 1);
    }
    return crc & 0x3FFF;
}

inline QByteArray checkChars(quint16 crc)
{
    const char c[2] = {char((crc & 0x7F) + 0x22), char(((crc >> 7) & 0x7F) + 0x22)};
    return QByteArray(c, 2);
}

} // namespace testframes

#endif
