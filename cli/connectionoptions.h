#ifndef DCX_CLI_CONNECTIONOPTIONS_H
#define DCX_CLI_CONNECTIONOPTIONS_H

#include <QString>
#include <QStringList>
#include <optional>

struct AppConfig;

// The options before the command name. Each given one replaces the value the
// configuration file holds.
struct ConnectionOptions {
    std::optional<QString> ini;
    std::optional<QString> home; // program folder (error report, default INI file)
    std::optional<QString> tcpHost;
    std::optional<QString> tcpPort;
    std::optional<QString> serialDevice;
    std::optional<QString> usbSerial;
    std::optional<int> checksum; // 1 on, 0 off
    std::optional<int> retries;
    bool help = false;

    QString command; // empty when none was given
    QStringList commandArgs;
};

// Parses argv (without the program name). nullopt with *error set on a bad option.
std::optional<ConnectionOptions> ParseConnectionOptions(const QStringList& args, QString* error);

// Puts the transport choices into config.
void ApplyConnectionOptions(const ConnectionOptions& options, AppConfig& config);

#endif
