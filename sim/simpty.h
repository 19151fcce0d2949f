#ifndef DCX_SIM_SIMPTY_H
#define DCX_SIM_SIMPTY_H

#include "sim/simline.h"

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

class SimInstrument;

// The instrument's serial port as a pseudo-terminal: the host opens
// devicePath() as it would open a serial device. The device side is kept open
// here too, so a host closing and reopening it does not hang up the line.
class SimPty : public QObject {
    Q_OBJECT
public:
    explicit SimPty(SimInstrument& instrument, QObject* parent = nullptr);
    ~SimPty() override;

    bool open();
    QString devicePath() const { return path_; }
    QString errorString() const { return error_; }
    // Paces the line as a serial line of baud would (0: full speed).
    void setBaud(int baud) { line_.setBaud(baud); }

private:
    void onReadable();

    SimLine line_;
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    QString error_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

#endif
