#include "sim/simlogging.h"

// Per-command tracing is debug level, off unless enabled by logging rules.
Q_LOGGING_CATEGORY(lcSim, "dcx.sim", QtInfoMsg)
