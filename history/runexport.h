#ifndef DCX_HISTORY_RUNEXPORT_H
#define DCX_HISTORY_RUNEXPORT_H

#include "history/runarchive.h"

#include <QByteArray>
#include <QJsonObject>

#include <vector>

class QIODevice;

// A run's samples in the columns of dcx700ctl monitor: its header line, then
// one line per tick exactly as monitor printed it (a failed tick with the
// link status text and empty values), "\n" line ends.
QByteArray RunCsv(const std::vector<RunSample>& samples);
// The same written to out; false when a write failed.
bool WriteRunCsv(const std::vector<RunSample>& samples, QIODevice& out);

// A run row as JSON: what `dcx700ctl runs list --json` prints for each run
// and the remote face serves.
QJsonObject RunRowJson(const RunRow& r);

// The heading of a run's recipe report: "Run 12, 2026-12-05 14:03:07 to
// 14:33:10, completed (recipe: the PC's copy at the run start)".
QString RunReportHeading(const RunRow& r);

#endif
