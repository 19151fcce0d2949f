#include "remote/remoteroutes.h"

#include "remote/metricsformat.h"
#include "remote/runssource.h"
#include "remote/statusjson.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

HttpReply text(int status, const QByteArray& message)
{
    return HttpReply{status, "text/plain; charset=utf-8", message + '\n', {}};
}

HttpReply json(const QByteArray& body)
{
    return HttpReply{200, "application/json", body, {{"Cache-Control", "no-store"}}};
}

QByteArray page()
{
    QFile f(QStringLiteral(":/remote/index.html"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

bool ConstantTimeEquals(const QByteArray& a, const QByteArray& b)
{
    // Hashing first makes the comparison the same length whatever the inputs.
    const QByteArray ha = QCryptographicHash::hash(a, QCryptographicHash::Sha256);
    const QByteArray hb = QCryptographicHash::hash(b, QCryptographicHash::Sha256);
    unsigned char diff = 0;
    for (qsizetype i = 0; i < ha.size(); ++i)
        diff |= static_cast<unsigned char>(ha[i] ^ hb[i]);
    return diff == 0;
}

bool RemoteRoutes::authorized(const QByteArray& authorization) const
{
    if (token_.isEmpty())
        return true;
    return ConstantTimeEquals(authorization, "Bearer " + token_);
}

HttpReply RemoteRoutes::reply(const QByteArray& method, const QString& path,
                              const QByteArray& authorization) const
{
    if (!authorized(authorization)) {
        HttpReply r = text(401, "Unauthorized: this server needs \"Authorization: Bearer <token>\".");
        r.headers.emplaceBack("WWW-Authenticate", "Bearer realm=\"dcx700\"");
        return r;
    }
    if (method != "GET" && method != "HEAD") {
        HttpReply r = text(405, "Method Not Allowed: this server is read-only (GET and HEAD).");
        r.headers.emplaceBack("Allow", "GET, HEAD");
        return r;
    }
    if (path == QLatin1String("/metrics")) {
        const QString name = instrumentName_.isEmpty() ? state_.identification : instrumentName_;
        return HttpReply{
            200, kMetricsContentType, FormatMetrics(state_, name, QStringLiteral(DCX_VERSION_TEXT)), {}};
    }
    if (path == QLatin1String("/api/status"))
        return json(QJsonDocument(RemoteStatusJson(state_)).toJson(QJsonDocument::Compact));
    if (path == QLatin1String("/"))
        return HttpReply{200, "text/html; charset=utf-8", page(), {}};
    if (path == QLatin1String("/api/runs") || path.startsWith(QLatin1String("/api/runs/")))
        return runs(path.mid(int(sizeof("/api/runs")) - 1));
    return text(404, "Not Found");
}

HttpReply RemoteRoutes::runs(const QString& rest) const
{
    const HttpReply none = text(404, "Not Found: no such run.");
    if (!runs_)
        return text(404, "Not Found: no run archive here.");
    if (rest.isEmpty()) {
        const auto list = runs_->runsJson();
        return list ? json(*list) : none;
    }
    static const QRegularExpression re(QStringLiteral("^/([A-Za-z0-9_-]{1,64})(\\.csv)?$"));
    const QRegularExpressionMatch m = re.match(rest);
    if (!m.hasMatch())
        return none;
    if (m.capturedLength(2) > 0) {
        const auto csv = runs_->runCsv(m.captured(1));
        if (!csv)
            return none;
        HttpReply r{200, "text/csv; charset=utf-8", *csv, {}};
        r.headers.emplaceBack("Content-Disposition",
                              "attachment; filename=\"run-" + m.captured(1).toLatin1() + ".csv\"");
        return r;
    }
    const auto run = runs_->runJson(m.captured(1));
    return run ? json(*run) : none;
}
