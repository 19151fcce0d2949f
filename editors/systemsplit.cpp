#include "editors/systemsplit.h"

#include "editors/decimalsplit.h"
#include "store/modelfields.h"
#include "support/numbers.h"

namespace {

using S = SystemRecord;
constexpr std::array<double S::*, kSysParams> kSysFields = {
    &S::Period,        &S::Min_Freq,      &S::Max_Freq,     &S::Power_Scale_1,
    &S::Power_Scale_2, &S::Power_Scale_3, &S::Power_Scale_4};
constexpr std::array<qint16 S::*, 4> kXtools = {&S::Xtool1, &S::Xtool2, &S::Xtool3, &S::Xtool4};

QStringList buildInputs()
{
    QStringList l = {"Start Process", "Abort Process",    "Start Layer",
                     "Stop Layer",    "Start Next Layer", "Force Final Thick"};
    for (int p = 1; p <= 25; ++p)
        l << QStringLiteral("Start Process %1").arg(p);
    l << "Soak Hold"
      << "Zero Thickness"
      << "Zero Time";
    for (int o = 1; o <= 4; ++o)
        l << QStringLiteral("Out%1 Pocket Rdy").arg(o);
    for (int x = 1; x <= 6; ++x)
        l << QStringLiteral("Multi Xtal %1").arg(x);
    l << "Interlock"
      << "None";
    return l;
}

QStringList buildRelays()
{
    QStringList l;
    for (const char* what : {"Source %1 Shutter", "Sensor %1 Shutter", "Sensor %1 Fail"})
        for (int n = 1; n <= 4; ++n)
            l << QString::fromLatin1(what).arg(n);
    l << "All Crystal Good"
      << "All Crystal Fail"
      << "Process Hold"
      << "Deposit Phase"
      << "PreCond Phase"
      << "SoakHold Phase"
      << "Process Active"
      << "Manual Mode"
      << "Max Power"
      << "Stopped"
      << "Time Setpoint"
      << "Thick. Limit"
      << "Final Thickness"
      << "Dual Xtal Shtr 1"
      << "Dual Xtal Shtr 3";
    for (int n = 1; n <= 4; ++n)
        l << QStringLiteral("Multi Xtal %1 Move").arg(n);
    for (int o = 1; o <= 4; ++o)
        for (int p = 1; p <= 8; ++p)
            l << QStringLiteral("Out %1 Pocket %2").arg(o).arg(p);
    l << "Not Used";
    for (int n = 1; n <= 4; ++n)
        l << QStringLiteral("Source %1 Enable").arg(n);
    l << "None";
    return l;
}

int entryOf(int code, int count)
{
    return InRange(code, 1, count) ? code - 1 : count - 1;
}

} // namespace

float PeriodListValue(int index)
{
    return float(FieldSpecOf(&S::Period).valueAt(index));
}

int PeriodIndexAtLeast(double v)
{
    int i = 0;
    while (i < kPeriods - 1 && double(PeriodListValue(i)) < v)
        ++i;
    return i;
}

int SysParamMin(int index)
{
    return FieldSpecOf(kSysFields[size_t(index)]).minSteps();
}

int SysParamMax(int index)
{
    return FieldSpecOf(kSysFields[size_t(index)]).maxSteps();
}

const QStringList& InputEventNames()
{
    static const QStringList names = buildInputs();
    return names;
}

const QStringList& RelayEventNames()
{
    static const QStringList names = buildRelays();
    return names;
}

SystemEdit LoadSystemEdit(const ParameterModel& m)
{
    const SystemRecord& s = m.SystemParams;
    SystemEdit e;
    e.simulateOn = s.Simulate_Mode != 0;
    // Below the list's first value or above its last, the period clamps to that end.
    e.sysParam[0] = s.Period < double(PeriodListValue(0)) ? 0 : PeriodIndexAtLeast(s.Period);
    const auto tooling = FieldSpecOf(&S::System_Tooling);
    e.sysTool = ClampInt(s.System_Tooling, tooling.minSteps(), tooling.maxSteps());
    for (size_t i = 0; i < 4; ++i)
        e.xtool[i] = ClampInt(s.*kXtools[i], tooling.minSteps(), tooling.maxSteps());
    const auto spin = [&](int i) {
        return ClampInt(RoundHalfEven(s.*kSysFields[size_t(i)] * 10), SysParamMin(i), SysParamMax(i));
    };
    for (int i = 3; i < kSysParams; ++i)
        e.sysParam[size_t(i)] = spin(i);
    // The frequencies go on one after the other, each pushing an equal
    // partner aside as the spinners' own change handlers do.
    e.sysParam[1] = spin(1);
    OrderFrequencies(1, e.sysParam);
    e.sysParam[2] = spin(2);
    OrderFrequencies(2, e.sysParam);
    for (size_t n = 0; n < MaxInputs; ++n)
        e.input[n] = entryOf(m.InputTable[n].Input_Type, kInputEvents);
    for (size_t n = 0; n < MaxOutputs; ++n)
        e.relay[n] = entryOf(m.OutputTable[n].Output_Type, kRelayEvents);
    return e;
}

void StoreSystemEdit(const SystemEdit& e, ParameterModel& m)
{
    SystemRecord& s = m.SystemParams;
    s.Period = double(PeriodListValue(e.sysParam[0]));
    s.System_Tooling = qint16(e.sysTool);
    for (size_t i = 0; i < 4; ++i)
        s.*kXtools[i] = qint16(e.xtool[i]);
    s.Simulate_Mode = e.simulateOn ? 1 : 0;
    for (int i = 1; i < kSysParams; ++i)
        s.*kSysFields[size_t(i)] = e.sysParam[size_t(i)] / 10.0;
    for (size_t n = 0; n < MaxInputs; ++n)
        m.InputTable[n].Input_Type = qint16(e.input[n] + 1);
    for (size_t n = 0; n < MaxOutputs; ++n)
        m.OutputTable[n].Output_Type = qint16(e.relay[n] + 1);
}

QString SysParamText(int index, int v)
{
    if (index == 0)
        return QString::number(double(PeriodListValue(v)), 'g', 7); // single precision: 0.15, not 0.150000006
    if (index <= 2)
        return FormatNumber(v / 10.0, u"0.0");
    return PlainNumber(v / 10.0);
}

int TypedSysParam(int index, const QString& text)
{
    const double v = LeadingNumber(text);
    if (index == 0)
        return PeriodIndexAtLeast(qBound(0.1, v, 1.0));
    const int lo = SysParamMin(index);
    const int hi = SysParamMax(index);
    if (v < lo / 10.0)
        return lo;
    if (v > hi / 10.0)
        return hi;
    return ClampInt(RoundHalfEven(v * 10), lo, hi);
}

void OrderFrequencies(int changed, std::array<int, kSysParams>& p, bool typed)
{
    // A spinner may jump past its partner (PageUp, End, several wheel notches);
    // a typed value is corrected only when it meets it.
    if (typed ? p[1] != p[2] : p[1] < p[2])
        return;
    if (changed == 1)
        p[2] = qMin(p[1] + 1, SysParamMax(2));
    else if (changed == 2)
        p[1] = qMax(p[2] - 1, SysParamMin(1));
}

bool FrequenciesOrdered(const std::array<int, kSysParams>& p)
{
    return p[1] < p[2];
}
