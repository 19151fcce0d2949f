#include "support/supportlogging.h"

Q_LOGGING_CATEGORY(lcSupport, "dcx.support")
