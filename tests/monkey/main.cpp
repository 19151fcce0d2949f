// The GUI monkey: the whole program in this process against the simulated
// instrument, driven at random for a while, then checked.
//   dcx_monkey [--seconds N | --minutes N] [--seed S]
// Exit status 0 when it passed; the seed is printed first, so a failing run
// can be repeated (the timing of a run is never repeated exactly).
#include "monkey.h"
#include "monkeydialogs.h"
#include "watchdog.h"

#include "app/frmmain.h"
#include "app/frmsplash.h"
#include "link/modcomm.h"
#include "sim/siminstrument.h"
#include "support/clock.h"
#include "support/programfolder.h"
#include "support/shell.h"
#include "tests/common/simfaultcases.h"
#include "tests/common/test_env.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

quint32 g_seed = 0;
struct sigaction g_previous[32];

void printSeed()
{
    char line[96];
    const int n = snprintf(line, sizeof line, "monkey: seed %u (repeat with --seed %u)\n", g_seed, g_seed);
    [[maybe_unused]] ssize_t r = ::write(2, line, size_t(n));
}

// The seed and the recent actions, also from signal handlers.
void report()
{
    printSeed();
    Monkey::printRecentActions();
}

void onCrash(int sig, siginfo_t* info, void* context)
{
    report();
    // Hand over to whoever handled it before (the sanitizer's report), or die.
    const struct sigaction& prev = g_previous[sig];
    sigaction(sig, &prev, nullptr);
    if ((prev.sa_flags & SA_SIGINFO) && prev.sa_sigaction)
        prev.sa_sigaction(sig, info, context);
    else if (prev.sa_handler != SIG_DFL && prev.sa_handler != SIG_IGN)
        prev.sa_handler(sig);
    else
        raise(sig);
}

void installCrashReport()
{
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        struct sigaction sa = {};
        sa.sa_sigaction = onCrash;
        sa.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&sa.sa_mask);
        sigaction(sig, &sa, &g_previous[sig]);
    }
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(report);
#endif
}

// A scratch program folder: the shipped chart files and a configuration that
// logs every tick and names no serial device or address outside this machine.
void prepareHome(const QString& dir)
{
    const QDir bin(qEnvironmentVariable("DCX_BIN_DIR"));
    for (const QString& f : bin.entryList({QStringLiteral("*.OC2"), QStringLiteral("*.mdb")}, QDir::Files))
        QFile::copy(bin.filePath(f), QDir(dir).filePath(f));
    writeFile(
        QDir(dir).filePath(QStringLiteral("DCX700 Comm.ini")),
        QStringLiteral(
            "[CommSettings]\r\nType=2\r\nRS232Device=%1/no-such-port\r\nEAddress=127.0.0.1\r\nEPort=9\r\n"
            "[DataLog]\r\nFile=monkey.txt\r\nType=2\r\nInterval=0\r\n")
            .arg(dir)
            .toUtf8());
}

// The offscreen platform warns about every window operation it lacks.
QtMessageHandler g_nextHandler = nullptr;

void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!text.startsWith(QLatin1String("This plugin does not support")))
        g_nextHandler ? g_nextHandler(type, context, text) : void(fprintf(stderr, "%s\n", qPrintable(text)));
}

} // namespace

int main(int argc, char** argv)
{
    dcxSetTestEnvironment();
    g_nextHandler = qInstallMessageHandler(quietPlatform);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const auto option = [](const char* name, const char* help, const char* value,
                           const char* byDefault = "") {
        return QCommandLineOption(QLatin1String(name), QLatin1String(help), QLatin1String(value),
                                  QLatin1String(byDefault));
    };
    const QCommandLineOption seconds = option("seconds", "Run for N seconds.", "N", "60"),
                             minutes = option("minutes", "Run for N minutes.", "N"),
                             seed = option("seed", "Seed of the random choices.", "S");
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({seconds, minutes, seed});
    parser.process(app);
    const double runSeconds =
        parser.isSet(minutes) ? parser.value(minutes).toDouble() * 60 : parser.value(seconds).toDouble();
    g_seed = parser.isSet(seed) ? parser.value(seed).toUInt() : QRandomGenerator::system()->generate();
    printSeed();
    installCrashReport();

    const QTemporaryDir settings;
    dcxPrivateUserSettings(settings);
    QStandardPaths::setTestModeEnabled(true);
    const QTemporaryDir home;
    prepareHome(home.path());
    SetProgramFolder(home.path());
    QDir::setCurrent(home.path());

    MonkeyDialogs dialogs(g_seed + 1, home.path());
    ScopedDialogs useDialogs(dialogs);
    RecordingShell shell;
    setShell(&shell);

    // Ten times real speed: runs, layers and phase changes come quickly.
    SimInstrument sim(g_seed);
    sim.setSpeed(10);
    sim.attachClock(&appClock());
    auto connection = std::make_unique<SimConnection>(sim);
    SimConnection& link = *connection;
    Comm_SetTransportOverride(std::move(connection));

    int rc = 0;
    {
        // A probe the event loop leaves unanswered for 2 s is a hang.
        const Watchdog watchdog(2000, [](qint64 silentMs) {
            fprintf(stderr, "monkey: FAILED: the event loop did not answer for %lld ms\n",
                    static_cast<long long>(silentMs));
            report();
            std::abort();
        });
        frmMain main;
        frmSplash splash(&main);
        ScopedProgress useProgress(splash);
        main.show();
        Monkey monkey(main, sim, link, dialogs, g_seed, qint64(runSeconds * 1000));
        monkey.start();
        rc = QApplication::exec();
        if (!monkey.finished()) {
            fprintf(stderr, "monkey: FAILED: the program ended by itself\n");
            Monkey::printRecentActions();
            rc = 1;
        }
        fprintf(stderr, "monkey: longest wait for the event loop %lld ms\n",
                static_cast<long long>(watchdog.worstMs()));
    }
    Comm_ResetLink();
    setShell(nullptr);
    rc != 0 ? printSeed() : void(fprintf(stderr, "monkey: passed\n"));
    return rc;
}
