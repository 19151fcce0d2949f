#ifndef DCX_SUPPORT_MODBITOPS_H
#define DCX_SUPPORT_MODBITOPS_H

#include <QtGlobal>

// 16-bit bit operations of the frame checksum.

// The 16-bit value as unsigned, 0..65535 (negative values + 65536).
constexpr qint32 IntToLong(qint16 value)
{
    return value < 0 ? qint32(value) + 65536 : qint32(value);
}
// The low byte of value.
constexpr qint32 LoByte(qint32 value)
{
    return value & 0xFF;
}
// The 16-bit pattern of value shifted right logically by n places; 0 when n >= 16.
constexpr qint16 Shri(qint16 value, int n)
{
    if (n >= 16)
        return 0;
    if (n <= 0)
        return value;
    return qint16(quint16(value) >> n);
}

#endif
