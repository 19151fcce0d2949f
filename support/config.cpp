#include "support/config.h"

AppConfig& Config()
{
    static AppConfig config;
    return config;
}
