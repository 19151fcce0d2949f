#include "store/dbfaults.h"

namespace {
SaveFaultHook& hook()
{
    static SaveFaultHook h;
    return h;
}
} // namespace

void setSaveFaultHook(SaveFaultHook h)
{
    hook() = std::move(h);
}

bool saveFaultAt(SaveStage stage, const QString& key)
{
    return hook() && hook()(stage, key);
}
