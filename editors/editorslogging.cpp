#include "editors/editorslogging.h"

// Debug output (raw frames and the like) only when QT_LOGGING_RULES asks for it.
Q_LOGGING_CATEGORY(lcEditors, "dcx.editors", QtInfoMsg)
