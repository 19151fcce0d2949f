#include "history/samplecodec.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kScale = 1000.0;
constexpr double kLimit = 4.0e15; // |thousandths| below 2^52: exact as a double

void putVarint(QByteArray& out, quint64 v)
{
    while (v >= 0x80) {
        out.append(char(0x80 | (v & 0x7F)));
        v >>= 7;
    }
    out.append(char(v));
}

bool getVarint(const QByteArray& in, qsizetype& pos, quint64& v)
{
    v = 0;
    for (int shift = 0; shift < 64 && pos < in.size(); shift += 7) {
        const auto b = quint8(in[pos++]);
        v |= quint64(b & 0x7F) << shift;
        if (!(b & 0x80))
            return true;
    }
    return false;
}

// Low bit 0: zigzag thousandths follow in the other bits; 1: raw double next.
void putValue(QByteArray& out, double v)
{
    const double scaled = std::round(v * kScale);
    if (std::isfinite(v) && std::fabs(scaled) < kLimit && scaled / kScale == v) {
        const auto n = qint64(scaled);
        const quint64 zigzag = (quint64(n) << 1) ^ quint64(n >> 63);
        putVarint(out, zigzag << 1);
        return;
    }
    putVarint(out, 1);
    char raw[sizeof(double)];
    std::memcpy(raw, &v, sizeof v);
    out.append(raw, sizeof raw);
}

bool getValue(const QByteArray& in, qsizetype& pos, double& v)
{
    quint64 tagged = 0;
    if (!getVarint(in, pos, tagged))
        return false;
    if (tagged & 1) {
        if (pos + qsizetype(sizeof(double)) > in.size())
            return false;
        std::memcpy(&v, in.constData() + pos, sizeof v);
        pos += sizeof v;
        return true;
    }
    const quint64 zigzag = tagged >> 1;
    const auto n = qint64(zigzag >> 1) ^ -qint64(zigzag & 1);
    v = double(n) / kScale;
    return true;
}

template <typename F>
void eachValue(F&& f, auto& r)
{
    for (size_t k = 0; k < 4; ++k) {
        f(r.OutRate[k]);
        f(r.OutDeviation[k]);
        f(r.OutThickness[k]);
        f(r.OutPower[k]);
    }
    for (size_t k = 0; k < 4; ++k) {
        f(r.SensorRate[k]);
        f(r.SensorThickness[k]);
        f(r.SensorFrequency[k]);
    }
}

} // namespace

QByteArray EncodeSampleValues(const ReadingsRecord& r)
{
    QByteArray out;
    out.reserve(96);
    eachValue([&out](double v) { putValue(out, v); }, r);
    return out;
}

bool DecodeSampleValues(const QByteArray& blob, ReadingsRecord& r)
{
    qsizetype pos = 0;
    bool ok = true;
    eachValue(
        [&](double& v) {
            if (ok)
                ok = getValue(blob, pos, v);
        },
        r);
    return ok && pos == blob.size();
}
