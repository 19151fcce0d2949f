#include "editors/editorslogging.h"

Q_LOGGING_CATEGORY(lcEditors, "dcx.editors")
