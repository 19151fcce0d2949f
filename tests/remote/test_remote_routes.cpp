// The endpoints without sockets: metrics text, authorisation, methods, the
// run archive, and which addresses may be listened on.
#include "remote/metricsformat.h"
#include "remote/remoteroutes.h"
#include "remote/remotesettings.h"
#include "remote/runssource.h"

#include <gtest/gtest.h>

namespace {

RemoteState sampleState()
{
    RemoteState s;
    s.identification = QStringLiteral("DCX-700 4.20");
    s.readingsValid = true;
    s.linkUp = true;
    s.readings.Phase = 13;
    s.readings.OutRate[1] = 2.5;
    s.readings.OutThickness[1] = 2;
    s.readings.OutPower[1] = 45;
    s.readings.SensorFrequency[3] = 5981234;
    s.reconnects = 3;
    return s;
}

TEST(RemoteMetrics, SamplesInBaseUnitsWithEscapedInstrumentLabel)
{
    const QByteArray text =
        FormatMetrics(sampleState(), QStringLiteral("Coater \"A\""), QStringLiteral("1.1.0"));
    const char* lab = "{instrument=\"Coater \\\"A\\\"\"";
    const QByteArray expected[] = {
        QByteArray("dcx700_output_rate_meters_per_second") + lab + ",output=\"2\"} 2.5e-10\n",
        QByteArray("dcx700_output_thickness_meters") + lab + ",output=\"2\"} 2e-07\n",
        QByteArray("dcx700_output_power_ratio") + lab + ",output=\"2\"} 0.45\n",
        QByteArray("dcx700_sensor_frequency_hertz") + lab + ",sensor=\"4\"} 5981234\n",
        QByteArray("dcx700_phase") + lab + "} 13\n",
        QByteArray("dcx700_link_up") + lab + "} 1\n",
        QByteArray("dcx700_reconnects_total") + lab + "} 3\n",
        QByteArray("# TYPE dcx700_reconnects_total counter\n"),
        QByteArray("dcx700_info") + lab + ",identification=\"DCX-700 4.20\",version=\"1.1.0\"} 1\n",
    };
    for (const QByteArray& line : expected)
        EXPECT_TRUE(text.contains(line)) << "missing line: " << line.constData();
}

TEST(RemoteMetrics, NoReadingsBeforeAnInstrumentAnswered)
{
    RemoteState s;
    const QByteArray text = FormatMetrics(s, QStringLiteral("c1"), QStringLiteral("1.1.0"));
    EXPECT_TRUE(text.contains("dcx700_link_up{instrument=\"c1\"} 0\n")) << "link_up";
    EXPECT_FALSE(text.contains("dcx700_phase")) << "phase";
    EXPECT_FALSE(text.contains("dcx700_output_rate")) << "output rate";
}

class FakeRuns : public RunsSource {
public:
    std::optional<QByteArray> runsJson() override { return QByteArray("[{\"id\":\"7\"}]"); }
    std::optional<QByteArray> runJson(const QString& id) override
    {
        return id == QLatin1String("7") ? std::optional(QByteArray("{\"id\":\"7\"}")) : std::nullopt;
    }
    std::optional<QByteArray> runCsv(const QString& id) override
    {
        return id == QLatin1String("7") ? std::optional(QByteArray("time,elapsed\n")) : std::nullopt;
    }
};

TEST(RemoteRoutes, StatusOfEachRequest)
{
    FakeRuns runs;
    RemoteRoutes routes;
    routes.setToken(QStringLiteral("s3cret"));
    routes.setRunsSource(&runs);
    routes.setState(sampleState());
    struct Case {
        const char* name;
        QByteArray method;
        QString path;
        QByteArray auth;
        int status;
        QByteArray type;
    } const cases[] = {
        {"no token", "GET", "/metrics", "", 401, "text/plain; charset=utf-8"},
        {"wrong token", "GET", "/metrics", "Bearer s3creT", 401, "text/plain; charset=utf-8"},
        {"token without scheme", "GET", "/metrics", "s3cret", 401, "text/plain; charset=utf-8"},
        {"metrics", "GET", "/metrics", "Bearer s3cret", 200, kMetricsContentType},
        {"head", "HEAD", "/api/status", "Bearer s3cret", 200, "application/json"},
        {"page", "GET", "/", "Bearer s3cret", 200, "text/html; charset=utf-8"},
        {"post", "POST", "/metrics", "Bearer s3cret", 405, "text/plain; charset=utf-8"},
        {"put", "PUT", "/api/status", "Bearer s3cret", 405, "text/plain; charset=utf-8"},
        {"delete", "DELETE", "/api/runs/7", "Bearer s3cret", 405, "text/plain; charset=utf-8"},
        {"unknown path", "GET", "/admin", "Bearer s3cret", 404, "text/plain; charset=utf-8"},
        {"runs", "GET", "/api/runs", "Bearer s3cret", 200, "application/json"},
        {"run", "GET", "/api/runs/7", "Bearer s3cret", 200, "application/json"},
        {"run csv", "GET", "/api/runs/7.csv", "Bearer s3cret", 200, "text/csv; charset=utf-8"},
        {"missing run", "GET", "/api/runs/8", "Bearer s3cret", 404, "text/plain; charset=utf-8"},
        {"path escape", "GET", "/api/runs/../7", "Bearer s3cret", 404, "text/plain; charset=utf-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HttpReply r = routes.reply(c.method, c.path, c.auth);
        EXPECT_EQ(r.status, c.status) << "status";
        EXPECT_EQ(r.contentType, c.type) << "content type";
    }
    EXPECT_FALSE(routes.reply("GET", QStringLiteral("/"), "Bearer s3cret").body.isEmpty()) << "page body";

    RemoteRoutes bare;
    EXPECT_EQ(bare.reply("GET", QStringLiteral("/api/runs"), {}).status, 404) << "runs without an archive";
    EXPECT_EQ(bare.reply("GET", QStringLiteral("/metrics"), {}).status, 200) << "no token set";
}

TEST(RemoteSettings, AddressesAndTheTokenRule)
{
    struct Case {
        const char* name;
        QString text;
        bool valid;
        QString token;
        bool allowed;
    } const cases[] = {
        {"loopback", "127.0.0.1:9700", true, "", true},
        {"loopback v6", "[::1]:9700", true, "", true},
        {"localhost", "localhost:0", true, "", true},
        {"all interfaces, no token", "0.0.0.0:9700", true, "", false},
        {"lan address, token", "192.168.1.5:9700", true, "t", true},
        {"no port", "127.0.0.1", false, "", false},
        {"port too big", "127.0.0.1:70000", false, "", false},
        {"host name", "coater.example:9700", false, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const auto e = ParseHttpEndpoint(c.text, &error);
        ASSERT_EQ(e.has_value(), c.valid) << "parsed";
        if (e)
            EXPECT_EQ(CheckBind(e->address, c.token).isEmpty(), c.allowed) << "bind allowed";
        else
            EXPECT_FALSE(error.isEmpty()) << "error text";
    }
}

} // namespace
