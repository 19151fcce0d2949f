#include "sim/simoptions.h"

#include <QCommandLineParser>

namespace {

constexpr int kUsageError = 64;

// Short fault options and the control line each stands for.
struct FaultOption {
    const char* name;
    const char* valueName;
    const char* description;
};
const FaultOption kFaultOptions[] = {
    {"delay", "ms", "Delay every reply by ms milliseconds."},
    {"drop", "n", "Drop the next n replies."},
    {"drop-rate", "fraction", "Drop this fraction (0..1) of the replies at random."},
    {"corrupt", "n", "Corrupt the checksum of the next n replies."},
    {"answer", "status n", "Answer the next n commands with status B, C, D or E (e.g. \"B 3\")."},
    {"garbage", "n", "Send garbage bytes before the next n replies."},
    {"bad-field", "n", "Replace one field of each of the next n data replies by a non-number."},
    {"close-after", "n", "Close the connection right after the n-th reply."},
};

SimOptionsResult fail(const QString& message)
{
    return {std::nullopt, message, kUsageError};
}

} // namespace

SimOptionsResult ParseSimOptions(const QStringList& args)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated DCX-700 deposition controller. Serves the instrument protocol on a loopback TCP port "
        "(default 127.0.0.1:2101) or a pseudo-terminal, runs its processes on a simulated clock and "
        "injects faults on demand."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port (0: any free port; default 2101)."),
                                  QStringLiteral("port"), QStringLiteral("2101"));
    const QCommandLineOption bind(
        QStringLiteral("bind"),
        QStringLiteral("Address to listen on (default 127.0.0.1; loopback only unless --allow-remote)."),
        QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption allowRemote(QStringLiteral("allow-remote"),
                                         QStringLiteral("Allow a --bind address other than loopback."));
    const QCommandLineOption pty(
        QStringLiteral("pty"),
        QStringLiteral("Serve on a pseudo-terminal instead of TCP; prints the device path."));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Run the instrument's clock x times faster (default 1)."),
                                   QStringLiteral("x"), QStringLiteral("1"));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        QStringLiteral("Pace the bytes both ways as a serial line of n baud would (10 bits a byte), on TCP "
                       "and pty alike (default: full speed)."),
        QStringLiteral("n"));
    const QCommandLineOption state(QStringLiteral("state"),
                                   QStringLiteral("Load the parameter memory from file (the demo set when it "
                                                  "does not exist) and save it there on every change."),
                                   QStringLiteral("file"));
    const QCommandLineOption seed(
        QStringLiteral("seed"),
        QStringLiteral("Seed of the readings noise and the random faults (default 1)."), QStringLiteral("n"),
        QStringLiteral("1"));
    const QCommandLineOption id(QStringLiteral("id"),
                                QStringLiteral("Identification text (default \"DCX-700 SIM 4.20\")."),
                                QStringLiteral("text"));
    const QCommandLineOption fault(
        QStringLiteral("fault"),
        QStringLiteral("A control line applied at start, e.g. \"drop 2\" (repeatable)."),
        QStringLiteral("line"));
    const QCommandLineOption control(
        QStringLiteral("control"),
        QStringLiteral("Control channel: \"stdin\", or a loopback TCP port (0: any free port)."),
        QStringLiteral("stdin|port"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Print every command and its status."));
    p.addOptions({help, port, bind, allowRemote, pty, speed, baud, state, seed, id, fault, control, verbose});
    std::vector<QCommandLineOption> faultOptions;
    for (const FaultOption& f : kFaultOptions) {
        faultOptions.emplace_back(QString::fromLatin1(f.name), QString::fromLatin1(f.description),
                                  QString::fromLatin1(f.valueName));
        p.addOption(faultOptions.back());
    }

    if (!p.parse(args))
        return fail(p.errorText());
    if (p.isSet(help))
        return {std::nullopt,
                p.helpText() + QStringLiteral("\nControl lines: ") +
                    QStringLiteral("delay MS | drop N | drop-rate F | corrupt N | answer B|C|D|E N | garbage "
                                   "N | bad-field N | "
                                   "close | close-after N | crystal-fail S | crystal-new S | clear | seed N "
                                   "| speed X | advance S | show | help\n"),
                0};
    if (!p.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().front()));

    SimOptions o;
    bool ok = false;
    const uint portValue = p.value(port).toUInt(&ok);
    if (!ok || portValue > 65535)
        return fail(QStringLiteral("bad --port: %1").arg(p.value(port)));
    o.port = quint16(portValue);
    if (!o.bind.setAddress(p.value(bind)))
        return fail(QStringLiteral("bad --bind address: %1").arg(p.value(bind)));
    if (!o.bind.isLoopback() && !p.isSet(allowRemote))
        return fail(
            QStringLiteral("--bind %1 is not a loopback address; add --allow-remote to serve a network")
                .arg(p.value(bind)));
    o.pty = p.isSet(pty);
    o.speed = p.value(speed).toDouble(&ok);
    if (!ok || !(o.speed > 0) || o.speed > 10000)
        return fail(QStringLiteral("bad --speed: %1").arg(p.value(speed)));
    if (p.isSet(baud)) {
        const int b = p.value(baud).toInt(&ok);
        if (!ok || b < 300 || b > 4000000)
            return fail(QStringLiteral("bad --baud: %1 (300 to 4000000)").arg(p.value(baud)));
        o.baud = b;
    }
    o.stateFile = p.value(state);
    o.seed = p.value(seed).toUInt(&ok);
    if (!ok)
        return fail(QStringLiteral("bad --seed: %1").arg(p.value(seed)));
    o.identification = p.value(id);
    o.faults = p.values(fault);
    for (const QCommandLineOption& f : faultOptions)
        for (const QString& v : p.values(f))
            o.faults << f.names().front() + QLatin1Char(' ') + v;
    if (p.isSet(control)) {
        const QString c = p.value(control);
        if (c == QLatin1String("stdin")) {
            o.control = SimOptions::Control::Stdin;
        } else {
            const uint cp = c.toUInt(&ok);
            if (!ok || cp > 65535)
                return fail(QStringLiteral("bad --control: %1 (\"stdin\" or a port)").arg(c));
            o.control = SimOptions::Control::Tcp;
            o.controlPort = quint16(cp);
        }
    }
    o.verbose = p.isSet(verbose);
    return {o, {}, 0};
}
