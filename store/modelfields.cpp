#include "store/modelfields.h"

#include "support/modutil.h"
#include "support/numbers.h"

#include <cmath>
#include <cstring>

#include <array>

namespace {

// Shared ranges, in field units.
constexpr double kRateMax = 99.9;      // rates, powers, percentages: 0.0..99.9 by 0.1
constexpr double kThickMax = 99.999;   // thicknesses: 0.000..99.999 kÅ
constexpr double kLayerTimeMax = 5999; // layer times, in the instrument's own unit
constexpr double kFilmTimeMax = 3600;  // film times: 0..1:00:00
constexpr double kToolingMin = 10;
constexpr double kToolingMax = 399;

constexpr const char* kFree = "g"; // any number, shown as it stands

// The measurement periods the instrument offers, in seconds.
constexpr std::array<float, 9> kPeriods = {0.1f, 0.15f, 0.2f, 0.25f, 0.3f, 0.4f, 0.5f, 0.75f, 1.0f};

using L = LayerRecord;
const std::array<FieldSpec<L>, 24> kLayer = {{
    {"Rate", &L::Rate, 0, kRateMax, 0.1, "0.0", "Å/s"},
    {"Final_Thick", &L::Final_Thick, 0, kThickMax, 0.001, "0.000", "kÅ"},
    {"Time_Setpoint", &L::Time_Setpoint, 0, kLayerTimeMax, 1, "", ""},
    {"Thick_Limit", &L::Thick_Limit, 0, kThickMax, 0.001, "0.000", "kÅ"},
    {"Output_Number", &L::Output_Number, 1, 4, 1, "", ""},
    {"Max_Power1", &L::Max_Power1, 0, kRateMax, 0.1, "0.0", "%"},
    {"Slew_Rate1", &L::Slew_Rate1, 0, kRateMax, 0.1, "0.0", "%/s"},
    {"Sensor1", &L::Sensor1, 0, 1, 1, "", ""},
    {"Sensor2", &L::Sensor2, 0, 1, 1, "", ""},
    {"Sensor3", &L::Sensor3, 0, 1, 1, "", ""},
    {"Sensor4", &L::Sensor4, 0, 1, 1, "", ""},
    {"Ramp1_Enabled", &L::Ramp1_Enabled, 0, 1, 1, "", ""},
    {"Ramp1_Start", &L::Ramp1_Start, 0, kThickMax, 0.001, "0.000", "kÅ"},
    {"Ramp1_Rate", &L::Ramp1_Rate, 0, kRateMax, 0.1, "0.0", "Å/s"},
    {"Ramp1_Time", &L::Ramp1_Time, 0, kLayerTimeMax, 1, "", ""},
    {"Ramp2_Enabled", &L::Ramp2_Enabled, 0, 1, 1, "", ""},
    {"Ramp2_Start", &L::Ramp2_Start, 0, kThickMax, 0.001, "0.000", "kÅ"},
    {"Ramp2_Rate", &L::Ramp2_Rate, 0, kRateMax, 0.1, "0.0", "Å/s"},
    {"Ramp2_Time", &L::Ramp2_Time, 0, kLayerTimeMax, 1, "", ""},
    {"Film_Number", &L::Film_Number, 1, MaxFilms, 1, "", "", {}, true},
    {"Next_Layer", &L::Next_Layer, 1, MaxLayers, 1, "", "", {}, true},
    {"CoDep_Layer", &L::CoDep_Layer, 1, MaxLayers, 1, "", "", {}, true},
    {"Start_Mode", &L::Start_Mode, 0, 1, 1, "", ""},
    {"Layer_Free", &L::Layer_Free, 0, 1, 1, "", ""},
}};

using F = FilmRecord;
const std::array<FieldSpec<F>, 28> kFilm = {{
    {"Pterm", &F::Pterm, 0, 999, 1, kFree, ""}, // the spinner's range; a typed term is free
    {"Iterm", &F::Iterm, 0, kRateMax, 0.1, "0.0", ""},
    {"Dterm", &F::Dterm, 0, kRateMax, 0.1, "0.0", ""},
    {"Material_Index", &F::Material_Index, 1, MaxMaterials, 1, "", ""},
    {"Pocket", &F::Pocket, 0, 8, 1, "", ""},
    {"Tooling", &F::Tooling, kToolingMin, kToolingMax, 1, "", "%"},
    {"Crystal_Quality", &F::Crystal_Quality, 0, 9, 1, "", "%"},
    {"Crystal_Stability", &F::Crystal_Stability, 0, 9, 1, "", "Hz"},
    {"Crystal_Fail", &F::Crystal_Fail, 0, 1, 1, "", ""},
    {"Ramp1_Power", &F::Ramp1_Power, 0, kRateMax, 0.1, "0.0", "%"},
    {"Ramp1_Time", &F::Ramp1_Time, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Soak1_Time", &F::Soak1_Time, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Ramp2_Power", &F::Ramp2_Power, 0, kRateMax, 0.1, "0.0", "%"},
    {"Ramp2_Time", &F::Ramp2_Time, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Soak2_Time", &F::Soak2_Time, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Idle_Power", &F::Idle_Power, 0, kRateMax, 0.1, "0.0", "%"},
    {"Idle_Ramp_Time", &F::Idle_Ramp_Time, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Feed_Power", &F::Feed_Power, 0, kRateMax, 0.1, "0.0", "%"},
    {"Feed_Ramp", &F::Feed_Ramp, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Feed_Time", &F::Feed_Time, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Shutter_Delay", &F::Shutter_Delay, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Capture", &F::Capture, 0, kRateMax, 0.1, "", "%"},
    {"Control_Error", &F::Control_Error, 0, 2, 1, "", ""},
    {"Control_Error_Percent", &F::Control_Error_Percent, 0, kRateMax, 0.1, "", "%"},
    {"Sampling", &F::Sampling, 0, 2, 1, "", ""},
    {"Sample_Accuracy", &F::Sample_Accuracy, 0, kRateMax, 0.1, "0.0", "%"},
    {"Sample_Hold", &F::Sample_Hold, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
    {"Sample_Time", &F::Sample_Time, 0, kFilmTimeMax, 1, "h:mm:ss", "s"},
}};

using M = MaterialRecord;
const std::array<FieldSpec<M>, 2> kMaterial = {{
    {"Density", &M::Density, 0.40, 99.99, 0.01, "0.00", "g/cm³"},
    {"ZFactor", &M::ZFactor, 0.10, 9.99, 0.01, "0.00", ""},
}};

using S = SystemRecord;
const std::array<FieldSpec<S>, 13> kSystem = {{
    {"Period", &S::Period, 0.1, 1.0, 0.05, "", "s", kPeriods},
    {"System Tooling", &S::System_Tooling, kToolingMin, kToolingMax, 1, "", "%"},
    {"Xtool1", &S::Xtool1, kToolingMin, kToolingMax, 1, "", "%"},
    {"Xtool2", &S::Xtool2, kToolingMin, kToolingMax, 1, "", "%"},
    {"Xtool3", &S::Xtool3, kToolingMin, kToolingMax, 1, "", "%"},
    {"Xtool4", &S::Xtool4, kToolingMin, kToolingMax, 1, "", "%"},
    {"Simulate Mode", &S::Simulate_Mode, 0, 1, 1, "", ""},
    {"Min Freq", &S::Min_Freq, 1.0, 6.4, 0.1, "0.0", "MHz"},
    {"Max Freq", &S::Max_Freq, 1.1, 6.5, 0.1, "0.0", "MHz"},
    {"Power Scale 1", &S::Power_Scale_1, -10.0, 10.0, 0.1, "", "V"},
    {"Power Scale 2", &S::Power_Scale_2, -10.0, 10.0, 0.1, "", "V"},
    {"Power Scale 3", &S::Power_Scale_3, -10.0, 10.0, 0.1, "", "V"},
    {"Power Scale 4", &S::Power_Scale_4, -10.0, 10.0, 0.1, "", "V"},
}};

const std::array<FieldSpec<InputRecord>, 1> kInput = {{
    {"Input Type", &InputRecord::Input_Type, 1, 46, 1, "", ""},
}};
const std::array<FieldSpec<OutputRecord>, 1> kOutput = {{
    {"Output Type", &OutputRecord::Output_Type, 1, 69, 1, "", ""},
}};

int steps(double v, double step)
{
    return int(RoundHalfEven(v / step));
}

} // namespace

template <typename Record>
int FieldSpec<Record>::minSteps() const
{
    return values.empty() ? steps(minimum, step) : 0;
}
template <typename Record>
int FieldSpec<Record>::maxSteps() const
{
    return values.empty() ? steps(maximum, step) : int(values.size()) - 1;
}

template <typename Record>
double FieldSpec<Record>::valueAt(int n) const
{
    if (!values.empty())
        return double(values[size_t(qBound(0, n, int(values.size()) - 1))]);
    // Divided rather than multiplied by the step, so 27 hundredths is 0.27 exactly.
    return step < 1 ? n / std::round(1 / step) : n * step;
}

template <typename Record>
bool FieldSpec<Record>::admits(double v) const
{
    if (minusOneIsNone && v == -1)
        return true;
    for (int n = minSteps(); n <= maxSteps(); ++n)
        if (valueAt(n) == v)
            return true;
    return false;
}

template <typename Record>
double FieldSpec<Record>::shown(double v) const
{
    if (!std::isfinite(v) || !values.empty() || std::strcmp(format, kFree) == 0)
        return v;
    const double scale = step < 1 ? std::round(1 / step) : 1;
    if (scale == 1)
        return RoundHalfEven(v);
    const double whole = std::floor(v);
    return whole + RoundHalfEven((v - whole) * scale) / scale;
}

template <typename Record>
bool FieldSpec<Record>::isTime() const
{
    return std::strcmp(format, "h:mm:ss") == 0;
}

template <typename Record>
QString FieldSpec<Record>::text(double v) const
{
    if (isTime())
        return SecondsToTime(qint32(RoundHalfEven(v)));
    if (!values.empty())
        return QString::number(double(float(v)), 'g', 7); // 0.15, not 0.150000006
    if (std::strcmp(format, kFree) == 0)
        return v == 0 ? QStringLiteral("0") : QString::number(v, 'g', 15);
    v = shown(v);
    if (*format)
        return FormatNumber(v, QString::fromLatin1(format));
    const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : step >= 0.01 ? 2 : 3;
    QString t =
        FormatNumber(v, decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, u'0'));
    if (decimals > 0) {
        while (t.endsWith(u'0'))
            t.chop(1);
        if (t.endsWith(u'.'))
            t.chop(1);
    }
    return t;
}

template <typename Record>
QString FieldSpec<Record>::textWithUnit(double v) const
{
    const QString u = QString::fromUtf8(unit);
    return u.isEmpty() || isTime() ? text(v) : text(v) + u' ' + u;
}

template <>
std::span<const FieldSpec<LayerRecord>> FieldSpecs<LayerRecord>()
{
    return kLayer;
}
template <>
std::span<const FieldSpec<FilmRecord>> FieldSpecs<FilmRecord>()
{
    return kFilm;
}
template <>
std::span<const FieldSpec<MaterialRecord>> FieldSpecs<MaterialRecord>()
{
    return kMaterial;
}
template <>
std::span<const FieldSpec<SystemRecord>> FieldSpecs<SystemRecord>()
{
    return kSystem;
}
template <>
std::span<const FieldSpec<InputRecord>> FieldSpecs<InputRecord>()
{
    return kInput;
}
template <>
std::span<const FieldSpec<OutputRecord>> FieldSpecs<OutputRecord>()
{
    return kOutput;
}

template struct FieldSpec<LayerRecord>;
template struct FieldSpec<FilmRecord>;
template struct FieldSpec<MaterialRecord>;
template struct FieldSpec<SystemRecord>;
template struct FieldSpec<InputRecord>;
template struct FieldSpec<OutputRecord>;
