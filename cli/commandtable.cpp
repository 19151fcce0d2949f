#include "cli/commandtable.h"

#include <algorithm>
#include <vector>

namespace {

// Filled by the registrars during static initialisation; constructed on first
// use so the order of the files does not matter.
std::vector<CliCommand>& table()
{
    static std::vector<CliCommand> commands;
    return commands;
}

} // namespace

CliCommandRegistrar::CliCommandRegistrar(CliCommand command)
{
    table().push_back(std::move(command));
}

const CliCommand* FindCliCommand(const QString& name)
{
    for (const CliCommand& c : table())
        if (c.name == name)
            return &c;
    return nullptr;
}

QList<CliCommand> CliCommands()
{
    QList<CliCommand> out(table().begin(), table().end());
    std::sort(out.begin(), out.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    return out;
}
