#include "runlog/runloglogging.h"

// Debug output (raw frames and the like) only when QT_LOGGING_RULES asks for it.
Q_LOGGING_CATEGORY(lcRunlog, "dcx.runlog", QtInfoMsg)
