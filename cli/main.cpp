// dcx700ctl: the instrument from a shell, with the program's own code underneath.
#include "cli/clicontext.h"
#include "cli/clidialogs.h"
#include "cli/commandtable.h"
#include "cli/connectionoptions.h"
#include "link/modcomm.h"
#include "support/cfile.h"
#include "support/config.h"
#include "support/modconfig.h"
#include "support/programfolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <memory>

namespace {

void printUsage(QTextStream& s)
{
    s << "usage: dcx700ctl [connection options] COMMAND [command options]\n\n"
         "connection options:\n"
         "  --home DIR            program folder: default configuration file, error report\n"
         "  --ini FILE            configuration file (default: \"DCX700 Comm.ini\" in the program folder)\n"
         "  --tcp HOST:PORT       Ethernet transport\n"
         "  --serial DEVICE       RS-232 transport on a device path\n"
         "  --usb SERIAL          USB transport, the instrument with that serial number\n"
         "  --checksum on|off     message checksums (default: the configuration file's value)\n"
         "  --retries N           retry prompts answered Retry/Yes up to N times per record (default 2)\n\n"
         "commands:\n";
    for (const CliCommand& c : CliCommands())
        s << "  " << c.synopsis.leftJustified(38) << ' ' << c.summary << '\n';
    s.flush();
}

// A plain application, or a GUI one for a command that paints.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString ignored;
    const auto options = ParseConnectionOptions(args, &ignored);
    const CliCommand* command = options ? FindCliCommand(options->command) : nullptr;
    if (!command || !command->needsGui)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dcx700ctl"));
    // Frame traces only when asked for (QT_LOGGING_RULES="dcx.*.debug=true").
    QLoggingCategory::setFilterRules(QStringLiteral("dcx.*.debug=false"));
    // The same program folder as the GUI's, so both read one configuration.
    QString folderError;
    if (!UseProgramFolder({}, &folderError))
        qWarning("%s", qPrintable(folderError));

    QTextStream err(stderr);
    QTextStream out(stdout);
    QString error;
    const auto options = ParseConnectionOptions(QCoreApplication::arguments().mid(1), &error);
    if (!options) {
        err << "dcx700ctl: " << error << '\n';
        printUsage(err);
        return ExitUsage;
    }
    if (options->help) {
        printUsage(out);
        return ExitOk;
    }
    if (options->command.isEmpty()) {
        err << "dcx700ctl: no command given\n";
        printUsage(err);
        return ExitUsage;
    }
    const CliCommand* command = FindCliCommand(options->command);
    if (!command) {
        err << "dcx700ctl: unknown command " << options->command << '\n';
        printUsage(err);
        return ExitUsage;
    }

    if (options->home)
        SetProgramFolder(*options->home);

    CliDialogs cliDialogs;
    ScopedDialogs scopedDialogs(cliDialogs);
    if (options->retries)
        cliDialogs.setRetries(*options->retries);

    // The configuration as the program reads it, then the options on top.
    const QString iniPath = options->ini.value_or(IniFilePath());
    if (options->ini && !QFileInfo(iniPath).isFile()) {
        err << iniPath << ": no such file\n";
        return ExitFile;
    }
    cFile ini;
    ini.setFileName(iniPath);
    ReadINI(ini, Config());
    ApplyConnectionOptions(*options, Config());
    // --usb names the one instrument to talk to: never adopt another.
    if (options->usbSerial)
        Comm_SetAdoptLoneUsb(false);

    CliContext ctx(*command, options->commandArgs, cliDialogs);
    const int rc = command->run(ctx);
    ctx.out().flush();
    Comm_CloseTransports();
    return rc;
}
