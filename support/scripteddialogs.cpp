#include "support/scripteddialogs.h"

namespace {

std::optional<QString> takeFront(std::deque<std::optional<QString>>& queue)
{
    std::optional<QString> r;
    if (!queue.empty()) {
        r.swap(queue.front());
        queue.pop_front();
    }
    return r;
}

} // namespace

MsgResult ScriptedDialogs::message(const QString& text, MsgButtons buttons, MsgIcon icon,
                                   const QString& title)
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
    return takeFront(inputs);
}

std::optional<QString> ScriptedDialogs::openFile(const FileDialogRequest& req)
{
    fileRequests.append(req);
    return takeFront(opens);
}

std::optional<QString> ScriptedDialogs::saveFile(const FileDialogRequest& req)
{
    fileRequests.append(req);
    return takeFront(saves);
}

void ScriptedDialogs::setBusy(bool busy)
{
    busyDepth += busy ? 1 : -1;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const auto& m : messages)
        out << m.text;
    return out;
}
