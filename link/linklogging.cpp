#include "link/linklogging.h"

// Debug output (raw frames and the like) only when QT_LOGGING_RULES asks for it.
Q_LOGGING_CATEGORY(lcLink, "dcx.link", QtInfoMsg)
