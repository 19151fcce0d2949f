#include "process/processedit.h"

#include "process/processtree.h"
#include "store/model.h"
#include "support/dialogs.h"

#include <algorithm>

namespace {

bool validSlot(int slot)
{
    return slot >= 1 && slot <= MaxLayers;
}

LayerRecord& layerAt(ParameterModel& model, int slot)
{
    return model.LayerTable[size_t(slot)];
}

// The last member of the co-deposition group from slot on, and how many
// CoDep_Layer links were followed to get there. Bounded, so a damaged file
// with a loop cannot hang the window.
struct GroupEnd {
    int slot = 0;
    int steps = 0;
};

GroupEnd lastGroupMember(const ParameterModel& model, int slot)
{
    GroupEnd end{slot, 0};
    while (end.steps < MaxLayers) {
        const int next = model.LayerTable[size_t(end.slot)].CoDep_Layer;
        if (!validSlot(next))
            break;
        end.slot = next;
        ++end.steps;
    }
    return end;
}

// Takes a free slot for a new layer: marked in use, film 1. A free slot has
// no links, so the new layer is in no group yet.
int takeFreeSlot(ParameterModel& model)
{
    const int slot = FindFreeLayer(model);
    if (!validSlot(slot))
        return 0;
    LayerRecord& l = layerAt(model, slot);
    l.Layer_Free = 0;
    l.Film_Number = 1;
    return slot;
}

bool validProcess(int process)
{
    return process >= 1 && process <= MaxProcesses;
}

// The model keeps a process whose links lead back to one of its own layers
// (a damaged file still loads and saves whole). Editing such a process would
// free or hand out a slot that the loop still reaches, so the loop is cut
// first, at the link that leads back, and the counts are fitted to the
// layers before it. A link of the last layer back into the process (a loop
// just past the count) is cut too: an insert after that layer would take it
// over.
void cutLoop(ParameterModel& model, int process)
{
    const WalkResult walk = WalkProcess(model, process, WalkLoops::Stop);
    if (walk.steps.empty())
        return;
    LayerRecord& last = layerAt(model, walk.steps.back().slot);
    qint16& link = last.Next_Layer > 0 ? last.Next_Layer : last.CoDep_Layer;
    const bool backInside = walk.ok() && std::any_of(walk.steps.begin(), walk.steps.end(),
                                                     [&](const WalkStep& s) { return s.slot == link; });
    if (walk.error != WalkError::Cycle && !backInside)
        return;
    link = -1;
    ProcessRecord& p = model.ProcessTable[size_t(process)];
    const auto steps =
        std::count_if(walk.steps.begin(), walk.steps.end(), [](const WalkStep& s) { return !s.coDep; });
    p.Number_Layers = qint16(steps);
    p.Number_Act_Layers = qint16(walk.steps.size());
    dialogs().message(QStringLiteral("Process '") + p.Process_Name.trimmed() +
                          QStringLiteral("' loops back to one of its own layers.\n"
                                         "The loop was cut after Layer %1.")
                              .arg(steps),
                      MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

InsertResult InsertLayer(ParameterModel& model, const QString& key)
{
    const bool layerNode = key.startsWith(QLatin1Char('L'));
    const int process = GetNum(key, layerNode ? 2 : 1);
    const int clicked = layerNode ? GetNum(key, 1) : 0;
    if (!validProcess(process) || (layerNode && !validSlot(clicked)))
        return {};
    if (!validSlot(FindFreeLayer(model)))
        return {};
    cutLoop(model, process);
    WorkingGlobals& w = Working();
    w.CurProcess = qint16(process);
    ProcessRecord& p = model.ProcessTable[size_t(process)];
    const int slot = takeFreeSlot(model);
    if (layerNode) {
        w.CurLayer = qint16(clicked);
        LayerRecord& last = layerAt(model, lastGroupMember(model, clicked).slot);
        layerAt(model, slot).Next_Layer = last.Next_Layer;
        last.Next_Layer = qint16(slot);
    } else {
        layerAt(model, slot).Next_Layer = p.First_Layer;
        p.First_Layer = qint16(slot);
    }
    ++p.Number_Layers;
    ++p.Number_Act_Layers;
    return {process, slot};
}

InsertResult InsertCoDep(ParameterModel& model, const QString& key, const QString& text)
{
    if (!key.startsWith(QLatin1Char('L')) || !text.startsWith(QLatin1Char('L'))) {
        dialogs().message(QStringLiteral(" Click the top layer for this layer number."));
        return {};
    }
    const int clicked = GetNum(key, 1);
    const int process = GetNum(key, 2);
    if (!validSlot(clicked) || !validProcess(process) || !validSlot(FindFreeLayer(model)))
        return {};
    cutLoop(model, process);
    WorkingGlobals& w = Working();
    w.CurLayer = qint16(clicked);
    w.CurProcess = qint16(process);
    const GroupEnd end = lastGroupMember(model, clicked);
    if (end.steps >= 3)
        return {}; // four members already
    const int slot = takeFreeSlot(model);
    LayerRecord& last = layerAt(model, end.slot);
    layerAt(model, slot).Next_Layer = last.Next_Layer;
    last.CoDep_Layer = qint16(slot);
    last.Next_Layer = -1;
    ++model.ProcessTable[size_t(process)].Number_Act_Layers;
    return {process, slot};
}

bool DeleteLayer(ParameterModel& model, const QString& key)
{
    const int d = GetNum(key, 1);
    const int process = GetNum(key, 2);
    if (!key.startsWith(QLatin1Char('L')) || !validSlot(d) || !validProcess(process))
        return false;
    Working().CurProcess = qint16(process);
    cutLoop(model, process);
    ProcessRecord& p = model.ProcessTable[size_t(process)];
    LayerRecord& del = layerAt(model, d);

    // The link that reaches d: First_Layer, or Next_Layer / CoDep_Layer of an
    // earlier slot of the walk.
    qint16* link = nullptr;
    bool viaCoDep = false;
    int pr = 0;
    if (p.First_Layer == d) {
        link = &p.First_Layer;
    } else {
        for (const WalkStep& s : WalkProcess(model, process).steps) {
            LayerRecord& l = layerAt(model, s.slot);
            if (l.Next_Layer == d) {
                link = &l.Next_Layer;
            } else if (l.CoDep_Layer == d) {
                link = &l.CoDep_Layer;
                viaCoDep = true;
            }
            if (link) {
                pr = s.slot;
                break;
            }
        }
    }
    if (!link)
        return false;

    if (!viaCoDep) {
        if (del.CoDep_Layer > 0) {
            *link = del.CoDep_Layer; // the first partner takes its place
        } else {
            *link = del.Next_Layer;
            --p.Number_Layers;
        }
    } else if (del.CoDep_Layer > 0) {
        *link = del.CoDep_Layer;
    } else {
        LayerRecord& prev = layerAt(model, pr);
        prev.CoDep_Layer = -1;
        prev.Next_Layer = del.Next_Layer;
    }
    --p.Number_Act_Layers;
    del.Layer_Free = 1;
    del.Film_Number = -1;
    del.Next_Layer = -1;
    del.CoDep_Layer = -1;
    return true;
}

bool RenameProcess(ParameterModel& model, int process)
{
    if (!validProcess(process))
        return false;
    Working().CurProcess = qint16(process);
    Name16& name = model.ProcessTable[size_t(process)].Process_Name;
    for (;;) {
        const std::optional<QString> answer = dialogs().input(
            QStringLiteral("Enter new name:"), QStringLiteral("Edit Process"), name.text().trimmed());
        if (!answer)
            return false;
        const QString current = name.text().trimmed();
        const QString newName =
            answer->size() > Name16::Length ? answer->left(Name16::Length) : answer->trimmed();
        if (newName.isEmpty() || newName.compare(current, Qt::CaseInsensitive) == 0)
            return false;
        int duplicate = 0;
        for (int q = 1; q <= MaxProcesses && !duplicate; ++q)
            if (newName.compare(model.ProcessTable[size_t(q)].Process_Name.text().trimmed(),
                                Qt::CaseInsensitive) == 0)
                duplicate = q;
        if (!duplicate) {
            name = newName;
            return true;
        }
        dialogs().message(QStringLiteral("Duplicate Name @ Process #%1.").arg(duplicate));
    }
}
