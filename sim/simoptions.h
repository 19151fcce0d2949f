#ifndef DCX_SIM_SIMOPTIONS_H
#define DCX_SIM_SIMOPTIONS_H

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

// Command-line options of dcx700-sim.
struct SimOptions {
    QHostAddress bind{QHostAddress::LocalHost};
    quint16 port = 2101;
    bool pty = false;
    double speed = 1.0;
    int baud = 0; // 0: bytes as fast as the transport moves them
    QString stateFile;
    quint32 seed = 1;
    QString identification; // empty: the default text
    QStringList faults;     // control lines applied at start
    enum class Control { None, Stdin, Tcp } control = Control::None;
    quint16 controlPort = 0;
    bool verbose = false;
};

struct SimOptionsResult {
    std::optional<SimOptions> options; // nullopt: print message and exit with exitCode
    QString message;
    int exitCode = 0;
};

// args include the program name, as QCoreApplication::arguments() gives them.
SimOptionsResult ParseSimOptions(const QStringList& args);

#endif
