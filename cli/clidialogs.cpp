#include "cli/clidialogs.h"

#include <cstdio>
#include <unistd.h>

void PrintMessageLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    // On a terminal the line first clears a progress line left there.
    std::fprintf(stderr, "%s%s\n", ::isatty(STDERR_FILENO) ? "\r\033[K" : "", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

bool CliDialogs::retryAllowed()
{
    if (retriesForRecord_ < retries_) {
        ++retriesForRecord_;
        return true;
    }
    ++givenUp_;
    return false;
}

MsgResult CliDialogs::message(const QString& text, MsgButtons buttons, MsgIcon, const QString&)
{
    PrintMessageLine(text);
    const bool mentionsRetry = text.contains(QLatin1String("retry"), Qt::CaseInsensitive);
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::OkCancel:
        return MsgResult::Ok;
    case MsgButtons::RetryCancel:
        return retryAllowed() ? MsgResult::Retry : MsgResult::Cancel;
    case MsgButtons::AbortRetryIgnore:
        return retryAllowed() ? MsgResult::Retry : MsgResult::Ignore;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        if (mentionsRetry)
            return retryAllowed() ? MsgResult::Yes : MsgResult::No;
        // A command confirms the operation it starts, never the loss of a file
        // ("Log file size is ... Delete?"): without a person the file is kept.
        if (text.contains(QLatin1String("Delete"), Qt::CaseInsensitive))
            return MsgResult::No;
        return MsgResult::Yes;
    }
    return defaultAnswer(buttons);
}

std::optional<QString> CliDialogs::input(const QString& prompt, const QString&, const QString& defaultText)
{
    PrintMessageLine(prompt);
    if (defaultText.isEmpty())
        return std::nullopt;
    return defaultText;
}

std::optional<QString> CliDialogs::openFile(const FileDialogRequest&)
{
    return std::nullopt;
}

std::optional<QString> CliDialogs::saveFile(const FileDialogRequest&)
{
    return std::nullopt;
}
