#ifndef DCX_RUNLOG_LOGWRITER_H
#define DCX_RUNLOG_LOGWRITER_H

#include <QString>
#include <optional>

// Why an append to a text file failed: a number and a description for the
// operator ("Error: <number>. <description>").
struct LogWriteError {
    int number = 0;
    QString description;
};

// Opens the file for appending (creating it when missing), writes text
// followed by CR LF and closes it again. Nothing is shown to the operator:
// the caller decides how often a failure is worth a message.
std::optional<LogWriteError> AppendLogText(const QString& fileName, const QString& text);

#endif
