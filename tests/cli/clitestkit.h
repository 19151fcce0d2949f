#ifndef DCX_TESTS_CLI_CLITESTKIT_H
#define DCX_TESTS_CLI_CLITESTKIT_H

// What the dcx700ctl tests share: an instrument on a local TCP port whose
// frames are built and checked here, independently of the link code, and a
// runner for the tool.
#include "tests/common/framechecksum.h"
#include "tests/common/programfolder_env.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace clitest {

inline QByteArray replyFrame(char status, const QByteArray& data)
{
    const QByteArray covered = char(0x23 + 1 + data.size()) + (status + data);
    return '!' + covered + testframes::checkChars(testframes::crc14(covered));
}

// Answers each command text from its queue of replies (the last one repeats)
// and records the texts. A reply "C:" is refused as a bad command.
class ScriptedInstrument {
public:
    ScriptedInstrument()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { onData(s); });
        });
    }
    quint16 port() const { return server.serverPort(); }

    QMap<QByteArray, QList<QByteArray>> replies;
    QList<QByteArray> commands;

private:
    void onData(QTcpSocket* s)
    {
        buffer += s->readAll();
        for (;;) {
            const qsizetype start = buffer.indexOf('!');
            if (start < 0 || buffer.size() - start < 2)
                return;
            const int n = static_cast<quint8>(buffer[start + 1]) - 0x22;
            if (buffer.size() - start < n + 4)
                return;
            const QByteArray text = buffer.mid(start + 2, n);
            buffer.remove(0, start + n + 4);
            commands.append(text);
            QList<QByteArray>& queue = replies[text];
            const QByteArray reply = queue.size() > 1 ? queue.takeFirst() : queue.value(0);
            s->write(reply == "C:" ? replyFrame('C', {}) : replyFrame('A', reply));
        }
    }

    QTcpServer server;
    QByteArray buffer;
};

// The program folder: DCX_BIN_DIR, else the bin folder beside the tests folder.
inline QString binDir()
{
    const QString env = QString::fromLocal8Bit(qgetenv("DCX_BIN_DIR"));
    return env.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../bin") : env;
}

struct CtlRun {
    int exitCode = -1;
    QByteArray out, err;
};

// Runs dcx700ctl with args while this process keeps serving the instrument.
inline CtlRun runCtl(const QString& dir, const QStringList& args,
                     const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setProcessEnvironment(env);
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    p.start(binDir() + QStringLiteral("/dcx700ctl"),
            QStringList{QStringLiteral("--home"), dcxTestProgramFolder()} + args);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit); // only against a hang; a good run ends long before
    loop.exec();
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    if (p.error() == QProcess::FailedToStart)
        return {-1, {}, p.errorString().toUtf8()};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace clitest

#endif
