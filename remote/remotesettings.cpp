#include "remote/remotesettings.h"

namespace {

std::optional<quint16> parsePort(const QString& text)
{
    bool ok = false;
    const uint port = text.trimmed().toUInt(&ok);
    if (!ok || port > 65535)
        return std::nullopt;
    return quint16(port);
}

std::optional<QHostAddress> parseAddress(QString text)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        text = text.mid(1, text.size() - 2);
    if (text.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::LocalHost);
    QHostAddress a;
    if (!a.setAddress(text))
        return std::nullopt;
    return a;
}

} // namespace

std::optional<HttpEndpoint> ParseHttpEndpoint(const QString& text, QString* error)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    const auto address = colon > 0 ? parseAddress(text.left(colon)) : std::nullopt;
    const auto port = colon > 0 ? parsePort(text.mid(colon + 1)) : std::nullopt;
    if (!address || !port) {
        *error = QStringLiteral("not an ADDR:PORT address: \"%1\" (for example 127.0.0.1:9700)").arg(text);
        return std::nullopt;
    }
    return HttpEndpoint{*address, *port};
}

std::optional<HttpEndpoint> EndpointFromConfig(const QString& bind, const QString& port, QString* error)
{
    const auto address = parseAddress(bind.isEmpty() ? QStringLiteral("127.0.0.1") : bind);
    if (!address) {
        *error = QStringLiteral("[Remote] HttpBind is not an IP address: \"%1\"").arg(bind);
        return std::nullopt;
    }
    const auto number = parsePort(port.isEmpty() ? QStringLiteral("0") : port);
    if (!number) {
        *error = QStringLiteral("[Remote] HttpPort is not a port number (0 to 65535): \"%1\"").arg(port);
        return std::nullopt;
    }
    return HttpEndpoint{*address, *number};
}

QString CheckBind(const QHostAddress& address, const QString& token)
{
    if (address.isLoopback() || !token.isEmpty())
        return {};
    return QStringLiteral("Remote monitoring on %1 would be open to the network: set a token "
                          "(HttpToken in [Remote], or --token) or listen on 127.0.0.1.")
        .arg(address.toString());
}

QString EndpointUrl(const QHostAddress& address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}
