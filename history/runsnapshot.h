#ifndef DCX_HISTORY_RUNSNAPSHOT_H
#define DCX_HISTORY_RUNSNAPSHOT_H

#include <QByteArray>

#include <memory>

struct ParameterModel;

// The recipe a run ran with: the PC model's records of its process at the
// run start (the process header, its layers in walk order, the films they use
// and those films' materials), every field named as in the record field
// table. Kept as JSON, marked as the PC's copy: the instrument may hold
// another.

QByteArray BuildRunSnapshot(const ParameterModel& model, int process);

// A model holding the snapshot's records at their numbers and defaults
// elsewhere, so the process report can be built from it; nullptr when the
// text is not a snapshot. *process receives the process number.
std::unique_ptr<ParameterModel> SnapshotModel(const QByteArray& json, int* process = nullptr);

#endif
