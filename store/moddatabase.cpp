#include "store/moddatabase.h"

#include "store/dbdump.h"
#include "store/dbreader.h"
#include "store/dbwriter.h"
#include "store/model.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/errhandler.h"
#include "support/modfileutil.h"
#include "support/progress.h"

namespace {

void showProgress(const QString& caption, const QString& label1, const QString& label2)
{
    ProgressSink& p = progress();
    p.show(caption);
    p.setRange(0, 100);
    p.setLabel1(label1);
    p.setLabel2(label2);
    p.setValue(0);
}

bool debugDump()
{
    return Config().DebugDump == 1;
}

} // namespace

UpgradeResult InitDBPointers(const QString& instrumentId)
{
    return UpgradeDB(Config().DBFileName, instrumentId);
}

bool DBOpen(const QString& instrumentId)
{
    ProcedureScope scope(QStringLiteral("modDatabase_DBOpen"));
    const QString file = Config().DBFileName;
    showProgress(QStringLiteral("Open Database"), QStringLiteral("Opening database:"), GetNamePart(file));

    // Slots that no process of the file reaches are not read: they must not
    // keep what the previous file (or an edit) left in them.
    SetDefaultParameters(Model());
    std::optional<DbError> error;
    if (InitDBPointers(instrumentId) == UpgradeResult::Newer) {
        // Only reached when the critical exit was replaced (tests): the
        // newer file is not read.
        progress().hide();
        Config().DBFileName = QStringLiteral("Default.mdb");
        SetDefaultParameters(Model());
        return false;
    }
    error = ReadDatabase(file, Model());
    progress().hide();
    if (!error) {
        if (debugDump())
            DumpParameters(QStringLiteral("DBOpen.txt"));
        return true;
    }
    dialogs().message(QStringLiteral("Error reading ") + error->key, MsgButtons::Ok, MsgIcon::Exclamation);
    ErrHandler().HandleError(error->number, error->description);
    Config().DBFileName = QStringLiteral("Default.mdb");
    SetDefaultParameters(Model());
    if (debugDump())
        DumpParameters(QStringLiteral("DBOpen.txt"));
    return false;
}

bool DBSave()
{
    ProcedureScope scope(QStringLiteral("modDatabase_DBSave"));
    const QString file = Config().DBFileName;
    showProgress(QStringLiteral("Save To Database"), QStringLiteral("Saving Database:"),
                 QStringLiteral("Create file ") + GetNamePart(file));
    const std::optional<DbError> error = WriteDatabase(Model(), file, [] {
        if (debugDump())
            DumpParameters(QStringLiteral("DBSave.txt"));
    });
    progress().hide();
    if (!error)
        return true;
    dialogs().message(QStringLiteral("Error saving ") + error->key, MsgButtons::Ok, MsgIcon::Exclamation);
    ErrHandler().HandleError(error->number, error->description);
    return false;
}
