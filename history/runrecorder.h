#ifndef DCX_HISTORY_RUNRECORDER_H
#define DCX_HISTORY_RUNRECORDER_H

#include "history/runarchive.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

struct ParameterModel;

// Records runs into the archive, fed once per update tick. A run begins and
// ends by the update loop's rules: it begins when the stored phase is idle and
// the new one above 5, and ends when the phase returns to "Stopped" (a new
// run start while one is open, as after "Stop Layer", continues it). Every
// tick of an open run is kept, failed ones as gaps.
//
// Recording never stops the caller: a failure ends recording, statusText()
// says why, and the archive is left as it was.
class RunRecorder {
public:
    // The archive is opened (made when missing) at the first run start.
    // keepDays > 0 deletes runs that started longer ago than that.
    explicit RunRecorder(QString archivePath = RunArchivePath(), int keepDays = 0);
    // An open run ends as "program closed".
    ~RunRecorder();
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    // The identification text stored with new runs.
    void setInstrument(const QString& id) { instrument_ = id; }
    // The PC's parameter model the recipe snapshot is taken from (default: Model()).
    void setModel(const ParameterModel* model) { model_ = model; }

    // One tick: the readings as they stand after it (Phase, ElapsedTime,
    // RunProcess, RunLayer, values) and the link status of its last
    // transaction (0: the readings arrived). A tick that sent nothing
    // because another transaction was waiting (status 9) is not a tick.
    void tick(const QDateTime& when, const ReadingsRecord& r, int linkStatus);
    // The link was lost or came back (from the link healing); a gap counts
    // once however many failed ticks it holds.
    void linkLost();
    void linkRestored();
    // Ends an open run as "program closed".
    void programClosing();

    // For the status bar: recording, idle, or why recording stopped.
    const QString& statusText() const { return status_; }
    bool stopped() const { return stopped_; }
    std::optional<qint64> currentRun() const { return run_; }
    int gaps() const { return gaps_; }

private:
    bool ensureOpen(const QDateTime& now);
    void startRun(const QDateTime& when, const ReadingsRecord& r);
    void endRun(const QDateTime& when, RunEnd how);
    RunEnd endKind() const;
    void record(const QDateTime& when, const ReadingsRecord& r, int linkStatus);
    void stop(const QString& why);

    QString path_;
    int keepDays_;
    std::unique_ptr<RunArchive> archive_;
    const ParameterModel* model_ = nullptr;
    QString instrument_;
    QString status_;
    bool stopped_ = false;

    int phase_ = -1; // as after start-up: a run already going is not recorded
    std::optional<qint64> run_;
    int layers_ = 0;
    int lastLayer_ = 0;
    int phaseBeforeStop_ = -1;
    bool crystalFail_ = false;
    bool inGap_ = false;
    int gaps_ = 0;
    QDateTime lastTick_;
    ReadingsRecord last_;
};

#endif
