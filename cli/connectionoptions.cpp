#include "cli/connectionoptions.h"

#include "support/config.h"

namespace {

bool splitHostPort(const QString& value, QString* host, QString* port)
{
    const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    *host = value.left(colon);
    if (host->startsWith(QLatin1Char('[')) && host->endsWith(QLatin1Char(']')))
        *host = host->mid(1, host->size() - 2);
    *port = value.mid(colon + 1);
    bool ok = false;
    const uint n = port->toUInt(&ok);
    return ok && n >= 1 && n <= 65535;
}

} // namespace

std::optional<ConnectionOptions> ParseConnectionOptions(const QStringList& args, QString* error)
{
    ConnectionOptions o;
    qsizetype i = 0;
    for (; i < args.size(); ++i) {
        QString a = args.at(i);
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o.help = true;
            continue;
        }
        if (!a.startsWith(QLatin1String("--")))
            break;
        QString value;
        bool hasValue = false;
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq > 0) {
            value = a.mid(eq + 1);
            a = a.left(eq);
            hasValue = true;
        }
        static const QStringList known = {QStringLiteral("--ini"),    QStringLiteral("--home"),
                                          QStringLiteral("--tcp"),    QStringLiteral("--serial"),
                                          QStringLiteral("--usb"),    QStringLiteral("--checksum"),
                                          QStringLiteral("--retries")};
        if (!known.contains(a)) {
            *error = QStringLiteral("unknown option ") + a;
            return std::nullopt;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                *error = a + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            value = args.at(++i);
        }
        if (a == QLatin1String("--ini")) {
            o.ini = value;
        } else if (a == QLatin1String("--home")) {
            o.home = value;
        } else if (a == QLatin1String("--tcp")) {
            QString host, port;
            if (!splitHostPort(value, &host, &port)) {
                *error = QStringLiteral("--tcp needs HOST:PORT, not \"") + value + QLatin1Char('"');
                return std::nullopt;
            }
            o.tcpHost = host;
            o.tcpPort = port;
        } else if (a == QLatin1String("--serial")) {
            o.serialDevice = value;
        } else if (a == QLatin1String("--usb")) {
            o.usbSerial = value;
        } else if (a == QLatin1String("--checksum")) {
            if (value == QLatin1String("on"))
                o.checksum = 1;
            else if (value == QLatin1String("off"))
                o.checksum = 0;
            else {
                *error = QStringLiteral("--checksum takes on or off");
                return std::nullopt;
            }
        } else if (a == QLatin1String("--retries")) {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 0) {
                *error = QStringLiteral("--retries needs a non-negative number");
                return std::nullopt;
            }
            o.retries = n;
        }
    }
    const int transports =
        int(o.tcpHost.has_value()) + int(o.serialDevice.has_value()) + int(o.usbSerial.has_value());
    if (transports > 1) {
        *error = QStringLiteral("give at most one of --tcp, --serial, --usb");
        return std::nullopt;
    }
    if (i < args.size()) {
        o.command = args.at(i);
        o.commandArgs = args.mid(i + 1);
    }
    return o;
}

void ApplyConnectionOptions(const ConnectionOptions& o, AppConfig& config)
{
    if (o.tcpHost) {
        config.CommType = 2;
        config.EAddress = *o.tcpHost;
        config.EPort = *o.tcpPort;
    } else if (o.serialDevice) {
        config.CommType = 0;
        config.RS232Device = *o.serialDevice;
        if (config.RS232Port < 1 || config.RS232Port > 9)
            config.RS232Port = 1;
    } else if (o.usbSerial) {
        config.CommType = 1;
        config.USBDevice = *o.usbSerial;
    }
    if (o.checksum)
        config.CheckSumOn = static_cast<qint16>(*o.checksum);
}
