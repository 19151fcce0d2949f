#include "runlog/datalogsettings.h"

#include "support/modfileutil.h"
#include "support/numbers.h"

namespace {

struct TypedRule {
    double minimum;
    double maximum;
    bool maximumIncluded;
    const char* message;
};

TypedRule typedRule(DataLogField f)
{
    switch (f) {
    case DataLogField::Minutes:
        return {0.0, 500.0, true, "Valid values are 0 to 500 minutes."};
    case DataLogField::Seconds:
        return {0.0, 60.0, false, "Valid values are 0 to 59 seconds."};
    case DataLogField::Interval:
        break;
    }
    return {0.0, 60.0, true, "Valid values are 0 to 60 seconds."};
}

} // namespace

SpinRange DataLogSpinRange(DataLogField f)
{
    return f == DataLogField::Minutes ? SpinRange{0, 999} : SpinRange{0, 60};
}

TypedValue CheckTypedValue(DataLogField f, const QString& text)
{
    const TypedRule rule = typedRule(f);
    const double v = LeadingNumber(text);
    const bool inRange = v >= rule.minimum && (rule.maximumIncluded ? v <= rule.maximum : v < rule.maximum);
    if (!inRange)
        return {std::nullopt, QString::fromLatin1(rule.message)};
    return {int(RoundHalfEven(v)), {}};
}

QString DataLogCaptionOnLoad(const QString& logFileName)
{
    return QStringLiteral("Data Log - [ ") + GetNamePart(logFileName) + QStringLiteral(" ]");
}

QString DataLogCaptionAfterNew(const QString& logFileName)
{
    return QStringLiteral("Data Log - [") + GetNamePart(logFileName) + QStringLiteral("]");
}

FileDialogRequest NewLogFileRequest(const QString& logFileName)
{
    FileDialogRequest req;
    req.title = QStringLiteral("New Log File");
    req.defaultExt = QStringLiteral("txt");
    req.filter = QStringLiteral("Data Files (*.txt)|*.txt");
    req.filterIndex = 1;
    req.fileName = logFileName;
    if (!logFileName.isEmpty() && !logFileName.contains(QLatin1Char('.')))
        req.fileName += QStringLiteral(".txt");
    return req;
}
