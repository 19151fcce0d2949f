#include "process/modelcompare.h"

#include "store/model.h"
#include "store/modelfields.h"
#include "support/config.h"
#include "support/dialogs.h"

#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

QString quoted(const Name16& name)
{
    return u'"' + name.trimmed() + u'"';
}

QString pcVsInstrument(const QString& pc, const QString& instrument)
{
    return pc + QStringLiteral(" (PC) vs ") + instrument + QStringLiteral(" (instrument)");
}

// Gathers the lines record by record, in the upload's order, leaving out the
// records the upload did not read.
class Differ {
public:
    Differ(const QStringList& unread, const QString& upTo) : unread_(unread), upTo_(upTo) {}

    // Starts the record named as the upload names it; false when its lines are
    // to be left out (not read, or at or after the point where the upload stopped).
    bool open(const QString& record)
    {
        if (!upTo_.isEmpty() && record == upTo_)
            stopped_ = true;
        return !stopped_ && !unread_.contains(record);
    }

    void add(const QString& label, const QString& what) { lines << label + QStringLiteral(": ") + what; }

    void name(const QString& label, const Name16& pc, const Name16& instrument)
    {
        if (pc.trimmed() != instrument.trimmed())
            add(label, QStringLiteral("name ") + pcVsInstrument(quoted(pc), quoted(instrument)));
    }

    // Every field of the record's table but those in skip. Values are compared
    // as the editors show them, so float noise below the display resolution
    // (a rate read back as 2.4999999) is no difference.
    template <typename Record>
    void fields(const QString& label, const Record& pc, const Record& instrument,
                std::initializer_list<const char*> skip = {})
    {
        for (const FieldSpec<Record>& row : FieldSpecs<Record>()) {
            if (std::any_of(skip.begin(), skip.end(),
                            [&](const char* s) { return std::strcmp(s, row.name) == 0; }))
                continue;
            const QString a = row.text(FieldValue(row, pc));
            const QString b = row.text(FieldValue(row, instrument));
            if (a != b)
                add(label, QString::fromLatin1(row.name).replace(u'_', u' ') + u' ' + pcVsInstrument(a, b));
        }
    }

    QStringList lines;

private:
    const QStringList& unread_;
    QString upTo_;
    bool stopped_ = false;
};

QString shape(const WalkResult& walk)
{
    const auto steps =
        std::count_if(walk.steps.begin(), walk.steps.end(), [](const WalkStep& s) { return !s.coDep; });
    const auto count = [](qsizetype n, const char* one, const char* many) {
        return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
    };
    return count(qsizetype(walk.steps.size()), "layer", "layers") + QStringLiteral(" in ") +
           count(steps, "step", "steps");
}

// Header, then the layers position by position along both walks, named by
// the PC's slot (the instrument's where the PC has none).
void compareProcess(Differ& d, const ParameterModel& pc, const ParameterModel& inst, int p)
{
    const QString label = QStringLiteral("Process ") + QString::number(p);
    d.name(label, pc.ProcessTable[p].Process_Name, inst.ProcessTable[p].Process_Name);
    const WalkResult a = WalkProcess(pc, p, WalkLoops::Stop);
    const WalkResult b = WalkProcess(inst, p, WalkLoops::Stop);
    if (!a.ok())
        d.add(label, QStringLiteral("broken layer links (PC)"));
    if (!b.ok())
        d.add(label, QStringLiteral("broken layer links (instrument)"));
    const QString shapeA = shape(a);
    const QString shapeB = shape(b);
    if (shapeA != shapeB)
        d.add(label, pcVsInstrument(shapeA, shapeB));
    const std::size_t n = std::max(a.steps.size(), b.steps.size());
    for (std::size_t i = 0; i < n; ++i) {
        const WalkStep* sa = i < a.steps.size() ? &a.steps[i] : nullptr;
        const WalkStep* sb = i < b.steps.size() ? &b.steps[i] : nullptr;
        const QString layer = label + QStringLiteral(" Layer ") + QString::number((sa ? sa : sb)->slot);
        if (!sa || !sb) {
            d.add(layer, sa ? QStringLiteral("only on the PC") : QStringLiteral("only on the instrument"));
            continue;
        }
        if (sa->slot != sb->slot)
            d.add(layer, QStringLiteral("slot ") +
                             pcVsInstrument(QString::number(sa->slot), QString::number(sb->slot)));
        if (sa->coDep != sb->coDep) {
            const auto role = [](bool coDep) {
                return coDep ? QStringLiteral("co-deposited") : QStringLiteral("a step of its own");
            };
            d.add(layer, pcVsInstrument(role(sa->coDep), role(sb->coDep)));
        }
        d.fields(layer, pc.LayerTable[sa->slot], inst.LayerTable[sb->slot],
                 {"Next_Layer", "CoDep_Layer", "Layer_Free"});
    }
}

} // namespace

QStringList CompareModels(const ParameterModel& pc, const ParameterModel& inst,
                          const CompareFamilies& families, const QStringList& unread, const QString& upTo)
{
    Differ d(unread, upTo);
    if (families.processes) {
        for (int p = 1; p <= MaxProcesses; ++p)
            if (d.open(QStringLiteral("Process ") + QString::number(p)))
                compareProcess(d, pc, inst, p);
        for (int f = 1; f <= MaxFilms; ++f) {
            const QString label = QStringLiteral("Film ") + QString::number(f);
            if (!d.open(label))
                continue;
            d.name(label, pc.FilmTable[f].Film_Name, inst.FilmTable[f].Film_Name);
            d.fields(label, pc.FilmTable[f], inst.FilmTable[f]);
        }
    }
    if (families.materials) {
        for (int m = 1; m <= MaxMaterials; ++m) {
            const QString label = QStringLiteral("Material ") + QString::number(m);
            if (!d.open(label))
                continue;
            d.name(label, pc.MaterialTable[m].Material, inst.MaterialTable[m].Material);
            d.fields(label, pc.MaterialTable[m], inst.MaterialTable[m]);
        }
    }
    if (families.system) {
        if (d.open(QStringLiteral("System Params")))
            d.fields(QStringLiteral("System"), pc.SystemParams, inst.SystemParams);
        if (d.open(QStringLiteral("Inputs")))
            for (int i = 0; i < MaxInputs; ++i)
                d.fields(QStringLiteral("Input ") + QString::number(i + 1), pc.InputTable[i],
                         inst.InputTable[i]);
        if (d.open(QStringLiteral("Relays")))
            for (int i = 0; i < MaxOutputs; ++i)
                d.fields(QStringLiteral("Relay ") + QString::number(i + 1), pc.OutputTable[i],
                         inst.OutputTable[i]);
    }
    return d.lines;
}

QStringList CompareResult::lines() const
{
    if (differences.isEmpty() && notes.isEmpty())
        return {QStringLiteral("No differences.")};
    return differences + notes;
}

CompareResult CompareWithInstrument(const ParameterModel& pc)
{
    CompareResult result;
    const auto scratch = std::make_unique<ParameterModel>(); // a few hundred kB: not on the stack
    result.transfer = UploadInto(*scratch, QStringLiteral("Compare with DCX-700"));
    const AppConfig& cfg = Config();
    const CompareFamilies families{cfg.UpDnProcesses == 1, cfg.UpDnMaterials == 1, cfg.UpDnSystem == 1};
    // A skipped system record ends the upload of the three system records.
    QStringList unread = result.transfer.skipped;
    if (unread.contains(QLatin1String("System Params")))
        unread << QStringLiteral("Inputs") << QStringLiteral("Relays");
    else if (unread.contains(QLatin1String("Inputs")))
        unread << QStringLiteral("Relays");
    for (const QString& r : unread)
        result.notes << r + QStringLiteral(": not read from the instrument.");
    const bool stopped = result.transfer.end == TransferEnd::Stopped;
    if (stopped)
        result.notes << QStringLiteral("Compare stopped at ") + result.transfer.stoppedAt +
                            QStringLiteral(": the records from there on were not compared.");
    result.differences =
        CompareModels(pc, *scratch, families, unread, stopped ? result.transfer.stoppedAt : QString());
    return result;
}

bool SaveCompareList(const QStringList& lines)
{
    FileDialogRequest req;
    req.title = QStringLiteral("Save Differences");
    req.filter = QStringLiteral("Text Files (*.txt)|*.txt");
    req.fileName = QStringLiteral("Differences.txt");
    req.defaultExt = QStringLiteral("txt");
    const std::optional<QString> path = dialogs().saveFile(req);
    if (!path)
        return false;
    QSaveFile file(*path);
    if (file.open(QIODevice::WriteOnly)) {
        for (const QString& line : lines)
            file.write(line.toUtf8() + '\n');
        if (file.commit())
            return true;
    }
    dialogs().message(QStringLiteral("The list could not be written to ") + *path + QStringLiteral(": ") +
                          file.errorString(),
                      MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}
