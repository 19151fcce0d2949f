#ifndef DCX_STORE_STORELOGGING_H
#define DCX_STORE_STORELOGGING_H

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcStore)

#endif
