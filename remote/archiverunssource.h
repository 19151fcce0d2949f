#ifndef DCX_REMOTE_ARCHIVERUNSSOURCE_H
#define DCX_REMOTE_ARCHIVERUNSSOURCE_H

#include "remote/runssource.h"

#include <QString>

// The run archive file behind the runs endpoints. The file is opened for each
// request and never created, so a request sees what the recorder has just
// written and a program without runs serves an empty list.
class ArchiveRunsSource : public RunsSource {
public:
    explicit ArchiveRunsSource(QString path);

    std::optional<QByteArray> runsJson() override;
    std::optional<QByteArray> runJson(const QString& id) override;
    std::optional<QByteArray> runCsv(const QString& id) override;

private:
    QString path_;
};

#endif
