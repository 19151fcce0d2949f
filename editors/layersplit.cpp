#include "editors/layersplit.h"

#include "store/modelfields.h"
#include "support/numbers.h"

#include <cmath>

namespace {

// Upper limits of the spinners, from the field table.
int wholeMax(double LayerRecord::*f)
{
    return int(FieldSpecOf(f).maximum);
}
int wholeMax(qint16 LayerRecord::*f)
{
    return int(FieldSpecOf(f).maximum);
}

// Rate: the whole part goes onto its spinner first and the tenths are taken
// against the spinner's value, so a clamped whole part gives 99.9, not 99.x.
TenthsPair loadRate(double v)
{
    const int whole = ClampInt(std::floor(v), 0, wholeMax(&LayerRecord::Rate));
    return {whole, ClampInt(RoundHalfEven((v - whole) * 10), 0, 9)};
}

// Max power and slew rate: each part is set only when its spinner can hold
// it; otherwise the spinner keeps its initial 0 (100.0 shows 0.0).
TenthsPair loadPower(double v, int maxWhole)
{
    TenthsPair p;
    const double whole = std::floor(v);
    if (InRange(whole, 0, maxWhole))
        p.whole = int(whole);
    const double tenths = RoundHalfEven((v - whole) * 10);
    if (InRange(tenths, 0, 9))
        p.tenths = int(tenths);
    return p;
}

double powerValue(const TenthsPair& p)
{
    return p.whole + p.tenths / 10.0;
}

} // namespace

LayerEdit LoadLayerEdit(const LayerRecord& l)
{
    LayerEdit e;
    const int thickMax = wholeMax(&LayerRecord::Final_Thick);
    const int timeMax = wholeMax(&LayerRecord::Time_Setpoint);
    const double rates[3] = {l.Rate, l.Ramp1_Rate, l.Ramp2_Rate};
    const double thicks[3] = {l.Final_Thick, l.Ramp1_Start, l.Ramp2_Start};
    const int times[3] = {l.Time_Setpoint, l.Ramp1_Time, l.Ramp2_Time};
    for (size_t i = 0; i < 3; ++i) {
        e.rate[i] = loadRate(rates[i]);
        e.thick[i] = SplitThousandths(thicks[i], thickMax);
        e.time[i] = ClampInt(times[i], 0, timeMax);
    }
    e.rampOn[1] = l.Ramp1_Enabled != 0;
    e.rampOn[2] = l.Ramp2_Enabled != 0;
    e.thickSetpoint = SplitThousandths(l.Thick_Limit, wholeMax(&LayerRecord::Thick_Limit));
    e.startMode = ClampInt(l.Start_Mode, 0, 1);
    e.maxPower = loadPower(l.Max_Power1, wholeMax(&LayerRecord::Max_Power1));
    e.slewRate = loadPower(l.Slew_Rate1, wholeMax(&LayerRecord::Slew_Rate1));
    e.filmEntry = ClampInt(l.Film_Number, 1, MaxFilms) - 1;
    e.sensors = {l.Sensor1 == 1, l.Sensor2 == 1, l.Sensor3 == 1, l.Sensor4 == 1};
    e.output = InRange(l.Output_Number, 1, 4) ? l.Output_Number : 0;
    return e;
}

void StoreLayerEdit(const LayerEdit& e, LayerRecord& l)
{
    const auto rate = [&](size_t i) { return LeadingNumber(LayerRateText(e.rate[i])); };
    const auto thick = [&](const ThousandthsGroup& g) { return LeadingNumber(ThousandthsText(g)); };
    l.Rate = rate(0);
    l.Final_Thick = thick(e.thick[0]);
    l.Time_Setpoint = qint16(e.time[0]);
    l.Ramp1_Enabled = e.rampOn[1] ? 1.0 : 0.0;
    l.Ramp1_Rate = rate(1);
    l.Ramp1_Start = thick(e.thick[1]);
    l.Ramp1_Time = qint16(e.time[1]);
    l.Ramp2_Enabled = e.rampOn[2] ? 1.0 : 0.0;
    l.Ramp2_Rate = rate(2);
    l.Ramp2_Start = thick(e.thick[2]);
    l.Ramp2_Time = qint16(e.time[2]);
    l.Thick_Limit = thick(e.thickSetpoint);
    l.Film_Number = qint16(e.filmEntry + 1);
    l.Start_Mode = qint16(e.startMode);
    l.Sensor1 = e.sensors[0] ? 1 : 0;
    l.Sensor2 = e.sensors[1] ? 1 : 0;
    l.Sensor3 = e.sensors[2] ? 1 : 0;
    l.Sensor4 = e.sensors[3] ? 1 : 0;
    if (e.output >= 1 && e.output <= 4)
        l.Output_Number = qint16(e.output);
    l.Max_Power1 = powerValue(e.maxPower);
    l.Slew_Rate1 = powerValue(e.slewRate);
}

QString LayerRateText(const TenthsPair& p)
{
    return FormatNumber(p.whole + p.tenths / 10.0, u"0.0");
}

QString StartModeText(int startMode)
{
    return startMode == 1 ? QStringLiteral("Auto") : QStringLiteral("Manual");
}

QString NumberedNameEntry(int number, const QString& name16)
{
    return QString::number(number) + QStringLiteral(". ") + name16;
}
