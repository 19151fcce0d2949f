// Round-trip time of "V" through the link (Comm_SendCommand over TCP on the
// loopback interface) against a peer that answers at once, next to a plain
// blocking TCP echo of the same frame bytes: the floor any TCP link can reach.
//
//   bench_link [iterations]     (default 2000)
#include "link/commframe.h"
#include "link/modcomm.h"
#include "support/config.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

int listenLoopback(quint16* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0)
        return -1;
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    *port = ntohs(a.sin_port);
    return fd;
}

void noDelay(int fd)
{
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// Serves one connection: either echoes every byte, or answers every complete
// command frame with a fixed reply frame.
void serve(int listener, bool echo, QByteArray reply)
{
    const int c = ::accept(listener, nullptr, nullptr);
    if (c < 0)
        return;
    noDelay(c);
    CommandFrameParser parser;
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(c, buf, sizeof buf);
        if (n <= 0)
            break;
        if (echo) {
            if (::write(c, buf, n) != n)
                break;
            continue;
        }
        for (ssize_t i = 0; i < n; ++i)
            if (parser.feed(buf[i]) && ::write(c, reply.constData(), reply.size()) != reply.size())
                break;
    }
    ::close(c);
}

struct Stats {
    double median, p10, p90, mean;
};

Stats stats(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us)
        sum += v;
    const auto at = [&](double q) { return us[static_cast<size_t>(q * (us.size() - 1))]; };
    return {at(0.5), at(0.1), at(0.9), sum / us.size()};
}

std::vector<double> benchEcho(const QByteArray& frame, int iterations)
{
    quint16 port = 0;
    const int listener = listenLoopback(&port);
    std::thread peer(serve, listener, true, QByteArray());
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    noDelay(fd);
    std::vector<double> us;
    char buf[512];
    QElapsedTimer t;
    for (int i = -100; i < iterations; ++i) {
        t.start();
        if (::write(fd, frame.constData(), frame.size()) != frame.size())
            break;
        ssize_t got = 0;
        while (got < frame.size()) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got += n;
        }
        if (i >= 0)
            us.push_back(t.nsecsElapsed() / 1000.0);
    }
    ::close(fd);
    peer.join();
    ::close(listener);
    return us;
}

std::vector<double> benchLink(int iterations, int* failures)
{
    quint16 port = 0;
    const int listener = listenLoopback(&port);
    std::thread peer(serve, listener, false, *BuildReplyFrame('A', "0"));
    Config().CommType = 2;
    Config().EAddress = QStringLiteral("127.0.0.1");
    Config().EPort = QString::number(port);
    Config().CheckSumOn = 1;
    std::vector<double> us;
    *failures = 0;
    if (!Comm_Connect()) {
        std::fprintf(stderr, "link: connect failed\n");
        ++*failures;
    } else {
        QElapsedTimer t;
        for (int i = -100; i < iterations; ++i) {
            t.start();
            Comm_SendCommand(QStringLiteral("V"));
            const double e = t.nsecsElapsed() / 1000.0;
            if (Comm_GetStatus() != 0)
                ++*failures;
            if (i >= 0)
                us.push_back(e);
        }
    }
    Comm_CloseTransports();
    peer.join();
    ::close(listener);
    return us;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("dcx.*.debug=false"));
    const int iterations = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    const QByteArray frame = *BuildCommandFrame("V", true);

    int failures = 0;
    const Stats link = stats(benchLink(iterations, &failures));
    const Stats echo = stats(benchEcho(frame, iterations));
    std::printf("round trip of \"V\" over loopback TCP, %d iterations (microseconds)\n", iterations);
    std::printf("%-22s %9s %9s %9s %9s\n", "", "median", "p10", "p90", "mean");
    std::printf("%-22s %9.1f %9.1f %9.1f %9.1f\n", "Comm_SendCommand", link.median, link.p10, link.p90,
                link.mean);
    std::printf("%-22s %9.1f %9.1f %9.1f %9.1f\n", "plain TCP echo", echo.median, echo.p10, echo.p90,
                echo.mean);
    const double ratio = link.median / echo.median;
    std::printf("median ratio link/echo: %.2f (goal <= 1.50)%s\n", ratio,
                failures ? "  FAILED TRANSACTIONS" : "");
    Comm_ResetLink();
    return failures == 0 && ratio <= 1.5 ? 0 : 1;
}
