#include "process/processlogging.h"

Q_LOGGING_CATEGORY(lcProcess, "dcx.process")
