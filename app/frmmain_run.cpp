#include "app/frmmain.h"

// The update loop and process control. Until they are wired to the
// instrument link, the tick and the button layout leave the window as it is.

void frmMain::tmrUpdate_Timer() {}

void frmMain::UpdateButtons() {}

void frmMain::setPendingCode(qint16 code) { PendingCode = code; }

void frmMain::setCurrentPhase(qint16 phase) { CurrentPhase = phase; }

// The link owns its serial port and socket; nothing to hand over yet.
void frmMain::AttachLink() {}
