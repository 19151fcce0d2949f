#ifndef DCX_RUNLOG_DATALOGSETTINGS_H
#define DCX_RUNLOG_DATALOGSETTINGS_H

#include "support/dialogs.h"

#include <QString>
#include <optional>

// The rules of the data log settings window that need no display: typed
// values and their ranges, captions and the new-file dialog request.

// The typed fields of the window. Typed ranges are narrower than the spin
// controls' (minutes 0..999, seconds and interval 0..60).
enum class DataLogField { Minutes, Seconds, Interval };

struct SpinRange {
    int minimum;
    int maximum;
};
SpinRange DataLogSpinRange(DataLogField f);

// The outcome of leaving a typed field: the value for the paired spin
// control, or the message to show (OK button only).
struct TypedValue {
    std::optional<int> value;
    QString message;
};
// Takes the leading number of text (0 when none); minutes 0..500, seconds
// 0 to below 60, interval 0..60; in range it is rounded to an integer.
TypedValue CheckTypedValue(DataLogField f, const QString& text);

// "Data Log - [ name ]" as set on opening the window.
QString DataLogCaptionOnLoad(const QString& logFileName);
// "Data Log - [name]" as set after choosing a new file.
QString DataLogCaptionAfterNew(const QString& logFileName);
// The save dialog of the "&New" button, proposing the current file.
FileDialogRequest NewLogFileRequest(const QString& logFileName);

#endif
