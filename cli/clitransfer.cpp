#include "cli/clitransfer.h"

#include "cli/clicontext.h"
#include "cli/clidialogs.h"
#include "cli/commandtable.h"
#include "process/modelcompare.h"
#include "process/modtransfer.h"
#include "store/moddatabase.h"
#include "store/model.h"
#include "support/config.h"
#include "support/modutil.h"
#include "support/progress.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// The progress window on a terminal: one line, rewritten in place (messages
// clear it first). Not installed when stderr is not a terminal: scripts get
// the messages only.
class TerminalProgress final : public ProgressSink {
public:
    void show(const QString& caption) override { print(caption); }
    void setLabel1(const QString& text) override { label1_ = text; }
    void setLabel2(const QString& text) override { print(label1_ + QLatin1Char(' ') + text.trimmed()); }
    void setRange(int, int) override {}
    void setValue(int) override {}
    void hide() override
    {
        if (shown_)
            std::fputs("\r\033[K", stderr);
        shown_ = false;
    }

private:
    void print(const QString& line)
    {
        std::fprintf(stderr, "\r\033[K%s", line.toLocal8Bit().constData());
        std::fflush(stderr);
        shown_ = true;
    }
    QString label1_;
    bool shown_ = false;
};

// The file's bytes; nullopt when there is no such file.
std::optional<QByteArray> readWhole(const QString& name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

// Puts the file back as readWhole found it (no file: none). Loading may have
// repaired or upgraded it in place.
bool restore(const QString& name, const std::optional<QByteArray>& original)
{
    if (!original)
        return !QFileInfo::exists(name) || QFile::remove(name);
    if (readWhole(name) == original)
        return true;
    QSaveFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(*original) == original->size() && f.commit();
}

struct Families {
    bool processes = false;
    bool materials = false;
    bool system = false;
};

} // namespace

int RunCliTransfer(CliContext& ctx, CliTransfer direction)
{
    const bool upload = direction == CliTransfer::Upload;
    const std::optional<QString> file = ctx.takeOption(QStringLiteral("--db"));
    Families f{ctx.takeFlag(QStringLiteral("--processes")), ctx.takeFlag(QStringLiteral("--materials")),
               ctx.takeFlag(QStringLiteral("--system"))};
    const std::optional<int> retries = ctx.takeIntOption(QStringLiteral("--retries"));
    const bool savePartial = upload && ctx.takeFlag(QStringLiteral("--save-partial"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!file)
        return ctx.usageError(ctx.command.name + QStringLiteral(" needs --db FILE"));
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    if (!f.processes && !f.materials && !f.system)
        f = {true, true, true};
    if (retries)
        ctx.dialogs.setRetries(*retries);
    AppConfig& cfg = Config();
    cfg.UpDnProcesses = f.processes ? 1 : 0;
    cfg.UpDnMaterials = f.materials ? 1 : 0;
    cfg.UpDnSystem = f.system ? 1 : 0;

    // A file newer than the program: the message is printed, the tool ends.
    ScopedCriticalExit exitOnCritical([] {
        std::fflush(stderr);
        std::exit(ExitFile);
    });
    cfg.DBFileName = *file;
    // An upload that skips records must not leave the file it was asked to
    // fill half empty: the bytes as they were come back unless the caller
    // asked for what could be read.
    const std::optional<QByteArray> original = upload ? readWhole(*file) : std::nullopt;
    SetDefaultParameters();
    if (QFileInfo::exists(*file)) {
        if (!DBOpen())
            return ExitFile; // "Error reading ..." is already on stderr
    } else if (!upload) {
        return ctx.fileError(*file, QStringLiteral("no such file"));
    }

    if (!ctx.connect())
        return ExitNotFound;
    TerminalProgress terminal;
    std::optional<ScopedProgress> onTerminal;
    if (::isatty(STDERR_FILENO))
        onTerminal.emplace(terminal);
    if (direction == CliTransfer::Compare) {
        const CompareResult result = CompareWithInstrument(Model());
        onTerminal.reset();
        for (const QString& line : result.differences)
            ctx.out() << line << '\n';
        for (const QString& note : result.notes)
            ctx.err() << note << '\n';
        if (result.transfer.skippedRecords > 0 || ctx.dialogs.givenUp() > 0)
            return ExitSkipped;
        return result.differences.isEmpty() ? ExitOk : ExitDiffers;
    }
    const TransferOutcome outcome = upload ? UploadAll() : DownloadAll();
    onTerminal.reset();

    const bool skipped = outcome.skippedRecords > 0 || ctx.dialogs.givenUp() > 0;
    if (upload && skipped && !savePartial) {
        if (!restore(*file, original))
            return ctx.fileError(*file, QStringLiteral("cannot be put back as it was"));
        const QString which =
            outcome.skipped.isEmpty()
                ? QString()
                : QStringLiteral(" (") + outcome.skipped.join(QStringLiteral(", ")) + QLatin1Char(')');
        ctx.err() << *file << ": not saved, records were skipped" << which
                  << "; the file is as it was. --save-partial saves what was read." << Qt::endl;
        return ExitSkipped;
    }
    if (upload) {
        cfg.DBFileName = *file;
        if (!DBSave())
            return ExitFile; // "Error saving ..." is already on stderr
    }
    return skipped ? ExitSkipped : ExitOk;
}
