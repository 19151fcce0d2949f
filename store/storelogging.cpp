#include "store/storelogging.h"

Q_LOGGING_CATEGORY(lcStore, "dcx.store")
