#include "remote/archiverunssource.h"

#include "history/runarchive.h"
#include "history/runexport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

std::optional<qint64> runId(const QString& text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok && id > 0 ? std::optional<qint64>(id) : std::nullopt;
}

} // namespace

ArchiveRunsSource::ArchiveRunsSource(QString path) : path_(std::move(path)) {}

std::optional<QByteArray> ArchiveRunsSource::runsJson()
{
    QJsonArray list;
    RunArchive archive(path_);
    if (QFile::exists(path_) && archive.open(false))
        for (const RunRow& r : archive.listRuns())
            list.append(RunRowJson(r));
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

std::optional<QByteArray> ArchiveRunsSource::runJson(const QString& id)
{
    const std::optional<qint64> n = runId(id);
    RunArchive archive(path_);
    if (!n || !QFile::exists(path_) || !archive.open(false))
        return std::nullopt;
    const std::optional<RunRow> row = archive.run(*n);
    if (!row)
        return std::nullopt;
    QJsonObject o = RunRowJson(*row);
    o.insert(QStringLiteral("snapshot"), QJsonDocument::fromJson(archive.snapshot(*n)).object());
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<QByteArray> ArchiveRunsSource::runCsv(const QString& id)
{
    const std::optional<qint64> n = runId(id);
    RunArchive archive(path_);
    if (!n || !QFile::exists(path_) || !archive.open(false) || !archive.run(*n))
        return std::nullopt;
    return RunCsv(archive.samples(*n));
}
