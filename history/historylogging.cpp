#include "history/historylogging.h"

Q_LOGGING_CATEGORY(lcHistory, "dcx.history", QtInfoMsg)
