#ifndef DCX_APP_APPLOGGING_H
#define DCX_APP_APPLOGGING_H

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)

#endif
