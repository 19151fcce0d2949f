#include "support/dialogs.h"

#include <QTextStream>
#include <cstdio>

Dialogs::~Dialogs() = default;

MsgResult defaultAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::OkCancel:
        return MsgResult::Cancel;
    case MsgButtons::YesNo:
        return MsgResult::No;
    case MsgButtons::YesNoCancel:
        return MsgResult::Cancel;
    case MsgButtons::RetryCancel:
        return MsgResult::Cancel;
    case MsgButtons::AbortRetryIgnore:
        return MsgResult::Abort;
    }
    return MsgResult::Cancel;
}

namespace {

class HeadlessDialogs final : public Dialogs {
public:
    MsgResult message(const QString& text, MsgButtons buttons, MsgIcon, const QString& title) override
    {
        QString line = text;
        line.replace(QLatin1Char('\r'), QString()).replace(QLatin1Char('\n'), QLatin1Char(' '));
        std::fprintf(stderr, "%s%s\n", title.isEmpty() ? "" : qPrintable(title + QStringLiteral(": ")),
                     qPrintable(line));
        return defaultAnswer(buttons);
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    void setBusy(bool) override {}
};

HeadlessDialogs& headless()
{
    static HeadlessDialogs h;
    return h;
}

Dialogs* g_dialogs = nullptr;

} // namespace

Dialogs& dialogs()
{
    return g_dialogs ? *g_dialogs : headless();
}
void setDialogs(Dialogs* d)
{
    g_dialogs = d;
}

ScopedDialogs::ScopedDialogs(Dialogs& d) : previous_(g_dialogs)
{
    g_dialogs = &d;
}
ScopedDialogs::~ScopedDialogs()
{
    g_dialogs = previous_;
}
