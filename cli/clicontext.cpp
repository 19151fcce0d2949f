#include "cli/clicontext.h"

#include "cli/clidialogs.h"
#include "cli/commandtable.h"
#include "link/modcomm.h"

#include <cstdio>

CliContext::CliContext(const CliCommand& cmd, QStringList arguments, CliDialogs& d)
    : command(cmd), args(std::move(arguments)), dialogs(d)
{}

QTextStream& CliContext::out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& CliContext::err()
{
    static QTextStream s(stderr);
    return s;
}

bool CliContext::connect()
{
    return Comm_Connect();
}

int CliContext::transactionFailed(const QString& what)
{
    out().flush();
    const QString text = Comm_ErrorText(Comm_GetStatus());
    const QString prefix = what.isEmpty() ? command.name : what;
    err() << prefix << ": " << text << Qt::endl;
    return ExitTransaction;
}

int CliContext::usageError(const QString& message)
{
    out().flush();
    err() << "dcx700ctl " << command.name << ": " << message << '\n'
          << "usage: dcx700ctl [connection options] " << command.synopsis << Qt::endl;
    return ExitUsage;
}

int CliContext::fileError(const QString& file, const QString& why)
{
    out().flush();
    err() << file << ": " << why << Qt::endl;
    return ExitFile;
}

bool CliContext::takeFlag(const QString& name)
{
    return args.removeAll(name) > 0;
}

std::optional<QString> CliContext::takeOption(const QString& name)
{
    const QString prefix = name + QLatin1Char('=');
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i).startsWith(prefix)) {
            const QString v = args.at(i).mid(prefix.size());
            args.removeAt(i);
            return v;
        }
        if (args.at(i) == name) {
            if (i + 1 >= args.size()) {
                error_ = name + QStringLiteral(" needs a value");
                args.removeAt(i);
                return std::nullopt;
            }
            const QString v = args.at(i + 1);
            args.remove(i, 2);
            return v;
        }
    }
    return std::nullopt;
}

std::optional<int> CliContext::takeIntOption(const QString& name)
{
    const auto v = takeOption(name);
    if (!v)
        return std::nullopt;
    bool ok = false;
    const int n = v->toInt(&ok);
    if (!ok || n < 0) {
        error_ = name + QStringLiteral(" needs a non-negative number, not \"") + *v + QLatin1Char('"');
        return std::nullopt;
    }
    return n;
}
