#ifndef DCX_REMOTE_REMOTESETTINGS_H
#define DCX_REMOTE_REMOTESETTINGS_H

#include <QHostAddress>
#include <QString>
#include <optional>

// Where the remote face listens.
struct HttpEndpoint {
    QHostAddress address;
    quint16 port = 0; // 0: any free port
};

// The port used when the operator turns remote monitoring on with none set.
inline constexpr quint16 kDefaultHttpPort = 9700;

// Parses "ADDR:PORT" ("127.0.0.1:9700", "[::1]:9700", "localhost:9700");
// nullopt with *error set when it is not one.
std::optional<HttpEndpoint> ParseHttpEndpoint(const QString& text, QString* error);

// Parses the [Remote] keys "HttpBind" and "HttpPort"; nullopt with *error set
// when one is not valid. A port of 0 is returned as is (off).
std::optional<HttpEndpoint> EndpointFromConfig(const QString& bind, const QString& port, QString* error);

// Why listening on address is refused, or an empty text when it is allowed:
// anything beyond this computer needs a token.
QString CheckBind(const QHostAddress& address, const QString& token);

// "http://127.0.0.1:9700/", with IPv6 addresses in brackets.
QString EndpointUrl(const QHostAddress& address, quint16 port);

#endif
