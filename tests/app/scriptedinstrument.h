#ifndef DCX_TESTS_APP_SCRIPTEDINSTRUMENT_H
#define DCX_TESTS_APP_SCRIPTEDINSTRUMENT_H

// A scripted instrument for the run monitor tests: answers the status,
// readings, identification and process-name commands from fields the test
// sets, records every command text it receives, and can stay silent.
#include "link/commframe.h"
#include "link/inprocesspeer.h"
#include "support/clock.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>

class ScriptedInstrument final : public InProcessPeer {
public:
    void receiveFromHost(const QByteArray& bytes) override
    {
        for (char b : bytes)
            if (const auto cmd = parser_.feed(b))
                handle(QString::fromLatin1(cmd->text));
    }

    // The status reply fields and the two readings replies.
    int phase = 0, process = 1, layer = 1;
    double elapsed = 0;
    QString outputs = QStringLiteral("0 0 0 0 -1 0 0 0 -1 0 0 0 -1 0 0 0 -1");
    QString sensors = QStringLiteral("0 0 0 0 0 0 0 0 0 0 0 0 0");
    QString id = QStringLiteral("DCX-700 Test 1.0");
    // Process names and layer counts; a process not listed answers "Proc n".
    QMap<int, QString> names;
    QMap<int, int> layers;
    QSet<int> refusedNames; // processes whose name query is refused
    // While set, nothing is answered; with a clock the wait then times out.
    bool silent = false;
    FakeClock* clock = nullptr;

    QStringList commands;
    // Runs as each command arrives, before it is answered.
    std::function<void(const QString&)> onCommand;
    // The commands received other than the polling ones (V, K1, K2).
    QStringList operateCommands() const
    {
        QStringList out = commands;
        out.removeIf([](const QString& c) { return QStringList{"V", "K1", "K2"}.contains(c); });
        return out;
    }

private:
    void reply(char status, const QString& data)
    {
        emit sendToHost(*BuildReplyFrame(status, data.toLatin1()));
    }

    void handle(const QString& text)
    {
        commands << text;
        if (onCommand)
            onCommand(text);
        if (silent && clock) // let the host's one-second reply wait run out
            QTimer::singleShot(0, clock, [c = clock] { c->advanceMs(1001); });
        if (silent)
            return;
        if (text == QLatin1String("@"))
            return reply('A', id);
        if (text == QLatin1String("V"))
            return reply('A',
                         QStringLiteral("%1 %2 %3 %4 0").arg(phase).arg(elapsed).arg(process).arg(layer));
        if (text == QLatin1String("K1") || text == QLatin1String("K2"))
            return reply('A', text == QLatin1String("K1") ? outputs : sensors);
        if (text.startsWith(QLatin1Char('C')) && text.contains(QLatin1Char('?'))) {
            // "C<n>? <item>"
            const int n = text.mid(1, text.indexOf(QLatin1Char('?')) - 1).toInt();
            const int item = text.section(QLatin1Char(' '), 1, 1).toInt();
            if (item == 1)
                return refusedNames.contains(n) ? reply('D', QString())
                                                : reply('A', names.value(n, QStringLiteral("Proc %1").arg(n))
                                                                 .leftJustified(16, QLatin1Char(' ')));
            return reply('A', QString::number(item == 3 ? n : layers.value(n, 2)));
        }
        reply('A', QString());
    }

    CommandFrameParser parser_;
};

#endif
