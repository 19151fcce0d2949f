#include "sim/simcontrolchannel.h"

#include "sim/simcontrol.h"

#include <QTcpSocket>

#include <cstdio>
#include <unistd.h>

SimControlServer::SimControlServer(SimControl& control, QObject* parent) : QObject(parent), control_(control)
{
    connect(&server_, &QTcpServer::newConnection, this, &SimControlServer::onNewConnection);
}

bool SimControlServer::listen(const QHostAddress& address, quint16 port)
{
    return server_.listen(address, port);
}

void SimControlServer::onNewConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QString line = QString::fromUtf8(socket->readLine()).trimmed();
                if (line.isEmpty())
                    continue;
                socket->write(control_.execute(line).toUtf8() + '\n');
            }
        });
    }
}

SimControlStdin::SimControlStdin(SimControl& control, QObject* parent)
    : QObject(parent), control_(control),
      notifier_(std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read))
{
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SimControlStdin::onReadable);
}

void SimControlStdin::onReadable()
{
    char buf[512];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
        notifier_->setEnabled(false); // end of input: keep running without control
        return;
    }
    pending_.append(buf, n);
    qsizetype nl;
    while ((nl = pending_.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(pending_.left(nl)).trimmed();
        pending_.remove(0, nl + 1);
        if (line.isEmpty())
            continue;
        std::printf("%s\n", qPrintable(control_.execute(line)));
        std::fflush(stdout);
    }
}
