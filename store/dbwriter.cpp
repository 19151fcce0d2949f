#include "store/dbwriter.h"

#include "store/dbfaults.h"
#include "store/dbschema.h"
#include "store/sqlitefile.h"
#include "store/storelogging.h"
#include "support/progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QVariant>

#include <array>
#include <memory>

namespace {

constexpr const char* kInjected = "Injected failure";

// A save builds its file beside the target as ".<target name>.<6 random
// letters or digits>" (the pattern below, filled in by QTemporaryFile).
constexpr int kRandomChars = 6;

QString partialPrefix(const QFileInfo& target)
{
    return QStringLiteral(".") + target.fileName() + QStringLiteral(".");
}

bool isPartialName(const QString& name, const QString& prefix)
{
    if (name.size() != prefix.size() + kRandomChars || !name.startsWith(prefix))
        return false;
    for (const QChar c : QStringView(name).mid(prefix.size())) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')))
            return false;
    }
    return true;
}

DbError engineError(const QString& key, const QSqlError& e)
{
    return DbError{key, SqlErrorNumber(e), SqlErrorText(e)};
}

// Removes the partial file unless the save got through.
class TempFileGuard {
public:
    explicit TempFileGuard(QString path) : m_path(std::move(path)) {}
    ~TempFileGuard()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void release() { m_path.clear(); }

private:
    QString m_path;
};

template <typename R>
void bindRecord(QSqlQuery& q, std::span<const DbColumn<R>> cols, const R& rec)
{
    for (const auto& c : cols) {
        switch (c.type) {
        case ColType::Integer:
            q.addBindValue(int(rec.*std::get<qint16 R::*>(c.field)));
            break;
        case ColType::Double:
            q.addBindValue(rec.*std::get<double R::*>(c.field));
            break;
        case ColType::Boolean:
            q.addBindValue(rec.*std::get<double R::*>(c.field) != 0.0 ? 1 : 0);
            break;
        case ColType::Text:
            q.addBindValue((rec.*std::get<Name16 R::*>(c.field)).text());
            break;
        }
    }
}

// "INSERT INTO t (key, a, b) VALUES (?, ?, ?)" over the key and data columns.
QString insertSql(DbTable t, const char* verb = "INSERT")
{
    QStringList names;
    for (const QString& c : DbColumnNames(t))
        names << SqlName(c);
    const QStringList marks(names.size(), QStringLiteral("?"));
    return QStringLiteral("%1 INTO %2 (%3) VALUES (%4)")
        .arg(QLatin1String(verb), SqlName(QString::fromLatin1(DbTableOf(t).name)),
             names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

// Writes every record as a complete row of the new file. The result is
// what padding the tables and then filling each record's row gives, in
// half the statements: full rows for every record and for the slots the
// walks reach, bare keys for the other layer slots.
class RecordWriter {
public:
    RecordWriter(QSqlDatabase& db, const ParameterModel& model) : m_db(db), m_model(model) {}

    std::optional<DbError> run()
    {
        try {
            writeAll();
        } catch (const DbError& e) {
            return e;
        }
        return std::nullopt;
    }

private:
    QSqlQuery prepare(const QString& sql)
    {
        QSqlQuery q(m_db);
        if (!q.prepare(sql))
            throw engineError(m_key, q.lastError());
        return q;
    }

    void fault(SaveStage stage)
    {
        if (saveFaultAt(stage, m_key))
            throw DbError{m_key, dberr::FileAccess, QString::fromLatin1(kInjected)};
    }

    template <typename R>
    void write(QSqlQuery& q, std::span<const DbColumn<R>> cols, const R& rec, int key)
    {
        fault(SaveStage::Record);
        if (key > 0)
            q.addBindValue(key);
        bindRecord(q, cols, rec);
        if (!q.exec())
            throw engineError(m_key, q.lastError());
    }

    void writeAll()
    {
        QSqlQuery proc = prepare(insertSql(DbTable::Processes));
        QSqlQuery layer = prepare(insertSql(DbTable::Layers, "INSERT OR REPLACE"));
        // A slot reached twice (by a looping process or by two processes)
        // holds the same record each time: written once.
        std::array<bool, MaxLayers + 1> written{};
        for (int p = 1; p <= MaxProcesses; ++p) {
            m_key = QStringLiteral("Process %1").arg(p);
            const ProcessRecord& pr = m_model.ProcessTable[p];
            write(proc, ProcessColumns(), pr, p);
            const WalkResult walk = WalkProcess(m_model, p);
            for (const WalkStep& s : walk.steps) {
                if (written[static_cast<std::size_t>(s.slot)])
                    continue;
                written[static_cast<std::size_t>(s.slot)] = true;
                m_key = QStringLiteral("Process %1 Layer %2").arg(p).arg(s.slot);
                write(layer, LayerColumns(), m_model.LayerTable[s.slot], s.slot);
            }
            if (!walk.ok()) {
                m_key = QStringLiteral("Process %1 Layer %2").arg(p).arg(walk.badSlot);
                throw DbError{m_key, dberr::SubscriptRange, QStringLiteral("Subscript out of range")};
            }
            progress().setLabel1(QStringLiteral("Saving Process %1:").arg(p));
            progress().setLabel2(pr.Process_Name.text());
            progress().setValue((p * 40) / 100);
        }
        m_key.clear();
        fault(SaveStage::PadTables);
        {
            QSqlQuery keys(m_db);
            if (!keys.exec(QStringLiteral(
                               "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < %1)"
                               " INSERT OR IGNORE INTO Layers (Layer_Number) SELECT k FROM n")
                               .arg(MaxLayers)))
                throw engineError(m_key, keys.lastError());
        }
        QSqlQuery film = prepare(insertSql(DbTable::Films));
        for (int f = 1; f <= MaxFilms; ++f) {
            m_key = QStringLiteral("Film %1").arg(f);
            write(film, FilmColumns(), m_model.FilmTable[f], f);
            progress().setLabel1(QStringLiteral("Saving Film %1:").arg(f));
            progress().setLabel2(m_model.FilmTable[f].Film_Name.text());
            progress().setValue(40 + (f * 20) / 50);
        }
        QSqlQuery mat = prepare(insertSql(DbTable::Materials));
        for (int m = 1; m <= MaxMaterials; ++m) {
            m_key = QStringLiteral("Material %1").arg(m);
            write(mat, MaterialColumns(), m_model.MaterialTable[m], m);
            progress().setLabel1(QStringLiteral("Saving Material %1:").arg(m));
            progress().setLabel2(m_model.MaterialTable[m].Material.text());
            progress().setValue(60 + (m * 20) / 100);
        }
        m_key = QStringLiteral("System");
        QSqlQuery sys = prepare(insertSql(DbTable::System));
        SystemRecord s = m_model.SystemParams; // the file holds hertz
        s.Min_Freq *= 1000000.0;
        s.Max_Freq *= 1000000.0;
        write(sys, SystemColumns(), s, 0);
        QSqlQuery in = prepare(insertSql(DbTable::Inputs));
        QSqlQuery out = prepare(insertSql(DbTable::Outputs));
        for (int i = 1; i <= 16; ++i) {
            m_key = QStringLiteral("Input %1").arg(i);
            write(in, InputColumns(), m_model.InputTable[i - 1], i);
            m_key = QStringLiteral("Output %1").arg(i);
            write(out, OutputColumns(), m_model.OutputTable[i - 1], i);
            progress().setLabel1(QStringLiteral("Saving System Params:"));
            progress().setLabel2(QString());
            progress().setValue(80 + i);
        }
    }

    QSqlDatabase& m_db;
    const ParameterModel& m_model;
    QString m_key;
};

std::optional<DbError> exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        return engineError({}, q.lastError());
    return std::nullopt;
}

// The file's permissions: those of the file it replaces, else the usual ones.
QFileDevice::Permissions permissionsFor(const QString& target)
{
    QFileInfo info(target);
    if (info.exists())
        return QFile::permissions(target);
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
}

} // namespace

std::optional<DbError> CreateSchema(QSqlDatabase& db)
{
    for (const QString& sql : DbCreateStatements()) {
        if (auto e = exec(db, sql))
            return e;
    }
    return std::nullopt;
}

std::optional<DbError> PadTables(QSqlDatabase& db)
{
    static const DbTable order[] = {DbTable::Processes, DbTable::Layers,  DbTable::Films, DbTable::Materials,
                                    DbTable::System,    DbTable::Outputs, DbTable::Inputs};
    for (DbTable t : order) {
        const DbTableInfo& info = DbTableOf(t);
        const QString table = SqlName(QString::fromLatin1(info.name));
        QSqlQuery count(db);
        if (!count.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table) || !count.next())
            return engineError({}, count.lastError());
        const int have = count.value(0).toInt();
        count.finish();
        if (have >= info.rows)
            continue;
        QSqlQuery ins(db);
        QString sql;
        if (!info.key)
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
        else if (t == DbTable::Processes)
            sql = QStringLiteral("INSERT OR IGNORE INTO %1 (Process_Number, First_Layer) VALUES (?, -1)")
                      .arg(table);
        else if (t == DbTable::Materials)
            sql = QStringLiteral("INSERT OR IGNORE INTO %1 (MatNum, Material) VALUES (?, ?)").arg(table);
        else
            sql = QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (?)")
                      .arg(table, SqlName(QString::fromLatin1(info.key)));
        if (!ins.prepare(sql))
            return engineError({}, ins.lastError());
        for (int n = have + 1; n <= info.rows; ++n) {
            if (info.key)
                ins.addBindValue(n);
            if (t == DbTable::Materials)
                ins.addBindValue(QStringLiteral("Material %1").arg(n));
            if (!ins.exec())
                return engineError({}, ins.lastError());
        }
    }
    return std::nullopt;
}

std::optional<DbError> WriteDatabase(const ParameterModel& model, const QString& fileName,
                                     const std::function<void()>& afterPad)
{
    const QFileInfo target(fileName);
    // A write-protected file is not replaced, whoever runs the program.
    if (target.exists() && (!target.isFile() || !(target.permissions() & QFileDevice::WriteOwner)))
        return DbError{{}, dberr::FileAccess, QStringLiteral("Path/File access error: ") + fileName};
    const QString folder = target.absolutePath();

    RemoveLeftoverPartials(target);

    // Kept open, and so locked, until the save ends.
    std::unique_ptr<QTemporaryFile> tmp;
    if (saveFaultAt(SaveStage::CreateFile))
        return DbError{{}, dberr::FileAccess, QString::fromLatin1(kInjected)};
    QString createError;
    const QString tempPath = CreatePartialFile(target, tmp, &createError);
    if (tempPath.isEmpty())
        return DbError{{}, dberr::FileAccess, createError};
    TempFileGuard guard(tempPath);

    {
        SqliteConnection conn(tempPath, SqliteConnection::Mode::Create);
        if (!conn.isOpen())
            return engineError({}, conn.openError());
        QSqlDatabase& db = conn.db();
        // The file is synced as a whole before it replaces the target, and a
        // failed save throws it away: no journal needed.
        for (const char* pragma : {"PRAGMA journal_mode=OFF", "PRAGMA synchronous=OFF"}) {
            if (auto e = exec(db, QString::fromLatin1(pragma)))
                return e;
        }
        if (!db.transaction())
            return engineError({}, db.lastError());
        if (saveFaultAt(SaveStage::Schema))
            return DbError{{}, dberr::FileAccess, QString::fromLatin1(kInjected)};
        if (auto e = CreateSchema(db))
            return e;
        if (afterPad)
            afterPad();
        progress().setLabel1(QStringLiteral("Saving Database:"));
        progress().setLabel2(QStringLiteral("Save Data"));
        if (auto e = RecordWriter(db, model).run())
            return e;
        if (saveFaultAt(SaveStage::Commit))
            return DbError{{}, dberr::FileAccess, QString::fromLatin1(kInjected)};
        if (!db.commit())
            return engineError({}, db.lastError());
        if (saveFaultAt(SaveStage::Close))
            return DbError{{}, dberr::FileAccess, QString::fromLatin1(kInjected)};
        conn.close();
    }
    if (saveFaultAt(SaveStage::Sync) || !SyncFile(tempPath))
        return DbError{{}, dberr::FileAccess, QStringLiteral("Cannot flush ") + tempPath};
    QFile::setPermissions(tempPath, permissionsFor(fileName));
    QString why;
    if (saveFaultAt(SaveStage::Rename))
        return DbError{{}, dberr::FileAccess, QString::fromLatin1(kInjected)};
    if (!ReplaceFile(tempPath, target.absoluteFilePath(), &why))
        return DbError{{}, dberr::FileAccess, why};
    guard.release();
    SyncFolder(folder);
    return std::nullopt;
}

QString CreatePartialFile(const QFileInfo& target, std::unique_ptr<QTemporaryFile>& file, QString* error)
{
    const QString folder = target.absolutePath();
    // Another save's clean-up may take a file in the moment between its
    // creation and its lock; that file is then theirs to remove.
    for (int attempt = 0; attempt < 3; ++attempt) {
        file = std::make_unique<QTemporaryFile>(folder + QLatin1Char('/') + partialPrefix(target) +
                                                QString(kRandomChars, QLatin1Char('X')));
        file->setAutoRemove(false);
        if (!file->open()) {
            *error = file->errorString() + QStringLiteral(": ") + folder;
            return {};
        }
        // Where the file system keeps no locks, no clean-up removes anything.
        if (TryLockFile(file->handle()) != FileLock::Held && IsSameFile(file->handle(), file->fileName()))
            return file->fileName();
    }
    *error = QStringLiteral("Cannot lock a new file in ") + folder;
    return {};
}

void RemoveLeftoverPartials(const QFileInfo& target)
{
    const QString prefix = partialPrefix(target);
    const QDir folder(target.absolutePath());
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (name == target.fileName() || !isPartialName(name, prefix))
            continue;
        if (RemoveIfUnlocked(folder.filePath(name)))
            qCInfo(lcStore) << "Removed the partial file of an interrupted save:" << folder.filePath(name);
    }
}
