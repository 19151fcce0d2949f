#ifndef DCX_SIM_SIMRUN_H
#define DCX_SIM_SIMRUN_H

#include "sim/simmemory.h"

#include <QByteArray>

#include <array>
#include <random>
#include <vector>

// Phase codes the instrument reports in its status reply.
enum SimPhase : int {
    kPhaseStopped = 0,
    kPhaseManStart = 3,
    kPhaseRise1 = 7,
    kPhaseSoak1 = 8,
    kPhaseRise2 = 9,
    kPhaseSoak2 = 10,
    kPhaseShutterDelay = 12,
    kPhaseDeposit = 13,
    kPhaseRateRamp = 14,
    kPhaseRampDeposit = 15,
    kPhaseIdleRamp = 22,
    kPhaseCrystalFail = 24,
    kPhaseStopLayer = 25,
    kPhaseManualPower = 26,
};

// The instrument's run engine: walks the selected process group by group
// (pre-conditioning, shutter delay, deposit), runs the rate control loop of each
// source output and produces the readings the host polls. Time moves only
// through step(), so a whole run can be driven by a test clock.
class SimRun {
public:
    // status characters of the operate commands
    static constexpr char kAccepted = 'A';
    static constexpr char kBadData = 'D';
    static constexpr char kBadMode = 'E';

    SimRun(const SimMemory& memory, quint32 seed);

    void reseed(quint32 seed);

    // Moves simulated time forward by seconds (in steps of at most kStep).
    void step(double seconds);
    static constexpr double kStep = 0.05;

    // "U code": start/abort process, start/stop/next layer, zero thickness.
    char operate(int code);
    // "T n": choose the process to run.
    char selectProcess(int n);
    // "S0" (output 0) and "S o tenths": manual power.
    char setPower(int output, int tenths);

    int phase() const { return phase_; }
    double elapsed() const { return elapsed_; }
    int runProcess() const { return process_; }
    int runLayer() const { return groupIndex_ + 1; }
    bool running() const { return phase_ != kPhaseStopped; }

    // Reply data of the status and readings queries.
    QByteArray statusReply() const;
    QByteArray outputsReply();
    QByteArray sensorsReply();

    // A crystal that stops oscillating (sensor 0..3); a running layer whose
    // crystals have all failed halts in "Crystal Fail". A new crystal starts
    // again near 6 MHz.
    void failCrystal(int s) { sensors_[s].failed = true; }
    void replaceCrystal(int s);

    // Readings, for tests and the control channel.
    double outputPower(int o) const; // -1 when the output is not in use
    double outputRate(int o) const { return outputs_[o].rate; }
    double outputThickness(int o) const { return outputs_[o].thickness; } // kÅ
    double sensorFrequency(int s) const;                                  // Hz
    double sensorThickness(int s) const { return sensors_[s].thickness; } // kÅ

private:
    struct Member {
        int slot = 0;
        int output = 0; // 0..3
        std::array<bool, 4> sensors{};
        double rate = 0;       // Å/s, the layer's setpoint
        double setpoint = 0;   // current setpoint (ramps move it)
        double finalThick = 0; // kÅ
        double maxPower = 0;   // %
        double slew = 0;       // %/s, 0 = unlimited
        double density = 1;    // g/cm³
        double capture = 0;    // %
        double rise1Power = 0, rise1Time = 0, soak1Time = 0;
        double rise2Power = 0, rise2Time = 0, soak2Time = 0;
        double shutterDelay = 0;
        double pterm = 0, iterm = 0;
        struct Ramp {
            bool enabled = false;
            double start = 0, rate = 0, time = 0;
        };
        std::array<Ramp, 2> ramps{};
        int rampStage = 0; // 0 none yet, 1 in ramp 1, 2 after, 3 in ramp 2, 4 after
        double rampFrom = 0, rampTime = 0;
        bool done = false;
    };
    struct Group {
        std::vector<Member> members;
        bool manualStart = false;
    };
    struct Output {
        double power = 0;    // %
        double rate = 0;     // Å/s, true evaporation rate
        double measured = 0; // Å/s, last reported
        double integral = 0;
        double thickness = 0; // kÅ
        double manualPower = 0;
        double density = 1;  // of the material last evaporated
        double rampFrom = 0; // power at the start of a rise
    };
    struct Sensor {
        double rate = 0;
        double thickness = 0; // kÅ since the last zero
        double startFrequency = 0;
        double frequency = 0; // Hz
        bool failed = false;
    };

    bool buildGroups(int process, std::vector<Group>& groups) const;
    Member makeMember(int slot) const;
    void startGroup(bool announceManual);
    void enterPhase(int phase);
    void nextPhase();
    double phaseDuration(int phase) const;
    void finishGroup();
    void stopOutputs();
    void stepOnce(double dt);
    void control(Member& m, double dt);
    void deposit(double dt);
    bool controlPhase() const;
    bool depositPhase() const;
    bool crystalsLost() const;
    const Member* memberOn(int output) const;
    double noise(double sigma);

    const SimMemory& memory_;
    std::mt19937 rng_;
    int phase_ = kPhaseStopped;
    int process_ = 1;
    std::vector<Group> groups_;
    int groupIndex_ = 0;
    double phaseTime_ = 0;
    double captureTime_ = 0;
    double elapsed_ = 0;
    double pending_ = 0;
    int beforeManual_ = kPhaseStopped;
    bool manualActive_ = false;
    std::array<Output, 4> outputs_{};
    std::array<Sensor, 4> sensors_{};
};

#endif
