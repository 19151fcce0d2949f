#ifndef DCX_EDITORS_SYSTEMSPLIT_H
#define DCX_EDITORS_SYSTEMSPLIT_H

#include "store/model.h"

#include <QString>
#include <QStringList>

#include <array>

// The system editor's controls as plain values. The seven indexed
// parameters spnSysParam(0..6): 0 the period (an index into the period
// list), 1 Min Freq and 2 Max Freq in tenths of a MHz, 3..6 the output
// scales in tenths of a volt.
constexpr int kSysParams = 7;
constexpr int kPeriods = 9;
constexpr int kInputEvents = 46;
constexpr int kRelayEvents = 69;

// The period list, in single precision as the instrument keeps it.
float PeriodListValue(int index);
// The smallest index, counting up from 0 and stopping at 8, whose list value
// is not below v (0.25 -> 3, 0.26 -> 4, 0.12 -> 1).
int PeriodIndexAtLeast(double v);

// Spinner limits of spnSysParam(i), from the field table.
int SysParamMin(int index);
int SysParamMax(int index);

// Event names in code order (code = position + 1); the last is "None".
const QStringList& InputEventNames();
const QStringList& RelayEventNames();

struct SystemEdit {
    std::array<int, kSysParams> sysParam{0, 10, 11, 10, 10, 10, 10};
    int sysTool = 10;
    std::array<int, 4> xtool{10, 10, 10, 10};
    bool simulateOn = false;
    std::array<int, MaxInputs> input{};  // cmbInput entries
    std::array<int, MaxOutputs> relay{}; // cmbRelay entries

    bool operator==(const SystemEdit&) const = default;
};

// The controls for the stored values. Values outside a spinner's range are
// clamped to it; an event code outside its list selects "None".
SystemEdit LoadSystemEdit(const ParameterModel& model);
// Stores everything into the system record, inputs and relays.
void StoreSystemEdit(const SystemEdit& e, ParameterModel& model);

// spnSysParam(i)'s display text for spinner value v.
QString SysParamText(int index, int v);
// The spinner value a typed display text sets (clamped, never refused).
int TypedSysParam(int index, const QString& text);
// After spnSysParam(changed) moved (1 = Min, 2 = Max): a Min that reached or
// passed Max pushes the other spinner one step beyond it. After a typed value
// only an equal pair is pushed apart; a typed inversion stays until OK.
void OrderFrequencies(int changed, std::array<int, kSysParams>& sysParam, bool typed = false);
// Min Freq below Max Freq: what OK requires before it stores.
bool FrequenciesOrdered(const std::array<int, kSysParams>& sysParam);

#endif
