// What remote monitoring costs the user-interface thread, all on loopback:
// 1. the thread's CPU time per /metrics request (a client thread asks back to
//    back, each on a new connection, as Prometheus does);
// 2. the update tick (status and readings from the in-process simulator, then
//    the state handed to the server) without a server, and with the server
//    answering 20 requests a second, in alternating phases of one run.
//   bench_remote [phase seconds]   (default 5; six phases)
// Exit status 0 when a request costs under 0.2 ms and the median tick with
// the server is within 5 % of the median tick without it.
#include "commands/modcommdata.h"
#include "commands/modcommoperate.h"
#include "link/modcomm.h"
#include "remote/remoteserver.h"
#include "remote/remotestate.h"
#include "sim/simpeer.h"
#include "support/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// One GET /metrics on a new connection, read to the end; false on failure.
bool fetchMetrics(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    const char req[] = "GET /metrics HTTP/1.1\r\nHost: bench\r\nConnection: close\r\n\r\n";
    ok = ok && ::send(fd, req, sizeof req - 1, 0) == ssize_t(sizeof req - 1);
    // The server keeps connections open: read by Content-Length.
    std::string got;
    char buf[8192];
    ssize_t n = 0;
    size_t want = std::string::npos;
    while (ok && got.size() < want && (n = ::recv(fd, buf, sizeof buf, 0)) > 0) {
        got.append(buf, size_t(n));
        const size_t end = got.find("\r\n\r\n");
        const size_t len = got.find("Content-Length: ");
        if (want == std::string::npos && end != std::string::npos && len != std::string::npos)
            want = end + 4 + std::stoul(got.substr(len + 16));
    }
    ::close(fd);
    return ok && got.size() == want && want > 1000;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void runFor(int ms)
{
    QTimer::singleShot(ms, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int phaseMs = (argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5) * 1000;
    FakeClock clock;
    ScopedClock useClock(clock);
    SimPeer peer;
    peer.instrument().attachClock(&clock);
    Comm_UseInProcessPeer(&peer);
    if (!Comm_Connect()) {
        std::fprintf(stderr, "bench_remote: the simulator did not answer\n");
        return 2;
    }
    Operate_Command(0); // start process 1: readings that move

    // 1. UI-thread cost of a request.
    auto server = std::make_unique<RemoteServer>();
    QString error;
    if (!server->start(QHostAddress::LocalHost, 0, {}, &error)) {
        std::fprintf(stderr, "bench_remote: %s\n", qPrintable(error));
        return 2;
    }
    server->routes().setState(CaptureRemoteState());
    const quint16 port = server->port();
    constexpr int kRequests = 2000;
    std::atomic<int> done{0};
    std::atomic<bool> failed{false};
    std::thread burst([&] {
        for (int i = 0; i < kRequests; ++i) {
            failed = failed || !fetchMetrics(port);
            ++done;
        }
    });
    const double cpu0 = threadCpuMs();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (done == kRequests)
            QCoreApplication::quit();
    });
    poll.start(5);
    QCoreApplication::exec();
    poll.stop();
    const double perRequestMs = (threadCpuMs() - cpu0) / kRequests;
    burst.join();
    std::printf("UI-thread CPU per /metrics request: %.3f ms (%d requests%s)\n", perRequestMs, kRequests,
                failed ? ", some FAILED" : "");

    // 2. Tick time without and with the server, phases alternating.
    std::vector<double> without, with;
    std::vector<double>* sink = &without;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &app, [&] {
        clock.advance(0.5);
        QElapsedTimer t;
        t.start();
        if (Operate_GetStatus() != -1 && Data_GetSensors() == 0)
            Data_GetOutputs();
        if (server)
            server->routes().setState(CaptureRemoteState());
        sink->push_back(double(t.nsecsElapsed()) / 1e6);
    });
    // Ticks 50 ms apart, not 500: ten times the samples, same work per tick.
    ticker.start(50);
    std::atomic<bool> load{false};
    std::atomic<bool> stop{false};
    std::thread client([&] {
        while (!stop) {
            if (load)
                fetchMetrics(port);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    for (int phase = 0; phase < 6; ++phase) {
        const bool serving = phase % 2 == 1;
        if (serving) {
            server = std::make_unique<RemoteServer>();
            server->start(QHostAddress::LocalHost, port, {}, &error);
        } else {
            server.reset();
        }
        load = serving;
        sink = serving ? &with : &without;
        runFor(phaseMs);
    }
    stop = true;
    client.join();
    const double a = median(without);
    const double b = median(with);
    std::printf("tick median without server: %.3f ms (%zu ticks)\n", a, without.size());
    std::printf("tick median with 20 req/s:  %.3f ms (%zu ticks), %+.1f %%\n", b, with.size(),
                (b / a - 1) * 100);
    Comm_UseInProcessPeer(nullptr);
    return perRequestMs < 0.2 && b <= a * 1.05 ? 0 : 1;
}
