#include "remote/remotemonitoring.h"

#include "remote/remoteserver.h"
#include "remote/remotesettings.h"
#include "support/config.h"

RemoteMonitoring::RemoteMonitoring() = default;
RemoteMonitoring::~RemoteMonitoring() = default;

bool RemoteMonitoring::startFromConfig(QString* error)
{
    const QString port = Config().HttpPort.trimmed();
    if (port.isEmpty() || port == QLatin1String("0"))
        return true;
    return start(error);
}

bool RemoteMonitoring::setOn(bool on, QString* error)
{
    if (!on) {
        if (server_)
            lastPort_ = server_->port();
        server_.reset();
        Config().HttpPort = QStringLiteral("0");
        return true;
    }
    if (server_)
        return true;
    const QString port = Config().HttpPort.trimmed();
    if (port.isEmpty() || port == QLatin1String("0"))
        Config().HttpPort = QString::number(lastPort_ ? lastPort_ : kDefaultHttpPort);
    if (start(error))
        return true;
    Config().HttpPort = QStringLiteral("0");
    return false;
}

bool RemoteMonitoring::start(QString* error)
{
    const auto endpoint = EndpointFromConfig(Config().HttpBind, Config().HttpPort, error);
    if (!endpoint)
        return false;
    auto server = std::make_unique<RemoteServer>();
    server->routes().setInstrumentName(Config().InstrumentName);
    server->routes().setRunsSource(runs_);
    if (!server->start(endpoint->address, endpoint->port, Config().HttpToken, error))
        return false;
    server_ = std::move(server);
    return true;
}

QString RemoteMonitoring::url() const
{
    return server_ ? server_->url() : QString();
}

void RemoteMonitoring::feed(const RemoteState& state)
{
    if (server_)
        server_->routes().setState(state);
}

void RemoteMonitoring::setRunsSource(RunsSource* source)
{
    runs_ = source;
    if (server_)
        server_->routes().setRunsSource(source);
}
