#include "history/runexport.h"

#include "link/modcomm.h"
#include "runlog/monitorcsv.h"

#include <QIODevice>

QByteArray RunCsv(const std::vector<RunSample>& samples)
{
    QByteArray out;
    out.reserve(qsizetype(samples.size()) * 200 + 400);
    out += MonitorCsvHeader().toUtf8();
    out += '\n';
    for (const RunSample& s : samples) {
        const QString line = s.status == 0
                                 ? MonitorCsvLine(s.time, s.readings)
                                 : MonitorCsvFailedLine(s.time, Comm_ErrorText(LinkStatus(s.status)));
        out += line.toUtf8();
        out += '\n';
    }
    return out;
}

bool WriteRunCsv(const std::vector<RunSample>& samples, QIODevice& out)
{
    const QByteArray text = RunCsv(samples);
    return out.write(text) == text.size();
}

QString RunReportHeading(const RunRow& r)
{
    return QStringLiteral("Run %1, %2 to %3, %4 (recipe: the PC's copy at the run start)")
        .arg(r.id)
        .arg(r.start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             r.end.toString(QStringLiteral("HH:mm:ss")), RunEndText(r.ended));
}

QJsonObject RunRowJson(const RunRow& r)
{
    return QJsonObject{{"id", r.id},
                       {"start", r.start.toString(Qt::ISODateWithMs)},
                       {"end", r.end.toString(Qt::ISODateWithMs)},
                       {"instrument", r.instrument},
                       {"process", r.process},
                       {"name", r.name},
                       {"layers", r.layers},
                       {"ended", RunEndText(r.ended)},
                       {"gaps", r.gaps},
                       {"samples", r.samples}};
}
