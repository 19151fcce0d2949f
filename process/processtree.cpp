#include "process/processtree.h"

#include "store/model.h"

#include <QStringList>

QString ProcessKey(int process)
{
    return QStringLiteral("P%1").arg(process);
}

QString LayerKey(int slot, int process)
{
    return QStringLiteral("L%1,P%2").arg(slot).arg(process);
}

QString FilmKey(int film, int process, int slot)
{
    return QStringLiteral("F%1,P%2,L%3").arg(film).arg(process).arg(slot);
}

int GetNum(const QString& key, int k)
{
    const QStringList fields = key.split(QLatin1Char(','));
    if (k < 1 || k > fields.size())
        return 0;
    bool ok = false;
    const int n = fields.at(k - 1).mid(1).toInt(&ok);
    return ok ? n : 0;
}

std::vector<TreeNode> ProcessLayerNodes(const ParameterModel& model, int process, bool refresh)
{
    std::vector<TreeNode> out;
    if (process < 1 || process > MaxProcesses)
        return out;
    const QString processKey = ProcessKey(process);
    int step = 0;
    // A broken link ends the walk early; the layers before it are still shown.
    // So does a link back to a layer already shown: a node key names a slot
    // once.
    for (const WalkStep& s : WalkProcess(model, process, WalkLoops::Stop).steps) {
        const LayerRecord& layer = model.LayerTable[size_t(s.slot)];
        if (!s.coDep)
            ++step;
        const QString withOutput = QStringLiteral("%1.%2").arg(step).arg(layer.Output_Number);
        QString text;
        if (s.coDep)
            text = QStringLiteral("->Layer ") + withOutput;
        else if (layer.CoDep_Layer > 0 || refresh)
            text = QStringLiteral("Layer ") + withOutput;
        else
            text = QStringLiteral("Layer %1").arg(step);
        const QString layerKey = LayerKey(s.slot, process);
        out.push_back({layerKey, text, processKey});
        const int film = layer.Film_Number;
        const QString filmName =
            film >= 1 && film <= MaxFilms ? model.FilmTable[size_t(film)].Film_Name.text() : QString();
        out.push_back({FilmKey(film, process, s.slot), filmName, layerKey});
    }
    return out;
}

const TreeNode* ProcessTree::find(const QString& key) const
{
    const auto it = index_.constFind(key);
    return it == index_.constEnd() ? nullptr : &nodes_[size_t(*it)];
}

void ProcessTree::rebuild(const ParameterModel& model)
{
    // Expanded state by position, for every position the tree can hold.
    std::vector<bool> wasExpanded;
    wasExpanded.reserve(nodes_.size());
    for (const TreeNode& n : nodes_)
        wasExpanded.push_back(n.expanded);

    nodes_.clear();
    for (int p = 1; p <= MaxProcesses; ++p)
        nodes_.push_back({ProcessKey(p), model.ProcessTable[size_t(p)].Process_Name.text(), {}});
    for (int p = 1; p <= MaxProcesses; ++p) {
        std::vector<TreeNode> layers = ProcessLayerNodes(model, p, false);
        nodes_.insert(nodes_.end(), layers.begin(), layers.end());
    }
    for (size_t i = 0; i < nodes_.size() && i < wasExpanded.size(); ++i)
        nodes_[i].expanded = wasExpanded[i];
    reindex();
}

void ProcessTree::refreshProcess(const ParameterModel& model, int process)
{
    if (process < 1 || process > MaxProcesses)
        return;
    const QString processKey = ProcessKey(process);
    // Layer nodes hang from the process, film nodes from a layer of it.
    std::erase_if(nodes_, [&](const TreeNode& n) {
        if (n.parentKey == processKey)
            return true;
        return n.key.startsWith(QLatin1Char('F')) && GetNum(n.key, 2) == process;
    });
    std::vector<TreeNode> layers = ProcessLayerNodes(model, process, true);
    nodes_.insert(nodes_.end(), layers.begin(), layers.end());
    reindex();
    setExpanded(processKey, true);
}

void ProcessTree::setExpanded(const QString& key, bool expanded)
{
    const auto it = index_.constFind(key);
    if (it != index_.constEnd())
        nodes_[size_t(*it)].expanded = expanded;
}

void ProcessTree::setText(const QString& key, const QString& text)
{
    const auto it = index_.constFind(key);
    if (it != index_.constEnd())
        nodes_[size_t(*it)].text = text;
}

void ProcessTree::reindex()
{
    index_.clear();
    index_.reserve(qsizetype(nodes_.size()));
    for (size_t i = 0; i < nodes_.size(); ++i)
        index_.insert(nodes_[i].key, int(i));
}
