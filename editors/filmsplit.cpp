#include "editors/filmsplit.h"

#include "editors/decimalsplit.h"
#include "store/modelfields.h"
#include "support/modutil.h"
#include "support/numbers.h"

#include <cmath>

namespace {

using F = FilmRecord;
using T = FilmTab;
using K = PairKind;
const std::array<FilmPairRow, kFilmPairs> kPairs = {{
    {T::Main, "Integral", "spnIntegTerm", "spnIntegTermTenths", "txtIterm", &F::Iterm, K::Tenths},
    {T::Main, "Derivative", "spnDerivativeTerm", "spnDerivativeTermTenths", "txtDterm", &F::Dterm, K::Tenths},
    {T::Conditioning, "Ramp 1 Power", "spnRamp1Power_1", "spnRamp1Power_0", "txtRamp1Power", &F::Ramp1_Power,
     K::Tenths},
    {T::Conditioning, "Ramp 1 Time", "spnRamp1Time_1", "spnRamp1Time_0", "txtRamp1Time", &F::Ramp1_Time,
     K::Time},
    {T::Conditioning, "Soak 1 Time", "spnSoak1Time_1", "spnSoak1Time_0", "txtSoak1Time", &F::Soak1_Time,
     K::Time},
    {T::Conditioning, "Ramp 2 Power", "spnRamp2Power_1", "spnRamp2Power_0", "txtRamp2Power", &F::Ramp2_Power,
     K::Tenths},
    {T::Conditioning, "Ramp 2 Time", "spnRamp2Time_1", "spnRamp2Time_0", "txtRamp2Time", &F::Ramp2_Time,
     K::Time},
    {T::Conditioning, "Soak 2 Time", "spnSoak2Time_1", "spnSoak2Time_0", "txtSoak2Time", &F::Soak2_Time,
     K::Time},
    {T::Conditioning, "Feed Power", "spnFeedPower_1", "spnFeedPower_0", "txtFeedPower", &F::Feed_Power,
     K::Tenths},
    {T::Conditioning, "Feed Ramp", "spnFeedRamp_1", "spnFeedRamp_0", "txtFeedRamp", &F::Feed_Ramp, K::Time},
    {T::Conditioning, "Feed Time", "spnFeedTime_1", "spnFeedTime_0", "txtFeedTime", &F::Feed_Time, K::Time},
    {T::Conditioning, "Idle Power", "spnIdlePower_1", "spnIdlePower_0", "txtIdlePower", &F::Idle_Power,
     K::Tenths},
    {T::Conditioning, "Idle Ramp", "spnIdleRampTime_1", "spnIdleRampTime_0", "txtIdleRampTime",
     &F::Idle_Ramp_Time, K::Time},
    {T::Controls, "Delay Time", "spnShutterDelayMins", "spnShutterDelaySecs", "txtShutterDelay",
     &F::Shutter_Delay, K::Time, true},
    {T::Controls, "Accuracy", "spnAccuracy_1", "spnAccuracy_0", "txtAccuracy", &F::Sample_Accuracy,
     K::Tenths},
    {T::Controls, "Sample Time", "spnSampleTime_1", "spnSampleTime_0", "txtSampleTime", &F::Sample_Time,
     K::Time, true},
    {T::Controls, "Hold Time", "spnHoldTime_1", "spnHoldTime_0", "txtHoldTime", &F::Sample_Hold, K::Time,
     true},
}};

double get(const FilmPairRow& row, const F& f)
{
    if (const auto p = std::get_if<double F::*>(&row.field))
        return f.*(*p);
    return f.*std::get<qint16 F::*>(row.field);
}

void put(const FilmPairRow& row, F& f, double v)
{
    if (const auto p = std::get_if<double F::*>(&row.field))
        f.*(*p) = v;
    else
        f.*std::get<qint16 F::*>(row.field) = qint16(ClampInt(RoundHalfEven(v), -32768, 32767));
}

// Puts v onto a spinner of range lo..hi only when it fits there.
void guarded(int& spinner, double v, int lo, int hi)
{
    if (InRange(v, lo, hi))
        spinner = int(v);
}

template <typename Field>
void guardedField(int& spinner, double v, Field field)
{
    const auto& spec = FieldSpecOf(field);
    guarded(spinner, v, spec.minSteps(), spec.maxSteps());
}

SpinPair loadPair(const FilmPairRow& row, double v, SpinPair s)
{
    const double maximum = std::visit([](auto f) { return FieldSpecOf(f).maximum; }, row.field);
    if (row.kind == PairKind::Tenths) {
        const double whole = std::floor(v);
        guarded(s.high, whole, 0, int(maximum));
        guarded(s.low, RoundHalfEven((v - whole) * 10), 0, 9);
        return s;
    }
    const double minutes = std::floor(v / 60);
    guarded(s.high, minutes, 0, int(maximum / 60));
    const double against = row.secondsFromSpinner ? s.high : minutes;
    guarded(s.low, RoundHalfEven(v - against * 60), 0, 59);
    const MinutesSeconds capped = CapMinutes({s.high, s.low}, kFilmTimeMax);
    return {capped.minutes, capped.seconds};
}

} // namespace

std::span<const FilmPairRow> FilmPairRows()
{
    return kPairs;
}

FilmEdit LoadFilmEdit(const FilmRecord& f, const FilmEdit& previous)
{
    FilmEdit e = previous;
    // The proportional term has no range guard: its spinner is clamped and the
    // box shows the stored number (a typed 12.5 too), which storing reads back.
    const auto& p = FieldSpecOf(&F::Pterm);
    e.propTerm = ClampInt(RoundHalfEven(f.Pterm), p.minSteps(), p.maxSteps());
    e.propText = PlainNumber(f.Pterm);
    for (size_t i = 0; i < kPairs.size(); ++i)
        e.pairs[i] = loadPair(kPairs[i], get(kPairs[i], f), e.pairs[i]);
    guarded(e.material, f.Material_Index - 1, 0, MaxMaterials - 1);
    guardedField(e.pocket, f.Pocket, &F::Pocket);
    guardedField(e.tooling, f.Tooling, &F::Tooling);
    guardedField(e.xtalQual, f.Crystal_Quality, &F::Crystal_Quality);
    guardedField(e.xtalStab, f.Crystal_Stability, &F::Crystal_Stability);
    guardedField(e.xtalFail, f.Crystal_Fail, &F::Crystal_Fail);
    guardedField(e.capture, RoundHalfEven(f.Capture * 10), &F::Capture);
    guardedField(e.controlErrorPct, RoundHalfEven(f.Control_Error_Percent * 10), &F::Control_Error_Percent);
    guardedField(e.controlError, f.Control_Error, &F::Control_Error);
    guardedField(e.sampling, f.Sampling, &F::Sampling);
    return e;
}

void StoreFilmEdit(const FilmEdit& e, FilmRecord& f)
{
    f.Material_Index = qint16(e.material + 1);
    f.Pocket = qint16(e.pocket);
    f.Tooling = qint16(e.tooling);
    f.Pterm = LeadingNumber(e.propText);
    if (e.xtalFail >= 0)
        f.Crystal_Fail = qint16(e.xtalFail);
    f.Crystal_Quality = qint16(e.xtalQual);
    f.Crystal_Stability = qint16(e.xtalStab);
    for (size_t i = 0; i < kPairs.size(); ++i) {
        const QString text = FilmPairText(kPairs[i], e.pairs[i]);
        put(kPairs[i], f, kPairs[i].kind == PairKind::Time ? TimeToSeconds(text) : LeadingNumber(text));
    }
    f.Capture = LeadingNumber(TenthsPercentText(e.capture));
    f.Control_Error_Percent = LeadingNumber(TenthsPercentText(e.controlErrorPct));
    if (e.controlError >= 0)
        f.Control_Error = qint16(e.controlError);
    if (e.sampling >= 0)
        f.Sampling = qint16(e.sampling);
}

QString FilmPairText(const FilmPairRow& row, const SpinPair& p)
{
    if (row.kind == PairKind::Tenths)
        return TenthsText(p.high, p.low);
    return SecondsToTime(qMin(p.high * 60 + p.low, kFilmTimeMax));
}

QString NumberOrWord(int v, const QString& word)
{
    return v == 0 ? word : QString::number(v);
}

QString TenthsPercentText(int tenthsOfPercent)
{
    return PlainNumber(tenthsOfPercent * 0.1);
}

QString FilmCaption(int film, const QString& name16)
{
    return QStringLiteral("Film #") + QString::number(film) + QStringLiteral(": ") + name16;
}
