#include "history/runrecorder.h"

#include "history/historylogging.h"
#include "history/runsnapshot.h"
#include "link/modcomm.h"
#include "runlog/phasetext.h"
#include "store/model.h"

#include <QFileInfo>

namespace {

constexpr int kPhaseStopped = 0;
constexpr int kPhaseCrystalFail = 24;

// A run that reached "Stopped" straight from depositing its last layer ran to
// its end; from anywhere else it was stopped early.
bool IsDepositPhase(int phase)
{
    return phase >= 13 && phase <= 15;
}

} // namespace

RunRecorder::RunRecorder(QString archivePath, int keepDays)
    : path_(std::move(archivePath)), keepDays_(keepDays)
{
    status_ = QStringLiteral("Run history: waiting for a run");
}

RunRecorder::~RunRecorder()
{
    programClosing();
}

void RunRecorder::stop(const QString& why)
{
    if (stopped_)
        return;
    stopped_ = true;
    run_.reset();
    status_ = QStringLiteral("Run history stopped: ") + why;
    qCWarning(lcHistory) << status_;
}

bool RunRecorder::ensureOpen(const QDateTime& now)
{
    if (archive_)
        return true;
    auto archive = std::make_unique<RunArchive>(path_);
    if (!archive->open(true)) {
        stop(archive->error());
        return false;
    }
    // A program killed during a run left it open; its last tick was its end.
    archive->closeRunsLeftOpen(now.addSecs(-60));
    // A checkpoint syncs the file; it waits for the end of a run.
    archive->deferCheckpoints();
    if (keepDays_ > 0)
        archive->prune(now.addDays(-keepDays_));
    archive_ = std::move(archive);
    return true;
}

void RunRecorder::startRun(const QDateTime& when, const ReadingsRecord& r)
{
    if (!ensureOpen(when))
        return;
    const ParameterModel& model = model_ ? *model_ : Model();
    const int n = r.RunProcess;
    const bool known = n >= 1 && n <= MaxProcesses;
    RunRow row;
    row.start = when;
    row.instrument = instrument_;
    row.process = n;
    row.name = known ? model.ProcessTable[size_t(n)].Process_Name.trimmed() : QString();
    row.layers = known ? model.ProcessTable[size_t(n)].Number_Layers : 0;
    run_ = archive_->beginRun(row, BuildRunSnapshot(model, n));
    if (!run_) {
        stop(archive_->error());
        return;
    }
    layers_ = row.layers;
    lastLayer_ = r.RunLayer;
    phaseBeforeStop_ = -1;
    crystalFail_ = false;
    gaps_ = 0;
    status_ = QStringLiteral("Run history: recording run %1").arg(*run_);
}

RunEnd RunRecorder::endKind() const
{
    if (crystalFail_)
        return RunEnd::CrystalFail;
    if (IsDepositPhase(phaseBeforeStop_) && (layers_ < 1 || lastLayer_ >= layers_))
        return RunEnd::Completed;
    return RunEnd::Aborted;
}

void RunRecorder::endRun(const QDateTime& when, RunEnd how)
{
    if (!run_)
        return;
    if (!archive_->endRun(*run_, when, how, gaps_, lastLayer_)) {
        stop(archive_->error());
        return;
    }
    status_ = QStringLiteral("Run history: run %1 %2").arg(*run_).arg(RunEndText(how));
    run_.reset();
    archive_->checkpoint(true);
}

void RunRecorder::record(const QDateTime& when, const ReadingsRecord& r, int linkStatus)
{
    if (!run_)
        return;
    RunSample s{when, linkStatus, r};
    if (!archive_->addSample(*run_, s, gaps_))
        stop(archive_->error());
}

void RunRecorder::tick(const QDateTime& when, const ReadingsRecord& r, int linkStatus)
{
    if (stopped_ || linkStatus == linkstatus::Busy)
        return;
    lastTick_ = when;
    if (linkStatus != linkstatus::Ok) {
        linkLost();
        record(when, last_, linkStatus);
        return;
    }
    const bool afterGap = inGap_;
    inGap_ = false;
    const int p = r.Phase;
    // After a gap the run goes on only where the instrument still runs the
    // same process, no earlier in it; otherwise the run ended unseen.
    if (afterGap && run_ && p != kPhaseStopped &&
        (!IsActivePhase(p) || r.RunProcess != last_.RunProcess || r.ElapsedTime < last_.ElapsedTime)) {
        endRun(when, RunEnd::LinkLost);
        phase_ = kPhaseStopped;
    }
    last_ = r;
    if (p != phase_ && IsRunStart(phase_, p) && !run_)
        startRun(when, r);
    if (run_ && p != kPhaseStopped) {
        lastLayer_ = std::max(lastLayer_, int(r.RunLayer));
        phaseBeforeStop_ = p;
        crystalFail_ = crystalFail_ || p == kPhaseCrystalFail;
    }
    record(when, r, linkStatus);
    if (p == kPhaseStopped && p != phase_)
        endRun(when, afterGap ? RunEnd::LinkLost : endKind());
    phase_ = p;
}

void RunRecorder::linkLost()
{
    if (inGap_)
        return;
    inGap_ = true;
    if (run_)
        ++gaps_;
}

void RunRecorder::linkRestored()
{
    // The next good tick closes the gap; nothing to store before it.
}

void RunRecorder::programClosing()
{
    if (run_)
        endRun(lastTick_.isValid() ? lastTick_ : QDateTime::currentDateTime(),
               inGap_ ? RunEnd::LinkLost : RunEnd::ProgramClosed);
}
