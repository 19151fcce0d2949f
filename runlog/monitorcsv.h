#ifndef DCX_RUNLOG_MONITORCSV_H
#define DCX_RUNLOG_MONITORCSV_H

#include "commands/readingsrecord.h"

#include <QDateTime>
#include <QString>

// The CSV lines of dcx700ctl monitor, shared with the run archive's export
// so that an exported run reads exactly as monitor printed it. "." decimals
// in any locale; no line end.

// "time,elapsed,phase,phase_text,out1_rate,...,sens4_freq".
QString MonitorCsvHeader();
// One tick's readings, stamped with the local time of the reading.
QString MonitorCsvLine(const QDateTime& when, const ReadingsRecord& r);
// A tick whose readings failed: the time, the link status text where the
// phase text goes, every value field empty.
QString MonitorCsvFailedLine(const QDateTime& when, const QString& statusText);
// The time field of a line ("2026-12-05T14:03:07.250"); invalid when the
// line does not start with one.
QDateTime MonitorCsvLineTime(const QString& line);

#endif
