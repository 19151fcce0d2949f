#ifndef DCX_CLI_CLICONTEXT_H
#define DCX_CLI_CLICONTEXT_H

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

class CliDialogs;
struct CliCommand;

// Exit status of dcx700ctl (fixed by its contract).
enum CliExit : int {
    ExitOk = 0,
    ExitNotFound = 1,    // the instrument did not answer the connect
    ExitTransaction = 2, // a transaction failed; stderr names the link status text
    ExitFile = 3,        // a file could not be read or written; stderr says which and why
    ExitSkipped = 4,     // finished, but records were skipped after retries
    ExitDiffers = 5,     // diff found differences
    ExitData = 6,        // the request cannot be carried out on this data (an empty design)
    ExitUsage = 64,
};

// What a command gets: its arguments, the output streams, the dialogs and a
// few helpers. Connection options are already applied to Config().
class CliContext {
public:
    CliContext(const CliCommand& command, QStringList arguments, CliDialogs& dialogs);

    const CliCommand& command;
    // Arguments after the command name, not yet consumed.
    QStringList args;
    CliDialogs& dialogs;

    QTextStream& out(); // stdout
    QTextStream& err(); // stderr

    // Connects and identifies the instrument as the program does. On failure
    // "Instrument not found." has been printed; return ExitNotFound.
    bool connect();

    // Prints what failed and the link status text of the last transaction on
    // stderr ("send: Bad Command") and returns ExitTransaction.
    int transactionFailed(const QString& what = {});
    // Prints message and the command's synopsis on stderr; returns ExitUsage.
    int usageError(const QString& message);
    // Prints "<file>: <why>" on stderr; returns ExitFile.
    int fileError(const QString& file, const QString& why);

    // Option helpers; each removes what it consumed from args.
    // "--json" present?
    bool takeFlag(const QString& name);
    // "--db FILE" or "--db=FILE"; nullopt when absent; sets error() when the
    // value is missing.
    std::optional<QString> takeOption(const QString& name);
    // "--count N" as a non-negative integer; sets error() when not a number.
    std::optional<int> takeIntOption(const QString& name);
    // Set by the helpers on a malformed option; report with usageError(error()).
    const QString& error() const { return error_; }
    bool hasError() const { return !error_.isEmpty(); }

private:
    QString error_;
};

#endif
