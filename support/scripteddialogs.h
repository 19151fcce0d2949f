#ifndef DCX_SUPPORT_SCRIPTEDDIALOGS_H
#define DCX_SUPPORT_SCRIPTEDDIALOGS_H

#include "support/dialogs.h"

#include <QList>
#include <QStringList>
#include <deque>

// A Dialogs that answers from queues filled beforehand and records every
// request. Used by tests; an empty queue answers with defaultAnswer().
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        QString title;
    };

    MsgResult message(const QString& text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
                      const QString& title = {}) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText = {}) override;
    std::optional<QString> openFile(const FileDialogRequest& req) override;
    std::optional<QString> saveFile(const FileDialogRequest& req) override;
    void setBusy(bool busy) override;

    // Queue answers, taken in order.
    void answer(MsgResult r) { answers.push_back(r); }
    void answerInput(std::optional<QString> s) { inputs.push_back(std::move(s)); }
    void answerOpen(std::optional<QString> s) { opens.push_back(std::move(s)); }
    void answerSave(std::optional<QString> s) { saves.push_back(std::move(s)); }

    // Texts of all messages shown so far.
    QStringList texts() const;

    std::deque<MsgResult> answers;
    std::deque<std::optional<QString>> inputs;
    std::deque<std::optional<QString>> opens;
    std::deque<std::optional<QString>> saves;

    QList<Message> messages;
    QStringList prompts; // input box prompts
    QList<FileDialogRequest> fileRequests;
    int busyDepth = 0;
};

#endif
