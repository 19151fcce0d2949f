#include "process/processreport.h"

#include "store/model.h"
#include "store/modelfields.h"

#include <QSaveFile>

#include <algorithm>

namespace {

// A record field as a report column: its label and, for coded fields, the
// words of the codes ("|"-separated, code 0 first) or of code 0 alone.
template <typename Record>
struct Column {
    const char* label;
    std::variant<double Record::*, qint16 Record::*> field;
    const char* codes = nullptr; // every code has a word
    const char* zero = nullptr;  // only code 0 has a word
};

template <typename Record>
const FieldSpec<Record>& specOf(const Column<Record>& c)
{
    return std::visit([](auto member) -> const FieldSpec<Record>& { return FieldSpecOf<Record>(member); },
                      c.field);
}

template <typename Record>
QString heading(const Column<Record>& c)
{
    const FieldSpec<Record>& spec = specOf(c);
    const QString label = QString::fromUtf8(c.label);
    if (!*spec.unit || spec.isTime() || c.codes)
        return label;
    return label + QStringLiteral(" (") + QString::fromUtf8(spec.unit) + u')';
}

template <typename Record>
QString cell(const Column<Record>& c, const Record& rec)
{
    const FieldSpec<Record>& spec = specOf(c);
    const double v = FieldValue(spec, rec);
    if (c.codes) {
        const QStringList words = QString::fromUtf8(c.codes).split(u'|');
        const int code = int(v);
        if (code == v && code >= 0 && code < words.size())
            return words.at(code);
    }
    if (c.zero && v == 0)
        return QString::fromUtf8(c.zero);
    return spec.text(v);
}

using L = LayerRecord;
const Column<L> kLayerColumns[] = {
    {"Rate", &L::Rate},
    {"Final Thickness", &L::Final_Thick},
    {"Thickness Setpoint", &L::Thick_Limit},
    {"Time Setpoint", &L::Time_Setpoint},
    {"Start Mode", &L::Start_Mode, "Manual|Auto"},
    {"Max Power", &L::Max_Power1},
    {"Slew Rate", &L::Slew_Rate1},
};

using F = FilmRecord;
const Column<F> kFilmColumns[] = {
    {"Pocket", &F::Pocket, nullptr, "None"},
    {"Tooling", &F::Tooling},
    {"P", &F::Pterm},
    {"I", &F::Iterm},
    {"D", &F::Dterm},
    {"Ramp 1 Power", &F::Ramp1_Power},
    {"Ramp 1 Time", &F::Ramp1_Time},
    {"Soak 1 Time", &F::Soak1_Time},
    {"Ramp 2 Power", &F::Ramp2_Power},
    {"Ramp 2 Time", &F::Ramp2_Time},
    {"Soak 2 Time", &F::Soak2_Time},
    {"Feed Power", &F::Feed_Power},
    {"Feed Ramp", &F::Feed_Ramp},
    {"Feed Time", &F::Feed_Time},
    {"Idle Power", &F::Idle_Power},
    {"Idle Ramp", &F::Idle_Ramp_Time},
    {"Shutter Delay", &F::Shutter_Delay},
    {"Capture", &F::Capture},
    {"Control Error", &F::Control_Error, "Ignore|Stop|Hold"},
    {"Control Error", &F::Control_Error_Percent},
    {"Rate Sampling", &F::Sampling, "Continuous|Accuracy|Time Based"},
    {"Sample Accuracy", &F::Sample_Accuracy},
    {"Sample Hold", &F::Sample_Hold},
    {"Sample Time", &F::Sample_Time},
    {"Crystal Quality", &F::Crystal_Quality, nullptr, "Disable"},
    {"Crystal Stability", &F::Crystal_Stability, nullptr, "Disable"},
    {"Crystal Fail", &F::Crystal_Fail, "Halt|Timed Power"},
};

QString materialName(const ParameterModel& m, int material)
{
    if (material < 1 || material > MaxMaterials)
        return QStringLiteral("Material %1 (none)").arg(material);
    return m.MaterialTable[size_t(material)].Material.trimmed();
}

QString sensorsText(const LayerRecord& l)
{
    QStringList used;
    const qint16 sensors[] = {l.Sensor1, l.Sensor2, l.Sensor3, l.Sensor4};
    for (int i = 0; i < 4; ++i)
        if (sensors[i] != 0)
            used << QString::number(i + 1);
    return used.isEmpty() ? QStringLiteral("None") : used.join(QStringLiteral(", "));
}

QString rampText(const LayerRecord& l, double enabled, double L::*start, double L::*rate, qint16 L::*time)
{
    if (enabled == 0)
        return QStringLiteral("Off");
    return FieldSpecOf<L>(rate).textWithUnit(l.*rate) + QStringLiteral(" from ") +
           FieldSpecOf<L>(start).textWithUnit(l.*start) + QStringLiteral(", time ") +
           FieldSpecOf<L>(time).textWithUnit(l.*time);
}

QStringList layerHeadings()
{
    QStringList h{QStringLiteral("Step"),   QStringLiteral("Layer"),    QStringLiteral("Role"),
                  QStringLiteral("Film"),   QStringLiteral("Material"), QStringLiteral("Output"),
                  QStringLiteral("Sensors")};
    for (const Column<L>& c : kLayerColumns)
        h << heading(c);
    h << QStringLiteral("Ramp 1") << QStringLiteral("Ramp 2");
    return h;
}

QStringList filmHeadings()
{
    QStringList h{QStringLiteral("Film"), QStringLiteral("Name"), QStringLiteral("Material"),
                  heading(Column<MaterialRecord>{"Density", &MaterialRecord::Density}),
                  QStringLiteral("Z-Factor")};
    for (const Column<F>& c : kFilmColumns)
        h << heading(c);
    return h;
}

QStringList layerRow(const ParameterModel& m, const WalkStep& step, int group)
{
    const LayerRecord& l = m.LayerTable[size_t(step.slot)];
    const bool filmOk = l.Film_Number >= 1 && l.Film_Number <= MaxFilms;
    const FilmRecord* film = filmOk ? &m.FilmTable[size_t(l.Film_Number)] : nullptr;
    QStringList row{QString::number(group),
                    QString::number(step.slot),
                    step.coDep ? QStringLiteral("Co-dep partner") : QStringLiteral("Primary"),
                    film ? QStringLiteral("%1. %2").arg(l.Film_Number).arg(film->Film_Name.trimmed())
                         : QStringLiteral("None"),
                    film ? materialName(m, film->Material_Index) : QString(),
                    QString::number(l.Output_Number),
                    sensorsText(l)};
    for (const Column<L>& c : kLayerColumns)
        row << cell(c, l);
    row << rampText(l, l.Ramp1_Enabled, &L::Ramp1_Start, &L::Ramp1_Rate, &L::Ramp1_Time)
        << rampText(l, l.Ramp2_Enabled, &L::Ramp2_Start, &L::Ramp2_Rate, &L::Ramp2_Time);
    return row;
}

QStringList filmRow(const ParameterModel& m, int number)
{
    const FilmRecord& f = m.FilmTable[size_t(number)];
    const int mat = f.Material_Index;
    QStringList row{QString::number(number), f.Film_Name.trimmed(), materialName(m, mat)};
    if (mat >= 1 && mat <= MaxMaterials) {
        const MaterialRecord& r = m.MaterialTable[size_t(mat)];
        row << FieldSpecOf<MaterialRecord>(&MaterialRecord::Density).text(r.Density)
            << FieldSpecOf<MaterialRecord>(&MaterialRecord::ZFactor).text(r.ZFactor);
    } else {
        row << QString() << QString();
    }
    for (const Column<F>& c : kFilmColumns)
        row << cell(c, f);
    return row;
}

QByteArray csvField(const QString& text)
{
    QByteArray b = text.toUtf8();
    if (b.contains(',') || b.contains('"') || b.contains('\n') || b.contains('\r'))
        b = '"' + b.replace("\"", "\"\"") + '"';
    return b;
}

void csvLine(QByteArray& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += csvField(fields.at(i));
    }
    out += "\r\n";
}

} // namespace

ProcessReport BuildProcessReport(const ParameterModel& model, int process)
{
    ProcessReport r;
    r.process = process;
    r.layers.headings = layerHeadings();
    r.films.headings = filmHeadings();
    if (process < 1 || process > MaxProcesses) {
        r.notes << QStringLiteral("There is no process %1: processes are numbered 1 to %2.")
                       .arg(process)
                       .arg(MaxProcesses);
        return r;
    }
    r.name = model.ProcessTable[size_t(process)].Process_Name.trimmed();

    const WalkResult walk = WalkProcess(model, process);
    std::vector<int> films;
    for (const WalkStep& step : walk.steps) {
        if (!step.coDep)
            ++r.steps;
        r.layers.rows.push_back(layerRow(model, step, r.steps));
        const int film = model.LayerTable[size_t(step.slot)].Film_Number;
        if (film >= 1 && film <= MaxFilms && std::find(films.begin(), films.end(), film) == films.end())
            films.push_back(film);
    }
    for (int film : films)
        r.films.rows.push_back(filmRow(model, film));

    if (walk.steps.empty() && walk.ok())
        r.notes << QStringLiteral("The process has no layers.");
    if (walk.error == WalkError::OutOfRange)
        r.notes << QStringLiteral(
                       "The layer links lead out of the layer table (to %1); the report ends there.")
                       .arg(walk.badSlot);
    if (walk.loops())
        r.notes
            << QStringLiteral("The layer links lead back to layer %1; layers repeat.").arg(walk.repeatedSlot);
    return r;
}

QString ProcessReportTitle(const ProcessReport& report)
{
    return report.name.isEmpty() ? QStringLiteral("Process %1").arg(report.process)
                                 : QStringLiteral("Process %1: %2").arg(report.process).arg(report.name);
}

QByteArray ProcessReportCsv(const ProcessReport& report)
{
    QByteArray out;
    csvLine(out, {QStringLiteral("Process"), QString::number(report.process), report.name});
    csvLine(out, {QStringLiteral("Steps"), QString::number(report.steps)});
    csvLine(out, {QStringLiteral("Layers"), QString::number(report.layers.rows.size())});
    for (const QString& note : report.notes)
        csvLine(out, {QStringLiteral("Note"), note});
    for (const ReportTable* t : {&report.layers, &report.films}) {
        out += "\r\n";
        csvLine(out, t->headings);
        for (const QStringList& row : t->rows)
            csvLine(out, row);
    }
    return out;
}

bool WriteProcessReportCsv(const ProcessReport& report, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ProcessReportCsv(report)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
