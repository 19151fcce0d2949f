#ifndef DCX_CLI_COMMANDTABLE_H
#define DCX_CLI_COMMANDTABLE_H

#include <QList>
#include <QString>
#include <functional>

class CliContext;

// The commands of dcx700ctl. Each command lives in its own file
// cli/cmd_<name>.cpp and registers itself with a static registrar object; every
// cli/*.cpp is compiled straight into the executable, so nothing else needs
// editing to add one:
//
//   #include "cli/clicontext.h"
//   #include "cli/commandtable.h"
//   #include "link/modcomm.h"
//
//   namespace {
//   int runPing(CliContext& ctx)
//   {
//       if (!ctx.args.isEmpty())
//           return ctx.usageError(QStringLiteral("ping takes no arguments"));
//       if (!ctx.connect())
//           return ExitNotFound;             // "Instrument not found." already printed
//       const QString reply = Comm_SendCommand(QStringLiteral("V"));
//       if (Comm_GetStatus() != 0)
//           return ctx.transactionFailed();  // prints the link status text, returns 2
//       ctx.out() << reply << '\n';
//       return ExitOk;
//   }
//   const CliCommandRegistrar registrar({"ping", "ping", "send V and print the reply", runPing});
//   } // namespace
//
// See cli/clicontext.h for the context (arguments, output streams, option
// helpers, dialogs, exit codes).

struct CliCommand {
    QString name;                        // as typed: "status"
    QString synopsis;                    // usage after the program name: "status [--json]"
    QString summary;                     // one line for --help
    std::function<int(CliContext&)> run; // returns the exit status
    // Paints text (fonts need a GUI application): the tool then starts one on
    // the offscreen platform unless QT_QPA_PLATFORM names another.
    bool needsGui = false;
};

class CliCommandRegistrar {
public:
    explicit CliCommandRegistrar(CliCommand command);
};

// The command named name, nullptr when there is none.
const CliCommand* FindCliCommand(const QString& name);
// Every registered command, sorted by name.
QList<CliCommand> CliCommands();

#endif
