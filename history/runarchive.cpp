#include "history/runarchive.h"

#include "history/historylogging.h"
#include "history/samplecodec.h"
#include "store/sqlitefile.h"
#include "support/programfolder.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <array>
#include <atomic>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

constexpr std::array<const char*, 6> kEndTexts = {"running",      "completed", "aborted",
                                                  "crystal fail", "link lost", "program closed"};

QString timeText(const QDateTime& t)
{
    return t.toString(kTimeFormat);
}

QDateTime timeFrom(const QVariant& v)
{
    // The ISO parser: many times faster than a format string over a long list.
    return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

// The tables of schema version 1.
const char* const kCreate[] = {
    "CREATE TABLE schema_version (version INTEGER NOT NULL)",
    "CREATE TABLE runs (id INTEGER PRIMARY KEY, start TEXT NOT NULL, end TEXT NOT NULL,"
    " instrument TEXT NOT NULL, process INTEGER NOT NULL, name TEXT NOT NULL, layers INTEGER NOT NULL,"
    " ended TEXT NOT NULL, gaps INTEGER NOT NULL, samples INTEGER NOT NULL)",
    "CREATE INDEX runs_start ON runs (start)",
    "CREATE TABLE snapshots (run INTEGER PRIMARY KEY, source TEXT NOT NULL, records TEXT NOT NULL)",
    // One row per tick, kept together per run; the values packed (samplecodec.h).
    "CREATE TABLE samples (run INTEGER NOT NULL, seq INTEGER NOT NULL, time_ms INTEGER NOT NULL,"
    " elapsed REAL NOT NULL, phase INTEGER NOT NULL, layer INTEGER NOT NULL, status INTEGER NOT NULL,"
    " data BLOB NOT NULL, PRIMARY KEY (run, seq)) WITHOUT ROWID",
};

// Steps from each older version to the next, in order: step i upgrades
// version i + 1. Version 1 is the first, so there are none yet.
const std::vector<std::vector<const char*>> kUpgrades = {};

const char* const kRunColumns = "id, start, end, instrument, process, name, layers, ended, gaps, samples";

} // namespace

QString RunEndText(RunEnd end)
{
    return QString::fromLatin1(kEndTexts[size_t(end)]);
}

std::optional<RunEnd> RunEndFromText(const QString& text)
{
    for (size_t i = 0; i < kEndTexts.size(); ++i)
        if (text.compare(QLatin1String(kEndTexts[i]), Qt::CaseInsensitive) == 0)
            return RunEnd(i);
    return std::nullopt;
}

QString RunArchivePath()
{
    return ProgramFile(QStringLiteral("DCX700 Runs.db"));
}

RunArchive::RunArchive(QString path) : path_(std::move(path))
{
    static std::atomic<int> counter{0};
    name_ = QStringLiteral("dcx_history_%1").arg(++counter);
}

RunArchive::~RunArchive()
{
    insertSample_.reset();
    touchRun_.reset();
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
}

bool RunArchive::isOpen() const
{
    return db_.isValid() && db_.isOpen();
}

bool RunArchive::fail(const QString& what, const QSqlQuery& q)
{
    error_ = QStringLiteral("%1: %2").arg(what, q.lastError().text());
    qCWarning(lcHistory) << path_ << error_;
    return false;
}

bool RunArchive::exec(const QString& sql)
{
    QSqlQuery q(db_);
    return q.exec(sql) || fail(QFileInfo(path_).fileName(), q);
}

bool RunArchive::open(bool create)
{
    error_.clear();
    const QFileInfo info(path_);
    const SqliteFileState state = CheckSqliteFile(path_);
    if (info.isDir() || (state != SqliteFileState::Ok && (state != SqliteFileState::Missing || !create))) {
        error_ = QStringLiteral("%1 cannot be used: %2")
                     .arg(info.fileName(), info.isDir() ? QStringLiteral("a folder has its name")
                                                        : SqliteFileStateText(state));
        return false;
    }
    const bool readOnly = state == SqliteFileState::Ok && !info.isWritable();
    if (create && readOnly) {
        error_ = QStringLiteral("%1 cannot be written").arg(info.fileName());
        return false;
    }
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db_.setDatabaseName(path_);
    if (readOnly)
        db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db_.open()) {
        error_ = QStringLiteral("%1 cannot be opened: %2").arg(info.fileName(), db_.lastError().text());
        return false;
    }
    QSqlQuery q(db_);
    // A busy reader (the window, dcx700ctl runs) holds a writer up briefly only.
    q.exec(QStringLiteral("PRAGMA busy_timeout = 2000"));
    if (!readOnly && !(exec(QStringLiteral("PRAGMA journal_mode = WAL")) &&
                       exec(QStringLiteral("PRAGMA synchronous = NORMAL")))) {
        db_.close();
        return false;
    }
    if (!createOrUpgrade()) {
        db_.close();
        return false;
    }
    return true;
}

bool RunArchive::createOrUpgrade()
{
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
        return fail(QFileInfo(path_).fileName(), q);
    const int tables = q.value(0).toInt();
    int version = 0;
    if (tables > 0) {
        if (!q.exec(QStringLiteral("SELECT version FROM schema_version")) || !q.next()) {
            error_ = QStringLiteral("%1 is not a run archive").arg(QFileInfo(path_).fileName());
            return false;
        }
        version = q.value(0).toInt();
    }
    q.finish();
    if (version > kSchemaVersion) {
        error_ = QStringLiteral("%1 was written by a newer version (schema %2)")
                     .arg(QFileInfo(path_).fileName())
                     .arg(version);
        return false;
    }
    if (version == kSchemaVersion)
        return true;
    if (db_.connectOptions().contains(QLatin1String("READONLY"))) {
        error_ = QStringLiteral("%1 needs an upgrade but cannot be written").arg(QFileInfo(path_).fileName());
        return false;
    }
    // Creation and each upgrade step happen whole or not at all.
    db_.transaction();
    bool ok = true;
    if (version == 0) {
        for (const char* sql : kCreate)
            ok = ok && exec(QLatin1String(sql));
        ok = ok && exec(QStringLiteral("INSERT INTO schema_version VALUES (%1)").arg(kSchemaVersion));
    } else {
        for (int v = version; ok && v < kSchemaVersion; ++v)
            for (const char* sql : kUpgrades[size_t(v - 1)])
                ok = ok && exec(QLatin1String(sql));
        ok = ok && exec(QStringLiteral("UPDATE schema_version SET version = %1").arg(kSchemaVersion));
    }
    if (!ok || !db_.commit()) {
        db_.rollback();
        if (error_.isEmpty())
            error_ = QStringLiteral("%1 cannot be written").arg(QFileInfo(path_).fileName());
        return false;
    }
    return true;
}

std::optional<qint64> RunArchive::beginRun(const RunRow& row, const QByteArray& snapshot)
{
    if (!isOpen())
        return std::nullopt;
    db_.transaction();
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO runs (start, end, instrument, process, name, layers, ended, gaps,"
                             " samples) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0)"));
    q.addBindValue(timeText(row.start));
    q.addBindValue(timeText(row.start));
    // A null text would be bound as NULL.
    q.addBindValue(row.instrument.isNull() ? QStringLiteral("") : row.instrument);
    q.addBindValue(row.process);
    q.addBindValue(row.name.isNull() ? QStringLiteral("") : row.name);
    q.addBindValue(row.layers);
    q.addBindValue(RunEndText(row.ended));
    q.addBindValue(row.gaps);
    if (!q.exec()) {
        db_.rollback();
        fail(QStringLiteral("new run"), q);
        return std::nullopt;
    }
    const qint64 id = q.lastInsertId().toLongLong();
    QSqlQuery s(db_);
    s.prepare(QStringLiteral("INSERT INTO snapshots (run, source, records) VALUES (?, 'PC', ?)"));
    s.addBindValue(id);
    s.addBindValue(QString::fromUtf8(snapshot));
    if (!s.exec() || !db_.commit()) {
        db_.rollback();
        fail(QStringLiteral("new run"), s);
        return std::nullopt;
    }
    return id;
}

bool RunArchive::insert(qint64 run, const RunSample& sample, int gaps)
{
    if (!insertSample_) {
        insertSample_ = std::make_unique<QSqlQuery>(db_);
        insertSample_->prepare(
            QStringLiteral("INSERT INTO samples (run, seq, time_ms, elapsed, phase, layer, status, data)"
                           " VALUES (?, (SELECT samples FROM runs WHERE id = ?), ?, ?, ?, ?, ?, ?)"));
        touchRun_ = std::make_unique<QSqlQuery>(db_);
        touchRun_->prepare(
            QStringLiteral("UPDATE runs SET end = ?, samples = samples + 1, gaps = ? WHERE id = ?"));
    }
    const ReadingsRecord& r = sample.readings;
    QSqlQuery& ins = *insertSample_;
    ins.bindValue(0, run);
    ins.bindValue(1, run);
    ins.bindValue(2, sample.time.toMSecsSinceEpoch());
    ins.bindValue(3, r.ElapsedTime);
    ins.bindValue(4, int(r.Phase));
    ins.bindValue(5, int(r.RunLayer));
    ins.bindValue(6, sample.status);
    ins.bindValue(7, EncodeSampleValues(r));
    if (!ins.exec())
        return fail(QStringLiteral("sample"), ins);
    QSqlQuery& touch = *touchRun_;
    touch.bindValue(0, timeText(sample.time));
    touch.bindValue(1, gaps);
    touch.bindValue(2, run);
    if (!touch.exec())
        return fail(QStringLiteral("sample"), touch);
    if (touch.numRowsAffected() != 1) {
        error_ = QStringLiteral("sample: run %1 is gone").arg(run);
        return false;
    }
    return true;
}

bool RunArchive::addSample(qint64 run, const RunSample& sample, int gaps)
{
    return addSamples(run, {sample}, gaps);
}

bool RunArchive::addSamples(qint64 run, const std::vector<RunSample>& samples, int gaps)
{
    if (!isOpen())
        return false;
    if (samples.size() == 1)
        return addSampleInTransaction(run, samples.front(), gaps);
    // Many ticks at once: numbered here, the run's row moved once at the end.
    if (!db_.transaction()) {
        error_ = QStringLiteral("samples: %1").arg(db_.lastError().text());
        return false;
    }
    QSqlQuery count(db_);
    count.prepare(QStringLiteral("SELECT samples FROM runs WHERE id = ?"));
    count.addBindValue(run);
    if (!count.exec() || !count.next()) {
        db_.rollback();
        return fail(QStringLiteral("samples"), count);
    }
    const qint64 first = count.value(0).toLongLong();
    count.finish();
    QSqlQuery ins(db_);
    ins.prepare(QStringLiteral("INSERT INTO samples (run, seq, time_ms, elapsed, phase, layer, status, data)"
                               " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (size_t i = 0; i < samples.size(); ++i) {
        const RunSample& s = samples[i];
        ins.bindValue(0, run);
        ins.bindValue(1, first + qint64(i));
        ins.bindValue(2, s.time.toMSecsSinceEpoch());
        ins.bindValue(3, s.readings.ElapsedTime);
        ins.bindValue(4, int(s.readings.Phase));
        ins.bindValue(5, int(s.readings.RunLayer));
        ins.bindValue(6, s.status);
        ins.bindValue(7, EncodeSampleValues(s.readings));
        if (!ins.exec()) {
            db_.rollback();
            return fail(QStringLiteral("samples"), ins);
        }
    }
    QSqlQuery touch(db_);
    touch.prepare(QStringLiteral("UPDATE runs SET end = ?, samples = samples + ?, gaps = ? WHERE id = ?"));
    touch.addBindValue(samples.empty() ? QString() : timeText(samples.back().time));
    touch.addBindValue(qint64(samples.size()));
    touch.addBindValue(gaps);
    touch.addBindValue(run);
    if (samples.empty() || !touch.exec() || !db_.commit()) {
        db_.rollback();
        return samples.empty() || fail(QStringLiteral("samples"), touch);
    }
    return true;
}

bool RunArchive::addSampleInTransaction(qint64 run, const RunSample& sample, int gaps)
{
    // The tick and the run's row move together: a crash keeps both or neither.
    if (!db_.transaction()) {
        error_ = QStringLiteral("sample: %1").arg(db_.lastError().text());
        return false;
    }
    if (!insert(run, sample, gaps)) {
        db_.rollback();
        return false;
    }
    if (!db_.commit()) {
        error_ = QStringLiteral("sample: %1").arg(db_.lastError().text());
        db_.rollback();
        return false;
    }
    return true;
}

bool RunArchive::endRun(qint64 run, const QDateTime& end, RunEnd how, int gaps, int layers)
{
    if (!isOpen())
        return false;
    QSqlQuery q(db_);
    q.prepare(
        QStringLiteral("UPDATE runs SET end = ?, ended = ?, gaps = ?, layers = max(layers, ?) WHERE id = ?"));
    q.addBindValue(timeText(end));
    q.addBindValue(RunEndText(how));
    q.addBindValue(gaps);
    q.addBindValue(layers);
    q.addBindValue(run);
    return q.exec() || fail(QStringLiteral("run end"), q);
}

int RunArchive::closeRunsLeftOpen(const QDateTime& lastTickBefore)
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("UPDATE runs SET ended = ? WHERE ended = ? AND end < ?"));
    q.addBindValue(RunEndText(RunEnd::ProgramClosed));
    q.addBindValue(RunEndText(RunEnd::Running));
    q.addBindValue(timeText(lastTickBefore));
    if (!q.exec())
        return fail(QStringLiteral("runs left open"), q), 0;
    return q.numRowsAffected();
}

int RunArchive::prune(const QDateTime& startedBefore)
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT id FROM runs WHERE start < ? AND ended <> ?"));
    q.addBindValue(timeText(startedBefore));
    q.addBindValue(RunEndText(RunEnd::Running));
    if (!q.exec())
        return fail(QStringLiteral("retention"), q), 0;
    std::vector<qint64> ids;
    while (q.next())
        ids.push_back(q.value(0).toLongLong());
    int n = 0;
    for (qint64 id : ids)
        n += deleteRun(id) ? 1 : 0;
    return n;
}

RunRow RunArchive::rowFrom(const QSqlQuery& q) const
{
    RunRow r;
    r.id = q.value(0).toLongLong();
    r.start = timeFrom(q.value(1));
    r.end = timeFrom(q.value(2));
    r.instrument = q.value(3).toString();
    r.process = q.value(4).toInt();
    r.name = q.value(5).toString();
    r.layers = q.value(6).toInt();
    r.ended = RunEndFromText(q.value(7).toString()).value_or(RunEnd::Running);
    r.gaps = q.value(8).toInt();
    r.samples = q.value(9).toLongLong();
    return r;
}

std::vector<RunRow> RunArchive::listRuns(const RunFilter& filter)
{
    std::vector<RunRow> rows;
    if (!isOpen())
        return rows;
    QStringList where;
    QVariantList binds;
    if (filter.process) {
        where << QStringLiteral("process = ?");
        binds << *filter.process;
    }
    if (filter.since.isValid()) {
        where << QStringLiteral("start >= ?");
        binds << timeText(filter.since);
    }
    if (filter.until.isValid()) {
        where << QStringLiteral("start < ?");
        binds << timeText(filter.until);
    }
    if (filter.ended) {
        where << QStringLiteral("ended = ?");
        binds << RunEndText(*filter.ended);
    }
    QString sql = QStringLiteral("SELECT %1 FROM runs").arg(QLatin1String(kRunColumns));
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY start DESC, id DESC");
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec())
        return fail(QStringLiteral("run list"), q), rows;
    while (q.next())
        rows.push_back(rowFrom(q));
    return rows;
}

std::optional<RunRow> RunArchive::run(qint64 id)
{
    if (!isOpen())
        return std::nullopt;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT %1 FROM runs WHERE id = ?").arg(QLatin1String(kRunColumns)));
    q.addBindValue(id);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return rowFrom(q);
}

QByteArray RunArchive::snapshot(qint64 id)
{
    if (!isOpen())
        return {};
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT records FROM snapshots WHERE run = ?"));
    q.addBindValue(id);
    if (!q.exec() || !q.next())
        return {};
    return q.value(0).toString().toUtf8();
}

std::vector<RunSample> RunArchive::samples(qint64 id)
{
    std::vector<RunSample> out;
    if (!isOpen())
        return out;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT time_ms, elapsed, phase, layer, status, data FROM samples WHERE run = ? ORDER BY seq"));
    q.addBindValue(id);
    if (!q.exec())
        return fail(QStringLiteral("samples"), q), out;
    while (q.next()) {
        RunSample s;
        s.time = QDateTime::fromMSecsSinceEpoch(q.value(0).toLongLong());
        s.readings.ElapsedTime = q.value(1).toDouble();
        s.readings.Phase = qint16(q.value(2).toInt());
        s.readings.RunLayer = qint16(q.value(3).toInt());
        s.status = q.value(4).toInt();
        if (!DecodeSampleValues(q.value(5).toByteArray(), s.readings))
            qCWarning(lcHistory) << "run" << id << "sample" << out.size() << "has damaged values";
        out.push_back(s);
    }
    return out;
}

bool RunArchive::deleteRun(qint64 id)
{
    if (!isOpen())
        return false;
    db_.transaction();
    for (const char* sql : {"DELETE FROM samples WHERE run = ?", "DELETE FROM snapshots WHERE run = ?",
                            "DELETE FROM runs WHERE id = ?"}) {
        QSqlQuery q(db_);
        q.prepare(QLatin1String(sql));
        q.addBindValue(id);
        if (!q.exec()) {
            db_.rollback();
            return fail(QStringLiteral("delete"), q);
        }
    }
    return db_.commit();
}

void RunArchive::checkpoint(bool passive)
{
    if (isOpen())
        exec(passive ? QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")
                     : QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

void RunArchive::deferCheckpoints()
{
    if (isOpen())
        exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
}

qint64 RunArchive::sizeBytes() const
{
    qint64 n = 0;
    for (const QString& suffix : {QString(), QStringLiteral("-wal")})
        n += QFileInfo(path_ + suffix).size();
    return n;
}
