#include "editors/decimalsplit.h"

#include "support/numbers.h"

#include <cmath>

TenthsPair SplitTenths(double v)
{
    const double whole = std::floor(v);
    return {ClampInt(whole, -1000000, 1000000), ClampInt(RoundHalfEven((v - whole) * 10), -1000000, 1000000)};
}

QString TenthsText(int whole, int tenths)
{
    return QString::number(whole) + QLatin1Char('.') + QString::number(tenths);
}

ThousandthsGroup SplitThousandths(double v, int maxWhole)
{
    const int n = ClampInt(RoundHalfEven(v * 1000), 0, maxWhole * 1000 + 999);
    const int whole = n / 1000;
    const int r = n - whole * 1000;
    return {whole, r / 100, (r % 100) / 10, r % 10};
}

QString ThousandthsText(const ThousandthsGroup& g)
{
    const int n = g.whole * 1000 + g.tenths * 100 + g.hundredths * 10 + g.thousandths;
    return FormatNumber(n / 1000.0, u"0.000");
}

MinutesSeconds SplitMinutes(double t)
{
    const double minutes = std::floor(t / 60);
    return {ClampInt(minutes, -1000000, 1000000),
            ClampInt(RoundHalfEven(t - minutes * 60), -1000000, 1000000)};
}

MinutesSeconds CapMinutes(MinutesSeconds t, int maxSeconds)
{
    if (t.minutes * 60 + t.seconds > maxSeconds)
        t.seconds = 0;
    return t;
}

QString PlainNumber(double v)
{
    if (v == 0)
        return QStringLiteral("0"); // never "-0"
    return QString::number(v, 'g', 15);
}

int ClampInt(double v, int lo, int hi)
{
    if (!(v >= lo)) // NaN too
        return lo;
    if (v > hi)
        return hi;
    return int(v);
}

bool InRange(double v, int lo, int hi)
{
    return v >= lo && v <= hi;
}
