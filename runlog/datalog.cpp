#include "runlog/datalog.h"

#include "runlog/logwriter.h"
#include "runlog/phasetext.h"
#include "runlog/runloglogging.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/modfileutil.h"
#include "support/modutil.h"
#include "support/numbers.h"
#include "support/waitguard.h"

#include <QFileInfo>

namespace {

constexpr double kSecondsPerDay = 86400.0;

QString timeText(const QDateTime& when)
{
    return SecondsToTime(when.time().msecsSinceStartOfDay() / 1000);
}

qint64 fileSize(const QString& path)
{
    const QFileInfo fi(path);
    return fi.exists() ? fi.size() : 0;
}

} // namespace

QString DataLogDate(const QDate& d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString DataLogStartText(const QDateTime& when)
{
    return QStringLiteral("Start:   Date: ") + DataLogDate(when.date()) + QStringLiteral("   Time: ") +
           timeText(when) + QStringLiteral("\r\n");
}

QString DataLogHeaderText()
{
    // The header names only the first columns, dots and all: readers of
    // existing logs rely on this exact line.
    return QStringLiteral("Time,Phase, Out1Rate,Out1Dev,Out1Thk,Out1Pwr, Out2Rate........") +
           QStringLiteral("Sens1Rate,Sens1Thk,Sens1Freq, Sens2rate.........") + QStringLiteral("\r\n");
}

QString DataLogEndText(const QDateTime& when)
{
    return QStringLiteral("\r\nEnd:     Date: ") + DataLogDate(when.date()) + QStringLiteral("   Time: ") +
           timeText(when) + QStringLiteral("\r\n\r\n");
}

QString DataLogLine(double elapsedSeconds, int phase, const ReadingsRecord& r)
{
    QString s = FormatNumber(elapsedSeconds, u"#0.0");
    s += QStringLiteral(", ");
    s += PhaseText(phase);
    for (size_t k = 0; k < 4; ++k) {
        s += QStringLiteral(", ");
        s += FormatNumber(r.OutRate[k], u"#0.00");
        s += QLatin1Char(',');
        s += FormatNumber(r.OutDeviation[k], u"#0.0");
        s += QLatin1Char(',');
        s += FormatThickness(r.OutThickness[k] * 1000.0);
        s += QLatin1Char(',');
        s += FormatNumber(r.OutPower[k], u"#0.0");
    }
    s += QStringLiteral(", Sensors:");
    for (size_t k = 0; k < 4; ++k) {
        s += QStringLiteral(", ");
        s += FormatNumber(r.SensorRate[k], u"#0.00");
        s += QLatin1Char(',');
        s += FormatThickness(r.SensorThickness[k] * 1000.0);
        s += QLatin1Char(',');
        s += FormatNumber(r.SensorFrequency[k], u"#0.000");
    }
    return s;
}

bool DataLogger::append(const QString& text)
{
    const auto err = AppendLogText(Config().LogFileName, text);
    if (!err) {
        failureShown_ = false;
        return true;
    }
    ++failedWrites_;
    lastWriteError_ = err->description;
    if (!failureShown_) {
        qCWarning(lcRunlog) << "data log write failed:" << err->description;
        // Set first: the message box runs window events, and ticks that fire
        // meanwhile must not stack further boxes.
        failureShown_ = true;
        ShowProcError(QStringLiteral("AppendToTextFile"), err->number, err->description);
    }
    return false;
}

void DataLogger::initSection()
{
    // The size question runs window events; a tick inside it must neither
    // start a second section nor write lines before this one's start line.
    if (starting_)
        return;
    starting_ = true;
    const QString path = Config().LogFileName;
    failureShown_ = false;
    if (Config().LogType == 1)
        KillFile(path);
    if (fileSize(path) > kDataLogSizeLimit) {
        // Pending window events (repaints) run before the size is read again and asked about.
        RunWaitEvents();
        const qint64 size = fileSize(path);
        const MsgResult answer = dialogs().message(QStringLiteral("Log file size is %1. Delete?").arg(size),
                                                   MsgButtons::YesNo, MsgIcon::Question);
        if (answer == MsgResult::Yes)
            KillFile(path);
    }
    append(DataLogStartText(appClock().now()));
    append(DataLogHeaderText());
    LogStartTime = appClock().secondsSinceMidnight();
    LastLogTime = LogStartTime;
    starting_ = false;
}

bool DataLogger::logLine(int phase, const ReadingsRecord& r)
{
    if (starting_)
        return false;
    const double t = appClock().secondsSinceMidnight();
    if (t < LastLogTime)
        LastLogTime -= kSecondsPerDay;
    if (t < LogStartTime)
        LogStartTime -= kSecondsPerDay;
    const AppConfig& c = Config();
    if (t - LastLogTime < c.LogInterval)
        return false;
    const double e = t - LogStartTime;
    // The window closes when e + LogStart passes LogEnd (not e alone): with
    // Start 60 and End 300 the lines run from 60 s to 240 s. Equal bounds log
    // the whole run.
    if (c.LogStart != c.LogEnd && (e < c.LogStart || e + c.LogStart > c.LogEnd))
        return false;
    LastLogTime = t;
    append(DataLogLine(e, phase, r));
    return true;
}

void DataLogger::endSection()
{
    append(DataLogEndText(appClock().now()));
}

void DataLogger::gapLine(const QString& text)
{
    if (!starting_)
        append(text);
}

DataLogger& DataLog()
{
    static DataLogger log;
    return log;
}

void InitDataLog()
{
    DataLog().initSection();
}

bool LogDataLine(int phase, const ReadingsRecord& r)
{
    return DataLog().logLine(phase, r);
}

void LogEndLine()
{
    DataLog().endSection();
}

void LogGapLine(const QString& text)
{
    DataLog().gapLine(text);
}

void DataLogPhaseChange(int q, int p)
{
    if (p == q)
        return;
    if (IsRunStart(q, p) && Config().LogType > 0)
        InitDataLog();
    if (p == 0 && Config().LogType > 0)
        LogEndLine();
}

bool DataLogSample(int phase, const ReadingsRecord& r)
{
    if (!IsActivePhase(phase) || Config().LogType < 1)
        return false;
    return LogDataLine(phase, r);
}
