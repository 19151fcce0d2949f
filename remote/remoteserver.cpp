#include "remote/remoteserver.h"

#include "remote/connectionguard.h"
#include "remote/remotelogging.h"
#include "remote/remotesettings.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>

namespace {

QByteArray methodName(QHttpServerRequest::Method m)
{
    switch (m) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    default:
        return "OTHER";
    }
}

} // namespace

RemoteServer::RemoteServer(QObject* parent) : QAbstractHttpServer(parent), guard_(new ConnectionGuard(this))
{}

bool RemoteServer::start(const QHostAddress& address, quint16 port, const QString& token, QString* error)
{
    const QString refused = CheckBind(address, token);
    if (!refused.isEmpty()) {
        *error = refused;
        return false;
    }
    if (!guard_->listen(address, port)) {
        *error = QStringLiteral("Remote monitoring cannot listen on %1: %2")
                     .arg(EndpointUrl(address, port), guard_->errorString());
        return false;
    }
    address_ = address;
    routes_.setToken(token);
    bind(guard_);
    qCDebug(lcRemote) << "serving on" << url();
    return true;
}

bool RemoteServer::isListening() const
{
    return guard_->isListening();
}

quint16 RemoteServer::port() const
{
    return guard_->serverPort();
}

QString RemoteServer::url() const
{
    return EndpointUrl(address_, port());
}

bool RemoteServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    const QByteArray method = methodName(request.method());
    const HttpReply r = routes_.reply(method, request.url().path(), request.value("Authorization"));
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(r.status));
    responder.writeHeader("Content-Type", r.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(r.body.size()));
    for (const auto& [key, value] : r.headers)
        responder.writeHeader(key, value);
    // HEAD: the headers GET would send, and no body.
    responder.writeBody(method == "HEAD" ? QByteArray() : r.body);
    return true;
}

void RemoteServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}
