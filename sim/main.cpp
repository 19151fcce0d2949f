// dcx700-sim: a simulated DCX-700 on a loopback TCP port or a pseudo-terminal.

#include "sim/simcontrol.h"
#include "sim/simcontrolchannel.h"
#include "sim/siminstrument.h"
#include "sim/simoptions.h"
#include "sim/simpty.h"
#include "sim/simstatefile.h"
#include "sim/simtcpserver.h"
#include "support/clock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGINT/SIGTERM end the event loop through a socket pair, so the state file
// is saved on the way out.
int g_signalFds[2] = {-1, -1};

void onSignal(int)
{
    const char b = 1;
    [[maybe_unused]] const auto n = ::write(g_signalFds[0], &b, 1);
}

void say(const QString& text)
{
    std::printf("dcx700-sim %s\n", qPrintable(text));
    std::fflush(stdout);
}

void complain(const QString& text)
{
    std::fprintf(stderr, "dcx700-sim: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const SimOptionsResult parsed = ParseSimOptions(app.arguments());
    if (!parsed.options) {
        if (parsed.exitCode == 0) {
            std::printf("%s", qPrintable(parsed.message));
        } else {
            complain(parsed.message);
            complain(QStringLiteral("try --help"));
        }
        return parsed.exitCode;
    }
    const SimOptions& opt = *parsed.options;

    SimInstrument sim(opt.seed);
    sim.setSpeed(opt.speed);
    // Before the faults: a timed one ("unplug S") counts from this clock.
    SystemClock clock;
    sim.attachClock(&clock);
    if (!opt.identification.isEmpty())
        sim.commands().setIdentification(opt.identification.toLatin1());

    // parameter memory from the state file; saved shortly after every change
    QTimer saveTimer;
    saveTimer.setSingleShot(true);
    saveTimer.setInterval(500);
    const auto save = [&] {
        QString error;
        if (!SaveSimState(opt.stateFile, sim.memory(), sim.run().runProcess(), &error))
            complain(QStringLiteral("cannot save %1: %2").arg(opt.stateFile, error));
    };
    if (!opt.stateFile.isEmpty()) {
        if (QFileInfo::exists(opt.stateFile)) {
            int selected = 1;
            QString error;
            if (!LoadSimState(opt.stateFile, sim.memory(), selected, &error)) {
                complain(QStringLiteral("cannot load %1: %2").arg(opt.stateFile, error));
                return 1;
            }
            sim.run().selectProcess(selected);
        } else {
            save();
        }
        QObject::connect(&sim, &SimInstrument::memoryChanged, &saveTimer, qOverload<>(&QTimer::start));
        QObject::connect(&saveTimer, &QTimer::timeout, &app, save);
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, save);
    }

    SimControl control(sim);
    for (const QString& line : opt.faults) {
        const QString answer = control.execute(line);
        if (SimControl::isError(answer)) {
            complain(QStringLiteral("fault \"%1\": %2").arg(line, answer));
            return 64;
        }
    }
    if (opt.verbose)
        QObject::connect(&sim, &SimInstrument::commandHandled, &app, [](const QByteArray& text, char status) {
            say(QStringLiteral("%1 -> %2")
                    .arg(QString::fromLatin1(text),
                         status ? QString(QChar::fromLatin1(status)) : QStringLiteral("(bad checksum)")));
        });

    std::unique_ptr<SimPty> pty;
    std::unique_ptr<SimTcpServer> server;
    if (opt.pty) {
        pty = std::make_unique<SimPty>(sim);
        pty->setBaud(opt.baud);
        if (!pty->open()) {
            complain(QStringLiteral("cannot open a pseudo-terminal: %1").arg(pty->errorString()));
            return 1;
        }
        say(QStringLiteral("pty %1").arg(pty->devicePath()));
    } else {
        server = std::make_unique<SimTcpServer>(sim);
        server->setBaud(opt.baud);
        if (!server->listen(opt.bind, opt.port)) {
            complain(QStringLiteral("cannot listen on %1:%2: %3")
                         .arg(opt.bind.toString(), QString::number(opt.port), server->errorString()));
            return 1;
        }
        if (opt.verbose) {
            QObject::connect(server.get(), &SimTcpServer::clientConnected, &app,
                             [](const QString& peer) { say(QStringLiteral("client %1").arg(peer)); });
            QObject::connect(server.get(), &SimTcpServer::clientDisconnected, &app,
                             [] { say(QStringLiteral("client gone")); });
        }
        say(QStringLiteral("listening on %1:%2")
                .arg(server->address().toString(), QString::number(server->port())));
    }

    std::unique_ptr<SimControlServer> controlServer;
    std::unique_ptr<SimControlStdin> controlStdin;
    if (opt.control == SimOptions::Control::Tcp) {
        controlServer = std::make_unique<SimControlServer>(control);
        if (!controlServer->listen(QHostAddress::LocalHost, opt.controlPort)) {
            complain(QStringLiteral("cannot open the control port: %1").arg(controlServer->errorString()));
            return 1;
        }
        say(QStringLiteral("control on 127.0.0.1:%1").arg(controlServer->port()));
    } else if (opt.control == SimOptions::Control::Stdin) {
        controlStdin = std::make_unique<SimControlStdin>(control);
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) == 0) {
        auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    std::signal(SIGPIPE, SIG_IGN);

    return app.exec();
}
