#ifndef DCX_STORE_DBFAULTS_H
#define DCX_STORE_DBFAULTS_H

#include <QString>

#include <functional>

// Stages of a save, for failure injection in tests: a hook can make any stage
// fail (a full disk, a read-only folder) or stop the process there.
enum class SaveStage {
    CreateFile, // the new file beside the target
    Schema,     // tables and version
    PadTables,  // key rows
    Record,     // one record written; key names it
    Commit,
    Close,
    Sync,   // flushed to disk
    Rename, // put in place of the target
};

// Returns true to make the stage fail.
using SaveFaultHook = std::function<bool(SaveStage stage, const QString& key)>;

void setSaveFaultHook(SaveFaultHook hook);
// Asks the installed hook, if any.
bool saveFaultAt(SaveStage stage, const QString& key = {});

class ScopedSaveFault {
public:
    explicit ScopedSaveFault(SaveFaultHook hook) { setSaveFaultHook(std::move(hook)); }
    ~ScopedSaveFault() { setSaveFaultHook({}); }
    ScopedSaveFault(const ScopedSaveFault&) = delete;
    ScopedSaveFault& operator=(const ScopedSaveFault&) = delete;
};

#endif
