#include "support/scripteddialogs.h"

MsgResult ScriptedDialogs::message(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    messages.append({text, buttons, icon, title});
    if (answers.empty())
        return defaultAnswer(buttons);
    const MsgResult r = answers.front();
    answers.pop_front();
    return r;
}

std::optional<QString> ScriptedDialogs::input(const QString& prompt, const QString&, const QString&)
{
    prompts.append(prompt);
    if (inputs.empty())
        return std::nullopt;
    auto r = inputs.front();
    inputs.pop_front();
    return r;
}

std::optional<QString> ScriptedDialogs::openFile(const FileDialogRequest& req)
{
    fileRequests.append(req);
    if (opens.empty())
        return std::nullopt;
    auto r = opens.front();
    opens.pop_front();
    return r;
}

std::optional<QString> ScriptedDialogs::saveFile(const FileDialogRequest& req)
{
    fileRequests.append(req);
    if (saves.empty())
        return std::nullopt;
    auto r = saves.front();
    saves.pop_front();
    return r;
}

void ScriptedDialogs::setBusy(bool busy) { busyDepth += busy ? 1 : -1; }

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const auto& m : messages)
        out << m.text;
    return out;
}
