#include "link/linklogging.h"

Q_LOGGING_CATEGORY(lcLink, "dcx.link")
