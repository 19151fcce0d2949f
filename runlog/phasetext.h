#ifndef DCX_RUNLOG_PHASETEXT_H
#define DCX_RUNLOG_PHASETEXT_H

#include <QString>

// Phase codes of the instrument's status reply, their display texts and the
// groups the update loop, the data log and the graphs decide by. Pure
// functions, shared by the main window's update loop and the data log.

// The text shown for a phase code; empty for codes without one
// (2, 4, 17, 18, 19, negative and above 26).
QString PhaseText(int code);

// Idle phases (0..5 and 25): a new run begins from one of these.
bool IsIdlePhase(int code);
// Active phases (6..22 and 26): only in these are graph samples taken and
// log lines written. 23 and 24 are neither idle nor active.
bool IsActivePhase(int code);
// A run begins when the stored phase is idle and the new one is above 5.
bool IsRunStart(int storedPhase, int newPhase);

// A thickness given in Angstrom, shown in kA: "#0.000" below 10 kA, "#0.00"
// below 100 kA, "#0.0" below 1000 kA, and the empty text from 1000 kA up.
QString FormatThickness(double angstrom);

#endif
