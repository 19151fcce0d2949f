#include "remote/remotelogging.h"

Q_LOGGING_CATEGORY(lcRemote, "dcx.remote", QtInfoMsg)
