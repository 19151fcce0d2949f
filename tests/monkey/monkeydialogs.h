#ifndef DCX_TESTS_MONKEY_MONKEYDIALOGS_H
#define DCX_TESTS_MONKEY_MONKEYDIALOGS_H

#include "support/dialogs.h"

#include <QDir>
#include <QStringList>

#include <random>

// Answers every dialog of the program at random, as an impatient operator
// would: any button the box offers, odd input texts, files only inside the
// scratch program folder. While draining it picks the answer that leaves
// things as they are (No, Cancel), so the windows can close.
class MonkeyDialogs final : public Dialogs {
public:
    MonkeyDialogs(quint32 seed, QString folder) : rng_(seed), folder_(std::move(folder)) {}

    bool draining = false;
    int answered = 0;
    int busyDepth = 0;
    // What the error handler reported: each one is a fault the run found.
    QStringList errorReports;

    MsgResult message(const QString& text, MsgButtons buttons, MsgIcon, const QString&) override
    {
        ++answered;
        if (text.startsWith(QLatin1String("Non Fatal Error:")) ||
            text.startsWith(QLatin1String("The following error has occurred in procedure:")))
            errorReports << QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const std::vector<MsgResult> offered = choices(buttons);
        for (MsgResult calm : {MsgResult::No, MsgResult::Cancel, MsgResult::Abort, MsgResult::Ok})
            if (draining && std::find(offered.begin(), offered.end(), calm) != offered.end())
                return calm;
        return offered[pick(offered.size())];
    }

    std::optional<QString> input(const QString&, const QString&, const QString& defaultText) override
    {
        ++answered;
        if (draining)
            return std::nullopt;
        const QString texts[] = {QString(),
                                 defaultText,
                                 QStringLiteral("1"),
                                 QStringLiteral("-5"),
                                 QStringLiteral("12.5"),
                                 QStringLiteral("abc"),
                                 QString(300, QLatin1Char('9'))};
        const size_t i = pick(std::size(texts) + 1);
        return i == std::size(texts) ? std::nullopt : std::optional(texts[i]);
    }

    // Only files of the kinds the dialog asks for: a wrong kind is refused
    // through the error handler by design, and every error-handler report
    // counts as a failure of the run.
    std::optional<QString> openFile(const FileDialogRequest& req) override
    {
        ++answered;
        QStringList patterns;
        const QStringList parts = req.filter.split(QLatin1Char('|'));
        for (qsizetype i = 1; i < parts.size(); i += 2)
            if (parts.at(i) != QLatin1String("*.*"))
                patterns += parts.at(i).split(QLatin1Char(';'));
        const QStringList files = QDir(folder_).entryList(patterns, QDir::Files);
        if (draining || files.isEmpty() || pick(3) == 0)
            return std::nullopt;
        return QDir(folder_).filePath(pick(5) == 0 ? QStringLiteral("no such file.mdb")
                                                   : files.at(qsizetype(pick(size_t(files.size())))));
    }

    std::optional<QString> saveFile(const FileDialogRequest& req) override
    {
        ++answered;
        if (draining || pick(3) == 0)
            return std::nullopt;
        const QString ext = req.defaultExt.isEmpty() ? QStringLiteral("txt") : req.defaultExt;
        return QDir(folder_).filePath(QStringLiteral("monkey-%1.%2").arg(pick(4)).arg(ext));
    }

    void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }

private:
    static std::vector<MsgResult> choices(MsgButtons b)
    {
        switch (b) {
        case MsgButtons::Ok:
            return {MsgResult::Ok};
        case MsgButtons::OkCancel:
            return {MsgResult::Ok, MsgResult::Cancel};
        case MsgButtons::YesNo:
            return {MsgResult::Yes, MsgResult::No};
        case MsgButtons::YesNoCancel:
            return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
        case MsgButtons::RetryCancel:
            return {MsgResult::Retry, MsgResult::Cancel};
        case MsgButtons::AbortRetryIgnore:
            return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
        }
        return {MsgResult::Ok};
    }
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

    std::mt19937 rng_;
    QString folder_;
};

#endif
