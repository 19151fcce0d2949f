#ifndef DCX_PROCESS_PROCESSTREE_H
#define DCX_PROCESS_PROCESSTREE_H

#include <QHash>
#include <QString>
#include <vector>

struct ParameterModel;

// The process tree as plain data: every node with its key, text and parent,
// in the order the nodes were added (which is also the "position" that keeps
// a node's expanded state across a rebuild). The process window maps it onto
// its tree widget; dcx700ctl and the tests use it without a display.
//
// Keys: "P<p>" for a process, "L<s>,P<p>" for the layer in slot s,
// "F<f>,P<p>,L<s>" for that layer's film f.

struct TreeNode {
    QString key;
    QString text;
    QString parentKey; // empty for a process node
    bool expanded = false;
    bool operator==(const TreeNode&) const = default;
};

QString ProcessKey(int process);
QString LayerKey(int slot, int process);
QString FilmKey(int film, int process, int slot);

// The number of field k (from 1) of a key, without its one-letter prefix:
// GetNum("F3,P12,L407", 3) == 407. 0 when the field is missing or not a number.
int GetNum(const QString& key, int k);

// The layer and film nodes of one process, in walk order. refresh: the texts
// of the single-process refresh, where every primary carries "." + output.
std::vector<TreeNode> ProcessLayerNodes(const ParameterModel& model, int process, bool refresh);

class ProcessTree {
public:
    const std::vector<TreeNode>& nodes() const { return nodes_; }
    // The node with key, nullptr when there is none.
    const TreeNode* find(const QString& key) const;

    // Full rebuild: the 100 processes and every layer and film; each
    // position gets back the expanded state it had before.
    void rebuild(const ParameterModel& model);
    // After an insert into process: its layer and film nodes are taken out and
    // added again at the end in walk order (collapsed, refresh texts), and the
    // process node is expanded.
    void refreshProcess(const ParameterModel& model, int process);

    void setExpanded(const QString& key, bool expanded);
    void setText(const QString& key, const QString& text);

private:
    void reindex();

    std::vector<TreeNode> nodes_;
    QHash<QString, int> index_;
};

#endif
