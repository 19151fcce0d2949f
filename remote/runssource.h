#ifndef DCX_REMOTE_RUNSSOURCE_H
#define DCX_REMOTE_RUNSSOURCE_H

#include <QByteArray>
#include <QString>
#include <optional>

// The run archive as the remote face reads it. Each call returns nullopt for
// a run that does not exist (the server answers 404).
class RunsSource {
public:
    virtual ~RunsSource() = default;
    // The list of runs, newest first, as a JSON array.
    virtual std::optional<QByteArray> runsJson() = 0;
    // One run's row and recipe snapshot as a JSON object.
    virtual std::optional<QByteArray> runJson(const QString& id) = 0;
    // One run's samples in the monitor CSV columns.
    virtual std::optional<QByteArray> runCsv(const QString& id) = 0;
};

#endif
