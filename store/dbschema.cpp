#include "store/dbschema.h"

#include <array>
#include <type_traits>

namespace {

using P = ProcessRecord;
using L = LayerRecord;
using F = FilmRecord;
using M = MaterialRecord;
using S = SystemRecord;

constexpr auto I = ColType::Integer;
constexpr auto D = ColType::Double;
constexpr auto B = ColType::Boolean;
constexpr auto T = ColType::Text;

const std::array<DbTableInfo, 7> kTables{{
    {DbTable::Processes, "Processes", "Process_Number", MaxProcesses},
    {DbTable::Layers, "Layers", "Layer_Number", MaxLayers},
    {DbTable::Films, "Films", "Film_Number", MaxFilms},
    {DbTable::Materials, "Materials", "MatNum", MaxMaterials},
    {DbTable::System, "System", nullptr, 1},
    {DbTable::Inputs, "Inputs", "InputNum", MaxInputs},
    {DbTable::Outputs, "Outputs", "OutputNum", MaxOutputs},
}};

const DbColumn<P> kProcess[] = {
    {"Process_Name", T, &P::Process_Name},
    {"First_Layer", I, &P::First_Layer},
    {"Number_Layers", I, &P::Number_Layers},
    {"Number_Act_Layers", I, &P::Number_Act_Layers},
};

const DbColumn<L> kLayer[] = {
    {"Rate", D, &L::Rate},
    {"Time_Setpoint", I, &L::Time_Setpoint},
    {"Final_Thick", D, &L::Final_Thick},
    {"Thick_Limit", D, &L::Thick_Limit},
    {"Film_Number", I, &L::Film_Number},
    {"Start_Mode", I, &L::Start_Mode},
    {"Next_Layer", I, &L::Next_Layer},
    {"CoDep_Layer", I, &L::CoDep_Layer},
    {"Sensor1", I, &L::Sensor1},
    {"Sensor2", I, &L::Sensor2},
    {"Sensor3", I, &L::Sensor3},
    {"Sensor4", I, &L::Sensor4},
    {"Output_Number", I, &L::Output_Number},
    {"Max_Power1", D, &L::Max_Power1},
    {"Slew_Rate1", D, &L::Slew_Rate1},
    {"Ramp1_Enabled", B, &L::Ramp1_Enabled},
    {"Ramp1_Start", D, &L::Ramp1_Start},
    {"Ramp1_Rate", D, &L::Ramp1_Rate},
    {"Ramp1_Time", I, &L::Ramp1_Time},
    {"Ramp2_Enabled", B, &L::Ramp2_Enabled},
    {"Ramp2_Start", D, &L::Ramp2_Start},
    {"Ramp2_Rate", D, &L::Ramp2_Rate},
    {"Ramp2_Time", I, &L::Ramp2_Time},
};

const DbColumn<F> kFilm[] = {
    {"Film_Name", T, &F::Film_Name},
    {"Pterm", D, &F::Pterm},
    {"Iterm", D, &F::Iterm},
    {"Dterm", D, &F::Dterm},
    {"Material_Index", I, &F::Material_Index},
    {"Ramp1_Power", D, &F::Ramp1_Power},
    {"Ramp1_Time", I, &F::Ramp1_Time},
    {"Soak1_Time", D, &F::Soak1_Time},
    {"Ramp2_Power", D, &F::Ramp2_Power},
    {"Ramp2_Time", I, &F::Ramp2_Time},
    {"Soak2_Time", D, &F::Soak2_Time},
    {"Feed_Power", D, &F::Feed_Power},
    {"Feed_Ramp", D, &F::Feed_Ramp},
    {"Feed_Time", I, &F::Feed_Time},
    {"Idle_Power", D, &F::Idle_Power},
    {"Idle_Ramp_Time", I, &F::Idle_Ramp_Time},
    {"Pocket", I, &F::Pocket},
    {"Tooling", I, &F::Tooling},
    {"Crystal_Fail", I, &F::Crystal_Fail},
    {"Crystal_Quality", I, &F::Crystal_Quality},
    {"Crystal_Stability", I, &F::Crystal_Stability},
    {"Shutter_Delay", I, &F::Shutter_Delay},
    {"Capture", D, &F::Capture},
    {"Control_Error", I, &F::Control_Error},
    {"Control_Error_Percent", D, &F::Control_Error_Percent},
    {"Sampling", I, &F::Sampling},
    {"Sample_Accuracy", D, &F::Sample_Accuracy},
    {"Sample_Time", I, &F::Sample_Time},
    {"Sample_Hold", I, &F::Sample_Hold},
};

const DbColumn<M> kMaterial[] = {
    {"Material", T, &M::Material},
    {"Density", D, &M::Density},
    {"ZFactor", D, &M::ZFactor},
};

// "Min Freq" and "Max Freq" are hertz in the file, megahertz in memory; the
// reader and writer convert.
const DbColumn<S> kSystem[] = {
    {"Period", D, &S::Period},
    {"System Tooling", I, &S::System_Tooling},
    {"Xtool1", I, &S::Xtool1},
    {"Xtool2", I, &S::Xtool2},
    {"Xtool3", I, &S::Xtool3},
    {"Xtool4", I, &S::Xtool4},
    {"Simulate Mode", I, &S::Simulate_Mode},
    {"Min Freq", D, &S::Min_Freq},
    {"Max Freq", D, &S::Max_Freq},
    {"Power Scale 1", D, &S::Power_Scale_1},
    {"Power Scale 2", D, &S::Power_Scale_2},
    {"Power Scale 3", D, &S::Power_Scale_3},
    {"Power Scale 4", D, &S::Power_Scale_4},
};

const DbColumn<InputRecord> kInput[] = {
    {"Input Type", I, &InputRecord::Input_Type},
};

const DbColumn<OutputRecord> kOutput[] = {
    {"Output Type", I, &OutputRecord::Output_Type},
};

// The value a column starts with when a row is added without it, or when an
// older file that lacks the column is copied in: the record's own default,
// and the creation value of a missing row where the load gives one (-1 for
// First_Layer, 46 and 69 for the input and relay codes). Texts start empty.
template <typename R>
QString defaultText(const DbColumn<R>& c, const R& rec)
{
    return std::visit(
        [&](auto member) -> QString {
            using T = std::remove_cvref_t<decltype(rec.*member)>;
            if constexpr (std::is_same_v<T, Name16>)
                return QStringLiteral("''");
            else if constexpr (std::is_same_v<T, qint16>)
                return QString::number(rec.*member);
            else if (c.type == ColType::Boolean)
                return rec.*member != 0.0 ? QStringLiteral("1") : QStringLiteral("0");
            else
                return QString::number(rec.*member, 'g', 15);
        },
        c.field);
}

// fixedDefault, when given, is the default of every column of the table.
template <typename R>
void appendColumns(std::span<const DbColumn<R>> cols, QStringList& names, QStringList* defs,
                   const R& defaults = R{}, const char* fixedDefault = nullptr)
{
    for (const auto& c : cols) {
        const QString name = QString::fromLatin1(c.name);
        names << name;
        if (defs) {
            const char* type = c.type == ColType::Double ? "REAL"
                               : c.type == ColType::Text ? "TEXT"
                                                         : "INTEGER";
            *defs << SqlName(name) + QLatin1Char(' ') + QLatin1String(type) + QStringLiteral(" DEFAULT ") +
                         (fixedDefault ? QString::fromLatin1(fixedDefault) : defaultText(c, defaults));
        }
    }
}

SystemRecord systemDefaults()
{
    SystemRecord s; // the file holds hertz
    s.Min_Freq *= 1000000.0;
    s.Max_Freq *= 1000000.0;
    return s;
}

void columnsOf(DbTable t, QStringList& names, QStringList* defs)
{
    const DbTableInfo& info = DbTableOf(t);
    if (info.key) {
        names << QString::fromLatin1(info.key);
        if (defs)
            *defs << SqlName(QString::fromLatin1(info.key)) + QStringLiteral(" INTEGER PRIMARY KEY");
    }
    switch (t) {
    case DbTable::Processes:
        appendColumns(ProcessColumns(), names, defs);
        break;
    case DbTable::Layers:
        appendColumns(LayerColumns(), names, defs);
        break;
    case DbTable::Films:
        appendColumns(FilmColumns(), names, defs);
        break;
    case DbTable::Materials:
        appendColumns(MaterialColumns(), names, defs);
        break;
    case DbTable::System:
        appendColumns(SystemColumns(), names, defs, systemDefaults());
        break;
    // The codes of a missing row, not the record's reset value.
    case DbTable::Inputs:
        appendColumns(InputColumns(), names, defs, InputRecord{}, "46");
        break;
    case DbTable::Outputs:
        appendColumns(OutputColumns(), names, defs, OutputRecord{}, "69");
        break;
    }
}

} // namespace

QString DBProgramVersion()
{
    return QStringLiteral("1.10");
}

std::span<const DbTableInfo> DbTables()
{
    return kTables;
}

const DbTableInfo& DbTableOf(DbTable t)
{
    return kTables[static_cast<std::size_t>(t)];
}

std::span<const DbColumn<ProcessRecord>> ProcessColumns()
{
    return kProcess;
}
std::span<const DbColumn<LayerRecord>> LayerColumns()
{
    return kLayer;
}
std::span<const DbColumn<FilmRecord>> FilmColumns()
{
    return kFilm;
}
std::span<const DbColumn<MaterialRecord>> MaterialColumns()
{
    return kMaterial;
}
std::span<const DbColumn<SystemRecord>> SystemColumns()
{
    return kSystem;
}
std::span<const DbColumn<InputRecord>> InputColumns()
{
    return kInput;
}
std::span<const DbColumn<OutputRecord>> OutputColumns()
{
    return kOutput;
}

QStringList DbColumnNames(DbTable t)
{
    QStringList names;
    columnsOf(t, names, nullptr);
    return names;
}

QStringList DbCreateStatements()
{
    QStringList out;
    for (const auto& info : kTables) {
        QStringList names;
        QStringList defs;
        columnsOf(info.id, names, &defs);
        out << QStringLiteral("CREATE TABLE %1 (%2)")
                   .arg(SqlName(QString::fromLatin1(info.name)), defs.join(QStringLiteral(", ")));
    }
    out << QStringLiteral("CREATE TABLE DBProperties (Name TEXT PRIMARY KEY, Value TEXT)");
    out << QStringLiteral("INSERT INTO DBProperties (Name, Value) VALUES ('Version', '%1')")
               .arg(DBProgramVersion());
    return out;
}

QString SqlName(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}
