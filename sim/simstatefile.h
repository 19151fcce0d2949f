#ifndef DCX_SIM_SIMSTATEFILE_H
#define DCX_SIM_SIMSTATEFILE_H

#include <QByteArray>
#include <QString>

class SimMemory;

// The simulator's own state file: the parameter memory written as the set
// commands that rebuild it, one per line ("D12  1,25 2,1234 ..."), plus the
// selected process ("T 3"). Lines starting with # are comments.

QByteArray SimStateText(const SimMemory& memory, int selectedProcess);

// Rebuilds memory from state text. On failure memory and selectedProcess are
// left untouched and error names the offending line.
bool ParseSimState(const QByteArray& text, SimMemory& memory, int& selectedProcess, QString* error);

bool SaveSimState(const QString& path, const SimMemory& memory, int selectedProcess, QString* error);
bool LoadSimState(const QString& path, SimMemory& memory, int& selectedProcess, QString* error);

#endif
