#include "commands/readingsrecord.h"

ReadingsRecord& Readings()
{
    static ReadingsRecord record;
    return record;
}
