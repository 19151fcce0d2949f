#ifndef DCX_LINK_LINKLOGGING_H
#define DCX_LINK_LINKLOGGING_H

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLink)

#endif
