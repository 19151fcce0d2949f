#ifndef DCX_APP_BUTTONTABLE_H
#define DCX_APP_BUTTONTABLE_H

#include <QtGlobal>

// Which process-control buttons the main window shows for an instrument
// phase. The table is data (buttontable.cpp); the window only applies it.

enum class Show : quint8 { Hidden, Visible, Unchanged };

struct ButtonLayout {
    Show nextLayer = Show::Unchanged;     // cmdNextLayer
    Show startManLayer = Show::Unchanged; // cmdStartManLayer
    Show startLayer = Show::Unchanged;    // cmdStartLayer
    Show stopLayer = Show::Unchanged;     // cmdStopLayer
    Show start = Show::Unchanged;         // cmdStart
    Show abort = Show::Unchanged;         // cmdAbort
    bool processListEnabled = false;      // cboProcess
    bool autoMan = true;                  // cmdAutoMan visible
    bool manAuto = false;                 // cmdManAuto visible
    bool sliders = false;                 // sldManPwr_0..3 visible

    bool operator==(const ButtonLayout&) const = default;
};

// The layout for the stored phase and the pending operate code (a pending
// "Auto -> Manual" swaps the manual-power buttons in the stopped states).
// cmdZero is not part of it: it keeps its design state.
ButtonLayout ButtonsForPhase(qint16 phase, qint16 pendingCode);

#endif
