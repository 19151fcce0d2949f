#ifndef DCX_PROCESS_PROCESSEDIT_H
#define DCX_PROCESS_PROCESSEDIT_H

#include <QString>

struct ParameterModel;

// The node operations of the process tree, on a model. Each takes the
// clicked node's key, sets Working().CurProcess (and CurLayer where the node
// names a layer) as the process window does, and keeps the links and counts
// consistent so that the walk of the process reaches exactly its layers.

// The slot an insert took (0 when nothing was inserted) and its process.
struct InsertResult {
    int process = 0;
    int slot = 0;
    bool inserted() const { return slot > 0; }
};

// A layer node: the new layer becomes a step of its own right after the
// clicked layer's co-deposition group. A process node: it becomes the first
// step. Nothing when no slot is free.
InsertResult InsertLayer(ParameterModel& model, const QString& key);

// A primary layer node (key "L...", text "Layer ..."): a new partner at the end
// of its group, up to four members. Any other node shows " Click the top layer
// for this layer number." and changes nothing.
InsertResult InsertCoDep(ParameterModel& model, const QString& key, const QString& text);

// A layer node: unlinks the slot from its process and frees it. False when
// the slot is not reached by the process's walk.
bool DeleteLayer(ParameterModel& model, const QString& key);

// The rename dialog of a process, asked until it ends. True when the name
// was changed.
bool RenameProcess(ParameterModel& model, int process);

#endif
