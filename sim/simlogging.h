#ifndef DCX_SIM_SIMLOGGING_H
#define DCX_SIM_SIMLOGGING_H

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSim)

#endif
