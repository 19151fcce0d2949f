#ifndef DCX_SIM_SIMDEMO_H
#define DCX_SIM_SIMDEMO_H

class SimMemory;

// Resets memory and fills it with a small, plausible parameter set: common
// evaporation materials, films for them, and a few processes of several layers
// (one with a co-deposition group), so a new user sees something meaningful.
void LoadDemoSet(SimMemory& memory);

#endif
