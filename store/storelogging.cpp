#include "store/storelogging.h"

// Debug output (raw frames and the like) only when QT_LOGGING_RULES asks for it.
Q_LOGGING_CATEGORY(lcStore, "dcx.store", QtInfoMsg)
