#ifndef DCX_SIM_SIMCONTROL_H
#define DCX_SIM_SIMCONTROL_H

#include <QString>

class SimInstrument;

// The simulator's control language, one command per line, used by the control
// channel while it runs and by the fault options at start:
//   delay MS | drop N | drop-rate F | corrupt N | answer B|C|D|E N | garbage N
//   bad-field N | close | close-after N | crystal-fail S | crystal-new S | clear
//   seed N | speed X | advance S | show | help
class SimControl {
public:
    explicit SimControl(SimInstrument& instrument) : instrument_(instrument) {}

    // Runs one line; the answer starts with "ok" or "error:".
    QString execute(const QString& line);

    static QString help();
    static bool isError(const QString& answer) { return answer.startsWith(QLatin1String("error:")); }

private:
    SimInstrument& instrument_;
};

#endif
