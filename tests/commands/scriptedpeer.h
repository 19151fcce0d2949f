#ifndef DCX_TESTS_COMMANDS_SCRIPTEDPEER_H
#define DCX_TESTS_COMMANDS_SCRIPTEDPEER_H

#include "link/commframe.h"
#include "link/inprocesspeer.h"
#include "link/modcomm.h"

#include <QString>
#include <QStringList>

#include <deque>

// A hand-scripted instrument: records every command text it receives and
// answers each with the next queued reply or with a bare acceptance. Replies
// are built here, independently of the code under test.
class ScriptedPeer : public InProcessPeer {
public:
    struct Reply {
        char status = 'A';
        QString data;
    };

    void receiveFromHost(const QByteArray& bytes) override
    {
        for (char b : bytes) {
            const auto command = parser.feed(b);
            if (!command)
                continue;
            const QString text = QString::fromLatin1(command->text);
            commands << text;
            Reply r;
            if (!queued.empty()) {
                r = queued.front();
                queued.pop_front();
            }
            emit sendToHost(*BuildReplyFrame(r.status, r.data.toLatin1()));
        }
    }

    void accept(const QString& data = {}) { queued.push_back({'A', data}); }
    void refuse(char status = 'D') { queued.push_back({status, {}}); }

    QStringList commands;
    std::deque<Reply> queued;

private:
    CommandFrameParser parser;
};

// Installs the peer as the link for one test and resets the link afterwards.
class PeerLink {
public:
    explicit PeerLink(ScriptedPeer& peer)
    {
        Comm_ResetLink();
        Comm_UseInProcessPeer(&peer);
    }
    ~PeerLink() { Comm_ResetLink(); }
    PeerLink(const PeerLink&) = delete;
    PeerLink& operator=(const PeerLink&) = delete;
};

#endif
