#ifndef DCX_RUNLOG_DATALOG_H
#define DCX_RUNLOG_DATALOG_H

#include "commands/readingsrecord.h"

#include <QDateTime>
#include <QString>

// The data log: a comma-separated text file with one section per run (start
// line, header, one data line per interval inside the run's log window, end
// line). Lines end in CR LF; the file is only ever appended to. Settings come
// from Config(): LogFileName, LogType (0 none, 1 overwrite, 2 append),
// LogStart/LogEnd (the window, seconds from the run start) and LogInterval.
// All times of day come from appClock().secondsSinceMidnight(), dates from
// appClock().now().
//
// How the update loop drives it (one call each, on the UI thread):
//  - run start (stored phase idle 0..5 or 25, new phase above 5) with
//    Config().LogType > 0: InitDataLog();
//  - in GetReadings, after the graph sample, in an active phase (6..22, 26)
//    with Config().LogType >= 1: LogDataLine(CurrentPhase, Readings());
//    it writes a line only when one is due;
//  - new phase 0 ("Stopped") with Config().LogType > 0: LogEndLine().
// DataLogPhaseChange() and DataLogSample() bundle those rules for callers
// that have no update loop of their own (dcx700ctl monitor).
//
// A write that fails loses that text; the failure is shown once through
// dialogs() and not again until a write succeeds or a new section begins.

// --- Texts of the file (the CR LF that ends each append is not included) ---

// "Start:   Date: <date>   Time: <h:mm:ss>" + CR LF.
QString DataLogStartText(const QDateTime& when);
// The column header + CR LF.
QString DataLogHeaderText();
// CR LF + "End:     Date: <date>   Time: <h:mm:ss>" + CR LF + CR LF.
QString DataLogEndText(const QDateTime& when);
// One data line: elapsed seconds, phase text, four outputs, ", Sensors:",
// four sensors.
QString DataLogLine(double elapsedSeconds, int phase, const ReadingsRecord& r);
// The date as written in the start and end lines ("yyyy-MM-dd").
QString DataLogDate(const QDate& d);

// --- Run state and the writer ---

class DataLogger {
public:
    // Starts a section: deletes the file in overwrite mode, asks whether to
    // delete a file above 1,000,000 bytes, writes the start line and header,
    // and sets both times to now. A call made while one is starting (from a
    // tick inside the size question) returns at once.
    void initSection();
    // Writes a data line if one is due now; returns true when one was due
    // (written, or lost to a failed write). Nothing while a section is starting.
    bool logLine(int phase, const ReadingsRecord& r);
    // Writes the end line.
    void endSection();
    // Writes a line of its own for an outage of the link inside the section
    // ("Link lost 14:03:07, restored 14:03:19"). It starts with a letter, so
    // a reader of the data lines (ours, a spreadsheet's numeric column) skips
    // it as it skips the start and end lines.
    void gapLine(const QString& text);

    // Seconds since midnight; moved back by 86400 at a midnight wrap, so a
    // run crossing midnight keeps increasing times. 0 until a section began.
    double LogStartTime = 0.0;
    double LastLogTime = 0.0;

    // Writes that failed since the program started, and why the last one did:
    // for callers that must stop at a failed write (dcx700ctl monitor).
    int failedWrites() const { return failedWrites_; }
    const QString& lastWriteError() const { return lastWriteError_; }

private:
    bool append(const QString& text);
    int failedWrites_ = 0;
    QString lastWriteError_;
    bool failureShown_ = false;
    bool starting_ = false; // inside initSection (its question runs window events)
};

// The program-wide data log state.
DataLogger& DataLog();

// Entry points of the update loop (they act on DataLog()).
void InitDataLog();
bool LogDataLine(int phase, const ReadingsRecord& r);
void LogEndLine();
void LogGapLine(const QString& text);

// The data log's half of the CurrentPhase setter for a change from stored
// phase q to p (nothing when equal): a run start opens a section, a return to
// 0 writes the end line, each only when Config().LogType > 0.
void DataLogPhaseChange(int q, int p);
// The data log's step of GetReadings: a line when phase is active,
// Config().LogType >= 1 and one is due. Returns true when it wrote one.
bool DataLogSample(int phase, const ReadingsRecord& r);

// The size above which a section start asks to delete the file.
constexpr qint64 kDataLogSizeLimit = 1000000;

#endif
