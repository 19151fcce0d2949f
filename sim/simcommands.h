#ifndef DCX_SIM_SIMCOMMANDS_H
#define DCX_SIM_SIMCOMMANDS_H

#include <QByteArray>

#include <functional>
#include <map>

class SimMemory;
class SimRun;

// The answer to one command: the status character and the reply data.
struct SimReply {
    char status = 'A';
    QByteArray data;
    bool changedMemory = false; // a set command stored something

    bool operator==(const SimReply&) const = default;
};

// Interprets command texts as the instrument does: identification, status,
// readings, operate commands and every parameter family in both directions.
// Status characters: 'A' accepted, 'C' unknown command, 'D' bad data (record,
// item or value out of range, malformed field), 'E' not allowed in this state.
class SimCommands {
public:
    SimCommands(SimMemory& memory, SimRun& run);

    SimReply execute(const QByteArray& text);

    void setIdentification(const QByteArray& id) { id_ = id; }
    const QByteArray& identification() const { return id_; }

    static constexpr const char* kDefaultIdentification = "DCX-700 SIM 4.20";

private:
    using Handler = std::function<SimReply(const QByteArray& rest)>;

    SimReply records(const QByteArray& family, const QByteArray& rest);
    SimReply filmName(const QByteArray& rest);
    SimReply operate(const QByteArray& rest);
    SimReply select(const QByteArray& rest);
    SimReply power(const QByteArray& rest);
    SimReply erase();

    SimMemory& memory_;
    SimRun& run_;
    QByteArray id_ = kDefaultIdentification;
    std::map<QByteArray, Handler> handlers_;
};

#endif
