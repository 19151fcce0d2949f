#include "process/modtransfer.h"

#include "commands/commtransaction.h"
#include "commands/modcommfilm.h"
#include "commands/modcommlayer.h"
#include "commands/modcommmaterial.h"
#include "commands/modcommprocess.h"
#include "commands/modcommsystem.h"
#include "link/modcomm.h"
#include "store/dbdump.h"
#include "store/model.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/progress.h"

#include <QCoreApplication>

#include <bitset>
#include <functional>
#include <utility>

namespace {

QString processContext(int p)
{
    return QStringLiteral("Process: ") + Dec(p);
}

QString layerContext(int p, int layer)
{
    return processContext(p) + QStringLiteral("  Layer: ") + Dec(layer);
}

void makeEmpty(ProcessRecord& pr)
{
    pr.First_Layer = -1;
    pr.Number_Layers = 0;
    pr.Number_Act_Layers = 0;
}

// One run of UploadAll or DownloadAll: the progress window, the retry prompts
// and the record boundaries where the operator's Cancel is honoured.
class TransferRun {
public:
    TransferRun(bool upload, const QString& caption, bool reportStop = true)
        : upload_(upload), reportStop_(reportStop)
    {
        progress().show(caption);
        progress().setRange(0, 100);
        progress().setCancellable(true);
        outcome.end = TransferEnd::Completed;
    }
    ~TransferRun()
    {
        if (!closed_)
            progress().hide();
    }

    // Closes the progress window, then says where a stop left the transfer.
    void close()
    {
        progress().hide();
        closed_ = true;
        if (outcome.end == TransferEnd::Stopped && reportStop_)
            reportStop();
    }
    TransferRun(const TransferRun&) = delete;
    TransferRun& operator=(const TransferRun&) = delete;

    bool upload() const { return upload_; }

    // A record boundary, before the record named where: the one place where
    // user input is let through, so a Cancel click queued during a reply wait
    // is seen here. True when the operator asked to stop (where is kept).
    bool stopRequested(const QString& where)
    {
        record_ = where;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (!progress().cancelRequested())
            return false;
        outcome.end = TransferEnd::Stopped;
        outcome.stoppedAt = where;
        return true;
    }

    // Runs op until it returns 0 or the operator answers Cancel to the retry
    // prompt; false after a Cancel (the record is skipped).
    bool attempt(const QString& context, const std::function<qint16()>& op)
    {
        dialogs().beginRecord();
        for (;;) {
            if (op() == 0)
                return true;
            const QString text =
                (upload_ ? QStringLiteral("Upload error. ") : QStringLiteral("Download error. ")) +
                Comm_ErrorText(Comm_GetStatus()) + QStringLiteral(".\n") + context;
            if (dialogs().message(text, MsgButtons::RetryCancel, MsgIcon::Exclamation) != MsgResult::Retry) {
                ++outcome.skippedRecords;
                if (!outcome.skipped.contains(record_))
                    outcome.skipped << record_;
                return false;
            }
        }
    }

    void show(const QString& label1, const QString& label2, int value = -1)
    {
        progress().setLabel1(label1);
        progress().setLabel2(label2);
        if (value >= 0)
            progress().setValue(value);
    }

    TransferOutcome outcome;
    // The stop came inside a process, which was left empty.
    bool stoppedInRecord = false;

private:
    void reportStop() const
    {
        const bool partial = stoppedInRecord;
        QString text =
            (upload_ ? QStringLiteral("Upload stopped at ") : QStringLiteral("Download stopped at ")) +
            outcome.stoppedAt + QStringLiteral(".\nThe records before it were ") +
            (upload_ ? QStringLiteral("uploaded") : QStringLiteral("downloaded"));
        if (partial)
            text += QStringLiteral("; ") + outcome.stoppedAt +
                    (upload_ ? QStringLiteral(" was left empty.")
                             : QStringLiteral(" was left empty on the DCX-700."));
        else
            text += QLatin1Char('.');
        dialogs().message(text, MsgButtons::Ok, MsgIcon::Information);
    }

    bool upload_;
    bool reportStop_;
    bool closed_ = false;
    QString record_; // the record the last boundary opened
};

bool ask(const QString& question)
{
    return dialogs().message(question, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes;
}

// ---- upload ----------------------------------------------------------------

// Header and layers of process p. Bad links from the instrument end the walk:
// a link outside 1..1000 or back to a layer this walk already visited is cut
// to -1 in the layer (or header) that holds it, and a layer that carries both
// a CoDep_Layer and a Next_Layer keeps only the CoDep_Layer the walk followed.
// The upload keeps the layers visited up to there and the count correction
// below fits the header to them, so the model walks, saves and loads as the
// instrument's data reached it, and no walk is longer than the 1000 slots.
// False when the operator stopped the transfer (the process is then empty).
bool uploadProcess(TransferRun& run, int p)
{
    ParameterModel& model = Model();
    ProcessRecord& pr = model.ProcessTable[p];
    if (run.stopRequested(QStringLiteral("Process ") + Dec(p)))
        return false;
    if (!run.attempt(processContext(p), [p] { return Process_Get(p, 0); })) {
        makeEmpty(pr);
        return true;
    }
    if (pr.First_Layer <= 0) {
        makeEmpty(pr);
        return true;
    }
    std::bitset<MaxLayers + 1> visited;
    qint16* link = &pr.First_Layer; // the link that led to slot
    int slot = pr.First_Layer;
    int layers = 0;
    int groups = 0;
    while (slot > 0) {
        if (slot > MaxLayers || visited[static_cast<std::size_t>(slot)]) {
            if (layers > 0 && link == &model.LayerTable[Working().CurLayer].CoDep_Layer)
                ++groups; // the layer whose partner link is cut now ends its group
            *link = -1;
            break;
        }
        if (run.stopRequested(QStringLiteral("Process ") + Dec(p))) {
            makeEmpty(pr);
            run.stoppedInRecord = true;
            return false;
        }
        Working().CurLayer = static_cast<qint16>(slot);
        if (!run.attempt(layerContext(p, slot), [slot] { return Layer_Get(slot, 0); })) {
            makeEmpty(pr);
            return true;
        }
        visited[static_cast<std::size_t>(slot)] = true;
        LayerRecord& layer = model.LayerTable[slot];
        ++layers;
        if (layer.CoDep_Layer > 0) {
            if (layer.Next_Layer > 0)
                layer.Next_Layer = -1;
            link = &layer.CoDep_Layer;
        } else {
            ++groups;
            link = &layer.Next_Layer;
        }
        slot = *link;
    }
    if (pr.First_Layer <= 0) // cut at the header: nothing was visited
        pr.First_Layer = -1;
    if (pr.Number_Act_Layers != layers || pr.Number_Layers != groups) {
        dialogs().message(QStringLiteral("Layer count error in Process ") + pr.Process_Name.trimmed() +
                              QStringLiteral(" corrected."),
                          MsgButtons::Ok);
        pr.Number_Layers = static_cast<qint16>(groups);
        pr.Number_Act_Layers = static_cast<qint16>(layers);
    }
    return true;
}

bool uploadProcesses(TransferRun& run)
{
    for (int p = 1; p <= MaxProcesses; ++p) {
        if (!uploadProcess(run, p))
            return false;
        run.show(QStringLiteral("Uploading Process %1:").arg(p), Model().ProcessTable[p].Process_Name.text(),
                 (p * 40) / 100);
    }
    for (int f = 1; f <= MaxFilms; ++f) {
        if (run.stopRequested(QStringLiteral("Film ") + Dec(f)))
            return false;
        const QString context = QStringLiteral("Film: ") + Model().FilmTable[f].Film_Name.text();
        run.attempt(context, [f] { return Film_Get(f, 0); });
        run.show(QStringLiteral("Uploading Film %1:").arg(f), Model().FilmTable[f].Film_Name.text(),
                 40 + (f * 20) / 50);
    }
    return true;
}

bool uploadMaterials(TransferRun& run)
{
    for (int m = 1; m <= MaxMaterials; ++m) {
        if (run.stopRequested(QStringLiteral("Material ") + Dec(m)))
            return false;
        const QString context = QStringLiteral("Material: ") + Model().MaterialTable[m].Material.text();
        run.attempt(context, [m] { return Material_Get(m, 0); });
        run.show(QStringLiteral("Uploading Material %1:").arg(m), Model().MaterialTable[m].Material.text(),
                 60 + (m * 20) / 100);
    }
    return true;
}

// ---- download --------------------------------------------------------------

// Sends process p as empty while the model keeps its layers: what a Cancel
// (or a layer chain that cannot be sent) leaves on the instrument.
void sendEmptyProcess(int p)
{
    ProcessRecord& pr = Model().ProcessTable[p];
    const ProcessRecord kept = pr;
    makeEmpty(pr);
    Process_Set(p, 0);
    pr.First_Layer = kept.First_Layer;
    pr.Number_Layers = kept.Number_Layers;
    pr.Number_Act_Layers = kept.Number_Act_Layers;
}

// Header, then Number_Act_Layers layers along the links. A link outside
// 1..1000 or back to a layer already sent cannot go to the instrument: the
// process is then sent empty, as after a Cancel, and the operator told.
// False when the operator stopped the transfer.
bool downloadProcess(TransferRun& run, int p)
{
    ParameterModel& model = Model();
    const ProcessRecord& pr = model.ProcessTable[p];
    if (run.stopRequested(QStringLiteral("Process ") + Dec(p)))
        return false;
    bool sent = run.attempt(processContext(p), [p] { return Process_Set(p, 0); });
    std::bitset<MaxLayers + 1> visited;
    int slot = pr.First_Layer;
    for (int i = 1; sent && i <= pr.Number_Act_Layers && slot >= 1; ++i) {
        if (slot > MaxLayers || visited[static_cast<std::size_t>(slot)]) {
            dialogs().message(QStringLiteral("Download error. Broken layer link.\n") + layerContext(p, slot) +
                                  QStringLiteral("\nProcess ") + Dec(p) + QStringLiteral(" was sent empty."),
                              MsgButtons::Ok, MsgIcon::Exclamation);
            ++run.outcome.skippedRecords;
            sent = false;
            break;
        }
        if (run.stopRequested(QStringLiteral("Process ") + Dec(p))) {
            sendEmptyProcess(p);
            run.stoppedInRecord = true;
            return false;
        }
        visited[static_cast<std::size_t>(slot)] = true;
        LayerRecord& layer = model.LayerTable[slot];
        layer.Layer_Free = 0;
        Working().CurLayer = static_cast<qint16>(slot);
        if (!run.attempt(layerContext(p, slot), [slot] { return Layer_Set(slot, 0); }))
            sent = false;
        slot = layer.CoDep_Layer >= 1 ? layer.CoDep_Layer : layer.Next_Layer;
    }
    if (!sent)
        sendEmptyProcess(p);
    return true;
}

bool downloadProcesses(TransferRun& run)
{
    Process_SendE(); // clears the instrument's processes; its status tells nothing we act on
    for (int p = 1; p <= MaxProcesses; ++p) {
        if (!downloadProcess(run, p))
            return false;
        run.show(QStringLiteral("Downloading Process %1:").arg(p),
                 Model().ProcessTable[p].Process_Name.text(), (p * 40) / 100);
    }
    for (int f = 1; f <= MaxFilms; ++f) {
        if (run.stopRequested(QStringLiteral("Film ") + Dec(f)))
            return false;
        FilmRecord& film = Model().FilmTable[f];
        if (film.Material_Index == 0) // the instrument has no material 0
            film.Material_Index = 1;
        run.attempt(QStringLiteral("Film: ") + film.Film_Name.text(), [f] { return Film_Set(f, 0); });
        run.show(QStringLiteral("Downloading Film %1:").arg(f), film.Film_Name.text(), 40 + (f * 20) / 50);
    }
    return true;
}

bool downloadMaterials(TransferRun& run)
{
    for (int m = 1; m <= MaxMaterials; ++m) {
        if (run.stopRequested(QStringLiteral("Material ") + Dec(m)))
            return false;
        const QString name = Model().MaterialTable[m].Material.text();
        run.attempt(QStringLiteral("Material: ") + name, [m] { return Material_Set(m, 0); });
        run.show(QStringLiteral("Downloading Material %1: ").arg(m), name, 60 + (m * 20) / 100);
    }
    return true;
}

// ---- both ------------------------------------------------------------------

// System parameters, inputs, relays; a Cancel skips the rest of the three.
bool transferSystem(TransferRun& run)
{
    struct Step {
        const char* where;
        const char* context;
        qint16 (*get)();
        qint16 (*set)();
    };
    static const Step steps[] = {
        {"System Params", "SysParams Error ", [] { return System_Get(0); }, [] { return System_Set(0); }},
        {"Inputs", "SysInputs Error ", &Inputs_Get, &Inputs_Set},
        {"Relays", "SysRelays Error ", &Relays_Get, &Relays_Set},
    };
    run.show(run.upload() ? QStringLiteral("Uploading System Params:")
                          : QStringLiteral("Downloading System Params:"),
             {});
    for (const Step& s : steps) {
        if (run.stopRequested(QLatin1String(s.where)))
            return false;
        if (!run.attempt(QLatin1String(s.context), run.upload() ? s.get : s.set))
            break;
    }
    return true;
}

// The families the configuration chooses, in their order; false when the
// operator stopped the transfer.
bool transferFamilies(TransferRun& run)
{
    const AppConfig& cfg = Config();
    const bool up = run.upload();
    if (cfg.UpDnProcesses == 1 && !(up ? uploadProcesses(run) : downloadProcesses(run)))
        return false;
    if (cfg.UpDnMaterials == 1 && !(up ? uploadMaterials(run) : downloadMaterials(run)))
        return false;
    return cfg.UpDnSystem != 1 || transferSystem(run);
}

} // namespace

TransferOutcome UploadAll()
{
    if (!ask(QStringLiteral("Overwrite this setup with DCX-700 data?")))
        return {};
    TransferRun run(true, QStringLiteral("Upload from DCX-700"));
    transferFamilies(run);
    if (Config().DebugDump == 1)
        DumpParameters(QStringLiteral("Upload.txt"));
    run.close();
    return run.outcome;
}

TransferOutcome UploadInto(ParameterModel& target, const QString& caption)
{
    // The command families read into Model(): target stands in for it during
    // the run and the program's model waits in target's place.
    ParameterModel& program = Model();
    const WorkingGlobals working = Working();
    const bool standIn = &target != &program;
    if (standIn)
        std::swap(program, target);
    TransferRun run(true, caption, false);
    transferFamilies(run);
    run.close();
    if (standIn) {
        std::swap(program, target);
        Working() = working;
    }
    return run.outcome;
}

TransferOutcome DownloadAll()
{
    if (!ask(QStringLiteral("Ovewrite DCX-700 memory with this data?")))
        return {};
    TransferRun run(false, QStringLiteral("Download to DCX-700"));
    if (Config().DebugDump == 1)
        DumpParameters(QStringLiteral("Download.txt"));
    if (transferFamilies(run)) {
        progress().setValue(100);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    run.close();
    return run.outcome;
}
