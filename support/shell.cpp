#include "support/shell.h"

#include <QProcess>

Shell::~Shell() = default;

namespace {
class HeadlessShell final : public Shell {
public:
    bool openDocument(const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
    bool startProgram(const QString& program, const QStringList& args) override
    {
        return QProcess::startDetached(program, args);
    }
};
Shell* g_shell = nullptr;
} // namespace

Shell& shell()
{
    static HeadlessShell headless;
    return g_shell ? *g_shell : headless;
}

void setShell(Shell* s)
{
    g_shell = s;
}
