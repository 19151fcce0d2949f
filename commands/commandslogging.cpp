#include "commands/commandslogging.h"

Q_LOGGING_CATEGORY(lcCommands, "dcx.commands")
