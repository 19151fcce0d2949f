// dcx700ctl serve [--http ADDR:PORT] [--token T]: the update loop without a
// window, with the read-only HTTP face in front of it, until interrupted.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "cli/monitorpoll.h"
#include "commands/readingsrecord.h"
#include "history/runarchive.h"
#include "history/runrecorder.h"
#include "link/modcomm.h"
#include "remote/archiverunssource.h"
#include "remote/remoteserver.h"
#include "remote/remotesettings.h"
#include "remote/remotestate.h"
#include "support/clock.h"
#include "support/config.h"

#include <QEventLoop>
#include <QScopedValueRollback>
#include <QTimer>

#include <optional>
#include <utility>

namespace {

constexpr int kTickMs = 500;
// Without an instrument, a connect is tried this often, not on every tick.
constexpr qint64 kConnectRetryMs = 5000;

class Server {
public:
    Server(CliContext& ctx, RemoteServer& server) : ctx_(ctx), server_(server)
    {
        if (Config().RunHistory != 0)
            history_.emplace(RunArchivePath(), Config().RunHistoryDays);
    }

    // One tick of the update loop, then the state goes to the server.
    void tick()
    {
        // The reply waits run the event loop, so the timer can fire inside a tick.
        if (inTick_)
            return;
        const QScopedValueRollback<bool> guard(inTick_, true);
        LinkStatus status = linkstatus::Timeout;
        // Once an instrument has answered, the poll heals the link itself;
        // before that a connect is tried every few seconds.
        if (everOnline_ && (poll_.healing() || Comm_Online())) {
            status = poll_.tick();
        } else {
            const qint64 now = appClock().monotonicMs();
            if (lastConnect_ < 0 || now - lastConnect_ >= kConnectRetryMs) {
                lastConnect_ = now;
                if (Comm_Connect()) {
                    everOnline_ = true;
                    status = poll_.tick();
                }
            }
        }
        record(status);
        RemoteState state = CaptureRemoteState();
        if (poll_.healing())
            ApplyLinkHealer(state, poll_.healer());
        if (history_ && history_->currentRun())
            state.runId = QString::number(*history_->currentRun());
        server_.routes().setState(state);
        reportLink(state);
    }

private:
    // Runs go into the run archive as the window records them; a failing
    // archive is reported once and never stops the serving.
    void record(LinkStatus status)
    {
        if (!history_ || !everOnline_)
            return;
        history_->setInstrument(Comm_InstrumentID());
        history_->tick(appClock().now(), Readings(), status);
        if (history_->stopped() && !std::exchange(historyStopShown_, true))
            ctx_.err() << history_->statusText() << '\n';
    }

    // One line per change of the link's state.
    void reportLink(const RemoteState& state)
    {
        if (state.linkState == lastState_)
            return;
        lastState_ = state.linkState;
        ctx_.out() << appClock().now().toString(Qt::ISODate) << " link " << state.linkState;
        if (state.linkUp)
            ctx_.out() << " (" << state.identification << ')';
        ctx_.out() << '\n';
        ctx_.out().flush();
    }

    CliContext& ctx_;
    RemoteServer& server_;
    MonitorPoll poll_{false, Config().AutoReconnect >= 1};
    std::optional<RunRecorder> history_;
    bool historyStopShown_ = false;
    bool everOnline_ = false;
    QString lastState_;
    qint64 lastConnect_ = -1;
    bool inTick_ = false;
};

int runServe(CliContext& ctx)
{
    const std::optional<QString> http = ctx.takeOption(QStringLiteral("--http"));
    const std::optional<QString> token = ctx.takeOption(QStringLiteral("--token"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!ctx.args.isEmpty())
        return ctx.usageError(QStringLiteral("unexpected argument ") + ctx.args.first());
    QString error;
    const auto endpoint =
        ParseHttpEndpoint(http.value_or(QStringLiteral("127.0.0.1:%1").arg(kDefaultHttpPort)), &error);
    if (!endpoint)
        return ctx.usageError(error);

    ArchiveRunsSource runs(RunArchivePath());
    RemoteServer server;
    server.routes().setRunsSource(&runs);
    server.routes().setInstrumentName(Config().InstrumentName);
    if (!server.start(endpoint->address, endpoint->port, token.value_or(Config().HttpToken), &error))
        return ctx.usageError(error);
    ctx.out() << "Serving on " << server.url() << '\n';
    ctx.out().flush();

    const StopSignals stopSignals;
    Server loop(ctx, server);
    QEventLoop events;
    QTimer ticker;
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, &events, [&] {
        if (StopSignals::requested())
            events.quit();
        else
            loop.tick();
    });
    ticker.start();
    QTimer::singleShot(0, &events, [&] { loop.tick(); });
    events.exec();
    return ExitOk;
}

const CliCommandRegistrar
    registrar({QStringLiteral("serve"), QStringLiteral("serve [--http ADDR:PORT] [--token T]"),
               QStringLiteral("poll without a window and serve the read-only HTTP endpoints"), runServe});

} // namespace
