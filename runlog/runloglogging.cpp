#include "runlog/runloglogging.h"

Q_LOGGING_CATEGORY(lcRunlog, "dcx.runlog")
