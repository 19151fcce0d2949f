#ifndef DCX_HISTORY_RUNARCHIVE_H
#define DCX_HISTORY_RUNARCHIVE_H

#include "commands/readingsrecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QSqlQuery;

// How a run ended. Stored as its text, so the file reads plainly.
enum class RunEnd { Running, Completed, Aborted, CrystalFail, LinkLost, ProgramClosed };
// "running", "completed", "aborted", "crystal fail", "link lost", "program closed".
QString RunEndText(RunEnd end);
std::optional<RunEnd> RunEndFromText(const QString& text);

// One row of the run list.
struct RunRow {
    qint64 id = 0;
    QDateTime start;
    QDateTime end; // the last recorded tick while running
    QString instrument;
    int process = 0;
    QString name;
    int layers = 0;
    RunEnd ended = RunEnd::Running;
    int gaps = 0;
    qint64 samples = 0;
};

// One tick of a run. status is the link status of the tick: 0 when the
// readings arrived; otherwise the values are those of the last good tick.
struct RunSample {
    QDateTime time;
    int status = 0;
    ReadingsRecord readings; // Phase, ElapsedTime, RunLayer and the values
};

struct RunFilter {
    std::optional<int> process;
    QDateTime since; // runs that started at or after; invalid: no bound
    QDateTime until; // runs that started before; invalid: no bound
    std::optional<RunEnd> ended;
};

// "DCX700 Runs.db" in the program folder.
QString RunArchivePath();

// The run archive file: runs, their recipe snapshots and their samples, in
// SQLite (WAL, synchronous=NORMAL: a crash may lose the tick being written,
// never the file). Each call that writes is one transaction. A file that is
// not an archive, or one of a newer schema, is never written to.
class RunArchive {
public:
    static constexpr int kSchemaVersion = 1;

    explicit RunArchive(QString path = RunArchivePath());
    ~RunArchive();
    RunArchive(const RunArchive&) = delete;
    RunArchive& operator=(const RunArchive&) = delete;

    // Opens the file; create makes a missing one (and brings an older one
    // up to date). False with error() set when it cannot be used.
    bool open(bool create);
    bool isOpen() const;
    const QString& path() const { return path_; }
    // Why the last call failed, for the operator.
    const QString& error() const { return error_; }

    // --- Recording ---
    // A new run row with its snapshot (JSON of the records); its id.
    std::optional<qint64> beginRun(const RunRow& row, const QByteArray& snapshot);
    // Appends one tick and moves the run's end time, count and gaps.
    bool addSample(qint64 run, const RunSample& sample, int gaps);
    // The same for many ticks in one transaction (imports, the benchmark).
    bool addSamples(qint64 run, const std::vector<RunSample>& samples, int gaps);
    // layers > 0 replaces the row's layer count.
    bool endRun(qint64 run, const QDateTime& end, RunEnd how, int gaps, int layers = 0);
    // Runs left "running" by a program that is gone: ended as program closed.
    int closeRunsLeftOpen(const QDateTime& lastTickBefore);
    // Deletes the runs that started before the given time; their number.
    int prune(const QDateTime& startedBefore);

    // --- Queries ---
    // Newest first.
    std::vector<RunRow> listRuns(const RunFilter& filter = {});
    std::optional<RunRow> run(qint64 id);
    // The recipe snapshot (JSON), empty when none.
    QByteArray snapshot(qint64 id);
    std::vector<RunSample> samples(qint64 id);
    bool deleteRun(qint64 id);
    // Moves the write-ahead log into the file; passive: never waits for a reader.
    void checkpoint(bool passive = false);
    // Leaves checkpoints to checkpoint(): a recorder moves the log into the
    // file between runs, not in the middle of a tick.
    void deferCheckpoints();
    // The file with its write-ahead log, in bytes.
    qint64 sizeBytes() const;

private:
    bool fail(const QString& what, const QSqlQuery& q);
    bool exec(const QString& sql);
    bool createOrUpgrade();
    bool insert(qint64 run, const RunSample& sample, int gaps);
    bool addSampleInTransaction(qint64 run, const RunSample& sample, int gaps);
    RunRow rowFrom(const QSqlQuery& q) const;

    QString path_;
    QString name_;
    QSqlDatabase db_;
    QString error_;
    std::unique_ptr<QSqlQuery> insertSample_;
    std::unique_ptr<QSqlQuery> touchRun_;
};

#endif
