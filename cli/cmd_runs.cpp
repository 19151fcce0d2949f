// dcx700ctl runs list/show/export/report: the run archive read from a shell,
// no instrument needed.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "history/runarchive.h"
#include "history/runexport.h"
#include "history/runsnapshot.h"
#include "process/processreport.h"
#include "process/processreportpdf.h"
#include "store/model.h"
#include "support/clock.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

// The request names a run the archive does not hold.
constexpr int kExitNoSuchRun = 6;

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

QString csvField(const QString& s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')))
        return s;
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString runLine(const RunRow& r)
{
    return QStringList{QString::number(r.id),
                       r.start.toString(kTimeFormat),
                       r.end.toString(kTimeFormat),
                       QString::number(r.process),
                       csvField(r.name),
                       QString::number(r.layers),
                       RunEndText(r.ended)}
        .join(QLatin1Char(','));
}

// "2026-12-05" or "2026-12-05T14:00[:00]", local time.
QDateTime parseDate(const QString& text)
{
    const QDate d = QDate::fromString(text, Qt::ISODate);
    if (d.isValid())
        return d.startOfDay();
    return QDateTime::fromString(text, Qt::ISODate);
}

class Archive {
public:
    explicit Archive(CliContext& ctx) : ctx_(ctx) {}
    // Opens the archive; on failure prints why and returns the exit code.
    std::optional<int> open()
    {
        if (!QFile::exists(archive_.path()))
            return ctx_.fileError(archive_.path(), QStringLiteral("no run archive"));
        if (!archive_.open(false))
            return ctx_.fileError(archive_.path(), archive_.error());
        return std::nullopt;
    }
    // The run named by the next argument; prints why when there is none.
    std::optional<RunRow> run(int* rc)
    {
        bool ok = false;
        const qint64 id = ctx_.args.isEmpty() ? 0 : ctx_.args.takeFirst().toLongLong(&ok);
        if (!ok) {
            *rc = ctx_.usageError(QStringLiteral("needs a run ID"));
            return std::nullopt;
        }
        std::optional<RunRow> row = archive_.run(id);
        if (!row) {
            ctx_.err() << "No run " << id << " in " << archive_.path() << '\n';
            *rc = kExitNoSuchRun;
        }
        return row;
    }
    RunArchive& operator*() { return archive_; }
    RunArchive* operator->() { return &archive_; }

private:
    CliContext& ctx_;
    RunArchive archive_;
};

int runsList(CliContext& ctx)
{
    const std::optional<int> process = ctx.takeIntOption(QStringLiteral("--process"));
    const std::optional<QString> since = ctx.takeOption(QStringLiteral("--since"));
    const bool json = ctx.takeFlag(QStringLiteral("--json"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    RunFilter filter;
    filter.process = process;
    if (since) {
        filter.since = parseDate(*since);
        if (!filter.since.isValid())
            return ctx.usageError(QStringLiteral("--since needs a date (2026-12-05 or 2026-12-05T14:00)"));
    }
    Archive archive(ctx);
    if (const std::optional<int> rc = archive.open())
        return *rc;
    const std::vector<RunRow> rows = archive->listRuns(filter);
    if (json) {
        QJsonArray a;
        for (const RunRow& r : rows)
            a.append(RunRowJson(r));
        ctx.out() << QJsonDocument(a).toJson(QJsonDocument::Indented);
        return ExitOk;
    }
    for (const RunRow& r : rows)
        ctx.out() << runLine(r) << '\n';
    return ExitOk;
}

int runsShow(CliContext& ctx)
{
    const bool json = ctx.takeFlag(QStringLiteral("--json"));
    Archive archive(ctx);
    if (const std::optional<int> rc = archive.open())
        return *rc;
    int rc = ExitOk;
    const std::optional<RunRow> row = archive.run(&rc);
    if (!row)
        return rc;
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    const QByteArray snapshot = archive->snapshot(row->id);
    if (json) {
        QJsonObject o = RunRowJson(*row);
        o.insert(QStringLiteral("snapshot"), QJsonDocument::fromJson(snapshot).object());
        ctx.out() << QJsonDocument(o).toJson(QJsonDocument::Indented);
        return ExitOk;
    }
    ctx.out() << "Run: " << row->id << '\n'
              << "Start: " << row->start.toString(kTimeFormat) << '\n'
              << "End: " << row->end.toString(kTimeFormat) << '\n'
              << "Instrument: " << row->instrument << '\n'
              << "Process: " << row->process << ' ' << row->name << '\n'
              << "Layers: " << row->layers << '\n'
              << "Ended: " << RunEndText(row->ended) << '\n'
              << "Gaps: " << row->gaps << '\n'
              << "Samples: " << row->samples << '\n';
    int process = 0;
    const std::unique_ptr<ParameterModel> model = SnapshotModel(snapshot, &process);
    if (!model)
        return ExitOk;
    ctx.out()
        << "\nRecipe (PC copy at the run start):\n"
        << QString::fromUtf8(ProcessReportCsv(BuildProcessReport(*model, process))).remove(QLatin1Char('\r'));
    return ExitOk;
}

int runsExport(CliContext& ctx)
{
    const std::optional<QString> csv = ctx.takeOption(QStringLiteral("--csv"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!csv || csv->isEmpty())
        return ctx.usageError(QStringLiteral("export needs --csv OUT"));
    Archive archive(ctx);
    if (const std::optional<int> rc = archive.open())
        return *rc;
    int rc = ExitOk;
    const std::optional<RunRow> row = archive.run(&rc);
    if (!row)
        return rc;
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    QSaveFile out(*csv);
    if (!out.open(QIODevice::WriteOnly) || !WriteRunCsv(archive->samples(row->id), out) || !out.commit())
        return ctx.fileError(*csv, out.errorString());
    return ExitOk;
}

int runsReport(CliContext& ctx)
{
    const std::optional<QString> pdf = ctx.takeOption(QStringLiteral("--pdf"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!pdf || pdf->isEmpty())
        return ctx.usageError(QStringLiteral("report needs --pdf OUT"));
    Archive archive(ctx);
    if (const std::optional<int> rc = archive.open())
        return *rc;
    int rc = ExitOk;
    const std::optional<RunRow> row = archive.run(&rc);
    if (!row)
        return rc;
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    int process = 0;
    const std::unique_ptr<ParameterModel> model = SnapshotModel(archive->snapshot(row->id), &process);
    if (!model) {
        ctx.err() << "Run " << row->id << " has no recipe snapshot\n";
        return kExitNoSuchRun;
    }
    ProcessReport report = BuildProcessReport(*model, process);
    report.source = RunReportHeading(*row);
    report.printed = appClock().now().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    QString why;
    return WriteProcessReportPdf(report, *pdf, &why) ? ExitOk : ctx.fileError(*pdf, why);
}

int runRuns(CliContext& ctx)
{
    const QString sub = ctx.args.isEmpty() ? QString() : ctx.args.takeFirst();
    if (sub == QLatin1String("list"))
        return runsList(ctx);
    if (sub == QLatin1String("show"))
        return runsShow(ctx);
    if (sub == QLatin1String("export"))
        return runsExport(ctx);
    if (sub == QLatin1String("report"))
        return runsReport(ctx);
    return ctx.usageError(sub.isEmpty() ? QStringLiteral("runs needs list, show, export or report")
                                        : QStringLiteral("unknown runs command ") + sub);
}

const CliCommandRegistrar registrar(
    {QStringLiteral("runs"),
     QStringLiteral(
         "runs (list [--process N] [--since DATE] [--json] | show ID [--json] | export ID --csv OUT | "
         "report ID --pdf OUT)"),
     QStringLiteral("the run archive: list runs, show one, export its samples, print its recipe"), runRuns,
     true});

} // namespace
