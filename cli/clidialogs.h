#ifndef DCX_CLI_CLIDIALOGS_H
#define DCX_CLI_CLIDIALOGS_H

#include "support/dialogs.h"

#include <QString>
#include <QtGlobal>

// Answers the program's dialogs when nobody is there to:
// - every message is printed on stderr as one line (line breaks become blanks);
// - a retry prompt (Retry/Cancel, Abort/Retry/Ignore, or a Yes/No question
//   whose text mentions "retry") is answered Retry/Yes up to retries() times
//   for the same record, then Cancel/No (Ignore for Abort/Retry/Ignore, so the
//   operation goes on without the record). A record runs from one
//   beginRecord() to the next (the transfers mark each record), so the
//   prompts of one record share one count whatever their texts and whatever
//   succeeded in between (a material whose range check fails re-sends a
//   query that succeeds);
// - any other question is a confirmation of what the command asked for: Yes/Ok;
// - an input box takes its proposed text, or is cancelled when there is none;
//   file dialogs are cancelled (commands take file names as options).
class CliDialogs final : public Dialogs {
public:
    MsgResult message(const QString& text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
                      const QString& title = {}) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText = {}) override;
    std::optional<QString> openFile(const FileDialogRequest& req) override;
    std::optional<QString> saveFile(const FileDialogRequest& req) override;
    void setBusy(bool) override {}
    void beginRecord() override { retriesForRecord_ = 0; }

    int retries() const { return retries_; }
    void setRetries(int n) { retries_ = qMax(0, n); }
    // Number of retry prompts answered Cancel/No/Ignore so far (the skipped records).
    int givenUp() const { return givenUp_; }

private:
    bool retryAllowed();

    int retries_ = 2;
    int givenUp_ = 0;
    int retriesForRecord_ = 0;
};

// One message as one stderr line.
void PrintMessageLine(const QString& text);

#endif
