#include "store/dbupgrade.h"

#include "store/dberror.h"
#include "store/dbschema.h"
#include "store/dbwriter.h"
#include "store/sqlitefile.h"
#include "store/storelogging.h"
#include "support/dialogs.h"
#include "support/errhandler.h"
#include "support/modfileutil.h"
#include "support/modstrings.h"
#include "support/modutil.h"
#include "support/numbers.h"

#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUrl>
#include <QVariant>

#include <optional>

namespace {

const QString kSupportPhone = QStringLiteral("+1 555 0142");

struct UpgradeFailure {
    DbError error;
    bool engine = false; // reported by the database engine
};

[[noreturn]] void engineFail(const QSqlError& e)
{
    throw UpgradeFailure{{{}, SqlErrorNumber(e), SqlErrorText(e)}, true};
}

void run(QSqlQuery& q, const QString& sql)
{
    if (!q.exec(sql))
        engineFail(q.lastError());
}

// The real name of a table of the old file (names match ignoring case), or "".
QString oldTableName(QSqlDatabase& db, const char* name)
{
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("SELECT name FROM old.sqlite_master WHERE type='table' AND lower(name)=lower(?)"));
    q.addBindValue(QString::fromLatin1(name));
    if (!q.exec())
        engineFail(q.lastError());
    return q.next() ? q.value(0).toString() : QString();
}

QSet<QString> oldColumns(QSqlDatabase& db, const QString& table)
{
    QSet<QString> cols;
    QSqlQuery q(db);
    run(q, QStringLiteral("PRAGMA old.table_info(%1)").arg(SqlName(table)));
    while (q.next())
        cols.insert(q.value(1).toString().toLower());
    return cols;
}

// Copies every column the two layouts share, table by table.
void copyData(QSqlDatabase& db)
{
    for (const DbTableInfo& info : DbTables()) {
        const QString oldName = oldTableName(db, info.name);
        if (oldName.isEmpty())
            continue;
        const QSet<QString> have = oldColumns(db, oldName);
        QStringList shared;
        for (const QString& c : DbColumnNames(info.id)) {
            if (have.contains(c.toLower()))
                shared << SqlName(c);
        }
        if (shared.isEmpty())
            continue;
        const QString cols = shared.join(QLatin1Char(','));
        QSqlQuery q(db);
        run(q, QStringLiteral("INSERT OR IGNORE INTO main.%1 (%2) SELECT %2 FROM old.%3")
                   .arg(SqlName(QString::fromLatin1(info.name)), cols, SqlName(oldName)));
    }
}

// Instruments from firmware 4.13 on number their inputs differently; files
// written for 1.01..1.08 get the new input code.
bool wantsInputType46(const QString& oldVersion, const QString& id)
{
    if (oldVersion < QStringLiteral("1.01") || oldVersion > QStringLiteral("1.08"))
        return false;
    return id.size() > 3 && LeadingNumber(id.right(4)) >= 4.13;
}

// Builds the current file beside fileName from the old one and renames it
// into place.
void rebuild(const QString& fileName, const QString& oldVersion, const QString& instrumentId)
{
    const QFileInfo target(fileName);
    // Kept open and locked until the end, so a save's clean-up leaves it.
    std::unique_ptr<QTemporaryFile> tmp;
    QString error;
    const QString tempPath = CreatePartialFile(target, tmp, &error);
    if (tempPath.isEmpty())
        throw UpgradeFailure{{{}, dberr::FileAccess, error}, false};
    struct Remove {
        QString path;
        ~Remove()
        {
            if (!path.isEmpty())
                QFile::remove(path);
        }
    } remove{tempPath};

    {
        SqliteConnection conn(tempPath, SqliteConnection::Mode::Create);
        if (!conn.isOpen())
            engineFail(conn.openError());
        QSqlDatabase& db = conn.db();
        {
            QSqlQuery q(db);
            run(q, QStringLiteral("PRAGMA journal_mode=OFF"));
            q.prepare(QStringLiteral("ATTACH DATABASE ? AS old"));
            q.addBindValue(
                QStringLiteral("file:%1?mode=ro")
                    .arg(QString::fromLatin1(QUrl::toPercentEncoding(target.absoluteFilePath(), "/"))));
            if (!q.exec())
                engineFail(q.lastError());
        }
        if (!db.transaction())
            engineFail(db.lastError());
        if (auto e = CreateSchema(db))
            throw UpgradeFailure{*e, true};
        copyData(db);
        // Only the first layout had short tables to fill; later files keep
        // their rows and the load creates any that are missing.
        if (oldVersion == QStringLiteral("1.00")) {
            if (auto e = PadTables(db))
                throw UpgradeFailure{*e, true};
        }
        if (wantsInputType46(oldVersion, instrumentId)) {
            QSqlQuery q(db);
            run(q, QStringLiteral("UPDATE main.Inputs SET \"Input Type\"=46"));
        }
        if (!db.commit())
            engineFail(db.lastError());
        {
            QSqlQuery q(db);
            run(q, QStringLiteral("DETACH DATABASE old"));
        }
        conn.close();
    }
    if (!SyncFile(tempPath))
        throw UpgradeFailure{{{}, dberr::FileAccess, QStringLiteral("Cannot flush ") + tempPath}, false};
    QFile::setPermissions(tempPath, QFile::permissions(fileName));
    QString why;
    if (!ReplaceFile(tempPath, target.absoluteFilePath(), &why))
        throw UpgradeFailure{{{}, dberr::FileAccess, why}, false};
    remove.path.clear();
    SyncFolder(target.absolutePath());
}

} // namespace

QString DBBackupName(const QString& fileName, const QString& fileVersion)
{
    return fileName.left(fileName.size() - 4) + QLatin1Char('_') + StripChars(fileVersion, QLatin1Char('.')) +
           fileName.right(4);
}

QString GetDBProperty(const QString& fileName, const QString& propertyName)
{
    if (CheckSqliteFile(fileName) != SqliteFileState::Ok)
        return {};
    SqliteConnection conn(fileName, SqliteConnection::Mode::ReadOnly);
    if (!conn.isOpen())
        return {};
    QSqlQuery q(conn.db());
    if (!q.prepare(QStringLiteral("SELECT Value FROM DBProperties WHERE lower(Name)=lower(?)")))
        return {};
    q.addBindValue(propertyName);
    if (!q.exec() || !q.next())
        return {};
    return q.value(0).toString();
}

UpgradeResult UpgradeDB(const QString& fileName, const QString& instrumentId)
{
    ProcedureScope scope(QStringLiteral("UpgradeDB"));
    if (CheckSqliteFile(fileName) != SqliteFileState::Ok)
        return UpgradeResult::NotADatabase;

    const QString program = DBProgramVersion();
    QString version = GetDBProperty(fileName, QStringLiteral("Version"));
    if (LeadingNumber(version) == 0.0)
        version = QStringLiteral("1.00");
    const float fileNumber = static_cast<float>(LeadingNumber(version));
    const float programNumber = static_cast<float>(LeadingNumber(program));
    if (fileNumber == programNumber)
        return UpgradeResult::Current;
    if (fileNumber > programNumber) {
        CriticalError(QStringLiteral("Database ") + fileName + QStringLiteral(" is version ") + version +
                      QStringLiteral("\nYour DCX-700 program is only version ") + program +
                      QStringLiteral("\nContact Corvane Instruments (") + kSupportPhone +
                      QStringLiteral(") for upgrade information."));
        return UpgradeResult::Newer;
    }

    try {
        const QString backup = DBBackupName(fileName, version);
        if (!FileExists(backup) && !CopyFileByte(fileName, backup))
            throw UpgradeFailure{{{}, dberr::FileAccess, QStringLiteral("Cannot copy to ") + backup}, false};
        rebuild(fileName, version, instrumentId);
        qCInfo(lcStore) << "upgraded" << fileName << "from" << version << "to" << program;
        return UpgradeResult::Upgraded;
    } catch (const UpgradeFailure& f) {
        // The file itself was never touched: the new one replaces it only
        // when complete.
        if (f.engine) {
            dialogs().message(QStringLiteral("Error number: ") + QString::number(f.error.number) +
                                  QLatin1Char('\r') + f.error.description,
                              MsgButtons::Ok);
        }
        ErrHandler().HandleError(f.error.number, f.error.description);
        return UpgradeResult::Failed;
    }
}
