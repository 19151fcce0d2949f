#include "editors/materialsplit.h"

#include "editors/decimalsplit.h"
#include "support/numbers.h"

int HundredthsSpin(double v, int lo, int hi)
{
    return ClampInt(RoundHalfEven(v * 100), lo, hi);
}

QString HundredthsText(int spin)
{
    return FormatNumber(spin / 100.0, u"0.00");
}

double StoredHundredths(int spin)
{
    return double(float(LeadingNumber(HundredthsText(spin))));
}

EntryCheck CheckHundredthsEntry(const QString& text, int lo, int hi)
{
    const QString low = HundredthsText(lo);
    const QString high = HundredthsText(hi);
    const double v = LeadingNumber(text);
    if (v < LeadingNumber(low) || v > LeadingNumber(high))
        return {false, 0,
                QStringLiteral("Valid values are ") + low + QStringLiteral(" to ") + high + QLatin1Char('.')};
    return {true, ClampInt(RoundHalfEven(v * 100), lo, hi), {}};
}
