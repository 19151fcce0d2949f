#ifndef DCX_REMOTE_REMOTEMONITORING_H
#define DCX_REMOTE_REMOTEMONITORING_H

#include <QString>
#include <memory>

class RemoteServer;
class RunsSource;
struct RemoteState;

// The main window's switch for the remote face, with the [Remote] settings
// of Config(). Turning it on with no port set uses 9700 and keeps that port
// in the configuration; turning it off stores port 0, so the next start
// comes up as the operator left it.
class RemoteMonitoring {
public:
    RemoteMonitoring();
    ~RemoteMonitoring();
    RemoteMonitoring(const RemoteMonitoring&) = delete;
    RemoteMonitoring& operator=(const RemoteMonitoring&) = delete;

    // Starts the server when the configured port is not 0; false with
    // *error set when it could not start.
    bool startFromConfig(QString* error);
    // Turns the server on or off; false with *error set when it could not
    // start (it is then off).
    bool setOn(bool on, QString* error);
    bool isOn() const { return server_ != nullptr; }
    // "http://127.0.0.1:9700/" while on, else empty.
    QString url() const;
    // Hands the state of the tick just run to the server; nothing when off.
    void feed(const RemoteState& state);
    // The run archive the endpoints read (not owned; nullptr for none).
    void setRunsSource(RunsSource* source);

private:
    bool start(QString* error);

    std::unique_ptr<RemoteServer> server_;
    RunsSource* runs_ = nullptr;
    quint16 lastPort_ = 0;
};

#endif
