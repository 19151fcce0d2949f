#include "sim/simrun.h"

#include <algorithm>
#include <cmath>

namespace {

// Source model of each output: evaporation starts above a threshold power and
// grows linearly beyond it; the true efficiency differs a little from the
// nominal one the controller assumes, so the integral term has work to do.
constexpr std::array<double, 4> kGain{0.45, 0.38, 0.52, 0.33};    // Å/s per % above threshold
constexpr std::array<double, 4> kThreshold{8.0, 11.0, 6.5, 14.0}; // %
constexpr std::array<double, 4> kEfficiency{0.95, 1.04, 0.97, 1.02};
constexpr double kSourceLag = 2.0;      // s, time constant of the melt
constexpr double kKp = 1.5;             // % per Å/s
constexpr double kKi = 0.5;             // % per Å
constexpr double kIntegralLimit = 15.0; // %
// Frequency shift of a 6 MHz crystal per Å of film of density 1 g/cm³.
constexpr double kHzPerAngstrom = 0.81;
constexpr std::array<double, 4> kFreshCrystal{5'998'120.0, 5'996'480.0, 5'991'730.0, 5'987'050.0};
constexpr double kCaptureHold = 1.0; // s within capture before the shutter opens

constexpr std::array<int, 6> kLayerSequence{kPhaseRise1, kPhaseSoak1,        kPhaseRise2,
                                            kPhaseSoak2, kPhaseShutterDelay, kPhaseDeposit};

QByteArray fixed(double v, int decimals)
{
    const double unit = std::pow(10.0, -decimals) / 2;
    if (std::fabs(v) < unit)
        v = 0.0;
    return QByteArray::number(v, 'f', decimals);
}

} // namespace

SimRun::SimRun(const SimMemory& memory, quint32 seed) : memory_(memory), rng_(seed)
{
    for (int s = 0; s < 4; ++s) {
        sensors_[s].startFrequency = kFreshCrystal[s];
        sensors_[s].frequency = kFreshCrystal[s];
    }
    buildGroups(process_, groups_);
}

void SimRun::reseed(quint32 seed)
{
    rng_.seed(seed);
}

double SimRun::noise(double sigma)
{
    return std::normal_distribution<double>(0.0, sigma)(rng_);
}

SimRun::Member SimRun::makeMember(int slot) const
{
    const auto& l = memory_.layer(slot).item;
    Member m;
    m.slot = slot;
    m.output = std::clamp(l[kLayerOutput], 1, 4) - 1;
    for (int s = 0; s < 4; ++s)
        m.sensors[s] = l[kLayerSensor1 + s] == 1;
    m.rate = l[kLayerRate] / 10.0;
    m.setpoint = m.rate;
    m.finalThick = l[kLayerFinalThick] / 1000.0;
    m.maxPower = l[kLayerMaxPower] / 10.0;
    m.slew = l[kLayerSlewRate] / 10.0;
    for (int r = 0; r < 2; ++r) {
        const int base = r == 0 ? kLayerRamp1Enabled : kLayerRamp2Enabled;
        m.ramps[r].enabled = l[base] == 1;
        m.ramps[r].start = l[base + 1] / 1000.0;
        m.ramps[r].rate = l[base + 2] / 10.0;
        m.ramps[r].time = l[base + 3];
    }
    const int f = l[kLayerFilm];
    if (f >= 1 && f <= kSimFilms) {
        const SimFilm& film = memory_.film(f);
        const auto& g2 = film.group[0];
        const auto& g3 = film.group[1];
        const auto& g4 = film.group[2];
        m.pterm = g2[kFilmPterm];
        m.iterm = g2[kFilmIterm] / 10.0;
        m.rise1Power = g3[kFilmRamp1Power] / 10.0;
        m.rise1Time = g3[kFilmRamp1Time];
        m.soak1Time = g3[kFilmSoak1Time];
        m.rise2Power = g3[kFilmRamp2Power] / 10.0;
        m.rise2Time = g3[kFilmRamp2Time];
        m.soak2Time = g3[kFilmSoak2Time];
        m.shutterDelay = g4[kFilmShutterDelay];
        m.capture = g4[kFilmCapture] / 10.0;
        const int mat = g2[kFilmMaterial];
        if (mat >= 1 && mat <= kSimMaterials)
            m.density = memory_.material(mat).item[kMaterialDensity] / 100.0;
    }
    m.rise1Power = std::min(m.rise1Power, std::max(m.maxPower, 0.0));
    m.rise2Power = std::min(m.rise2Power, std::max(m.maxPower, 0.0));
    return m;
}

// Follows the process's layer chain: a slot reached through Next_Layer opens a
// new group, one reached through CoDep_Layer joins the group before it.
bool SimRun::buildGroups(int process, std::vector<Group>& groups) const
{
    groups.clear();
    if (process < 1 || process > kSimProcesses)
        return false;
    const SimProcess& p = memory_.process(process);
    int slot = p.item[kProcessFirst];
    bool newGroup = true;
    for (int i = 0; i < p.item[kProcessActLayers]; ++i) {
        if (slot < 1 || slot > kSimLayers) {
            groups.clear();
            return false;
        }
        const auto& l = memory_.layer(slot).item;
        if (newGroup) {
            groups.push_back({});
            groups.back().manualStart = l[kLayerStartMode] == 0;
        }
        groups.back().members.push_back(makeMember(slot));
        if (l[kLayerNext] > 0) {
            slot = l[kLayerNext];
            newGroup = true;
        } else {
            slot = l[kLayerCoDep];
            newGroup = false;
        }
    }
    return !groups.empty();
}

const SimRun::Member* SimRun::memberOn(int output) const
{
    if (groupIndex_ < 0 || groupIndex_ >= int(groups_.size()))
        return nullptr;
    for (const Member& m : groups_[groupIndex_].members)
        if (m.output == output)
            return &m;
    return nullptr;
}

bool SimRun::controlPhase() const
{
    return phase_ == kPhaseShutterDelay || depositPhase();
}

bool SimRun::depositPhase() const
{
    return phase_ == kPhaseDeposit || phase_ == kPhaseRateRamp || phase_ == kPhaseRampDeposit;
}

void SimRun::stopOutputs()
{
    for (Output& o : outputs_) {
        o.power = 0;
        o.integral = 0;
    }
}

double SimRun::phaseDuration(int phase) const
{
    if (groups_.empty())
        return 0;
    double d = 0;
    for (const Member& m : groups_[groupIndex_].members) {
        switch (phase) {
        case kPhaseRise1:
            d = std::max(d, m.rise1Time);
            break;
        case kPhaseSoak1:
            d = std::max(d, m.soak1Time);
            break;
        case kPhaseRise2:
            d = std::max(d, m.rise2Time);
            break;
        case kPhaseSoak2:
            d = std::max(d, m.soak2Time);
            break;
        case kPhaseShutterDelay:
            d = std::max(d, m.shutterDelay);
            break;
        default:
            break;
        }
    }
    return d;
}

void SimRun::enterPhase(int phase)
{
    phase_ = phase;
    phaseTime_ = 0;
    captureTime_ = 0;
    if (phase == kPhaseRise1 || phase == kPhaseRise2)
        for (Output& o : outputs_)
            o.rampFrom = o.power;
}

// The next phase of the layer sequence after the current one; phases of zero
// length are skipped, but a skipped rise still sets its power.
void SimRun::nextPhase()
{
    auto it = std::find(kLayerSequence.begin(), kLayerSequence.end(), phase_);
    it = it == kLayerSequence.end() ? kLayerSequence.begin() : it + 1;
    for (; it != kLayerSequence.end(); ++it) {
        if (*it == kPhaseDeposit || phaseDuration(*it) > 0) {
            enterPhase(*it);
            return;
        }
        if (*it == kPhaseRise1 || *it == kPhaseRise2)
            for (const Member& m : groups_[groupIndex_].members)
                outputs_[m.output].power = *it == kPhaseRise1 ? m.rise1Power : m.rise2Power;
    }
}

void SimRun::startGroup(bool honourManualStart)
{
    Group& g = groups_[groupIndex_];
    for (Member& m : g.members) {
        m.done = false;
        m.setpoint = m.rate;
        m.rampStage = 0;
        Output& o = outputs_[m.output];
        o.thickness = 0;
        o.integral = 0;
        o.density = m.density;
    }
    if (honourManualStart && g.manualStart) {
        enterPhase(kPhaseManStart);
        return;
    }
    phase_ = -1; // before the first phase of the sequence
    nextPhase();
}

void SimRun::finishGroup()
{
    stopOutputs();
    if (groupIndex_ + 1 < int(groups_.size())) {
        ++groupIndex_;
        startGroup(true);
        return;
    }
    enterPhase(kPhaseStopped);
    groupIndex_ = 0;
}

char SimRun::operate(int code)
{
    switch (code) {
    case 0: // start process
        if (phase_ != kPhaseStopped)
            return kBadMode;
        if (!buildGroups(process_, groups_))
            return kBadMode;
        groupIndex_ = 0;
        elapsed_ = 0;
        startGroup(true);
        return kAccepted;
    case 1: // abort process
        if (phase_ == kPhaseStopped)
            return kBadMode;
        enterPhase(kPhaseStopped);
        stopOutputs();
        groupIndex_ = 0;
        return kAccepted;
    case 2: // start (manual) layer
        if (phase_ != kPhaseManStart && phase_ != kPhaseStopLayer)
            return kBadMode;
        phase_ = -1;
        nextPhase();
        return kAccepted;
    case 3: // stop layer
        if (phase_ == kPhaseStopped || phase_ == kPhaseStopLayer || phase_ < kPhaseManStart)
            return kBadMode;
        if (phase_ == kPhaseManualPower && beforeManual_ == kPhaseStopped) {
            enterPhase(kPhaseStopped);
        } else {
            enterPhase(kPhaseStopLayer);
        }
        stopOutputs();
        return kAccepted;
    case 4: // next layer
        if (phase_ != kPhaseStopLayer)
            return kBadMode;
        finishGroup();
        return kAccepted;
    case 32: // zero thickness
        for (Output& o : outputs_)
            o.thickness = 0;
        for (Sensor& s : sensors_)
            s.thickness = 0;
        return kAccepted;
    default:
        return kBadData;
    }
}

char SimRun::selectProcess(int n)
{
    if (n < 1 || n > kSimProcesses)
        return kBadData;
    if (phase_ != kPhaseStopped && n != process_)
        return kBadMode;
    if (phase_ == kPhaseStopped) {
        process_ = n;
        groupIndex_ = 0;
        buildGroups(process_, groups_);
    }
    return kAccepted;
}

char SimRun::setPower(int output, int tenths)
{
    if (output == 0) {
        if (phase_ == kPhaseManualPower) {
            phase_ = beforeManual_;
            phaseTime_ = 0;
            if (!controlPhase())
                stopOutputs();
        }
        return kAccepted;
    }
    if (output < 1 || output > 4 || tenths < 0 || tenths > 1000)
        return kBadData;
    if (phase_ == kPhaseCrystalFail)
        return kBadMode;
    if (phase_ != kPhaseManualPower) {
        beforeManual_ = phase_;
        for (Output& o : outputs_)
            o.manualPower = o.power;
        phase_ = kPhaseManualPower;
        phaseTime_ = 0;
    }
    outputs_[output - 1].manualPower = tenths / 10.0;
    return kAccepted;
}

void SimRun::step(double seconds)
{
    if (!(seconds > 0))
        return;
    pending_ += seconds;
    while (pending_ >= kStep) {
        pending_ -= kStep;
        stepOnce(kStep);
    }
}

void SimRun::control(Member& m, double dt)
{
    Output& out = outputs_[m.output];
    const int o = m.output;
    const double err = m.setpoint - out.rate;
    out.integral = std::clamp(out.integral + kKi * err * dt, -kIntegralLimit, kIntegralLimit);
    const double feedForward = m.setpoint > 0 ? kThreshold[o] + m.setpoint / kGain[o] : 0.0;
    double target = std::clamp(feedForward + kKp * err + out.integral, 0.0, std::max(m.maxPower, 0.0));
    if (m.slew > 0) {
        const double stepMax = m.slew * dt;
        target = std::clamp(target, out.power - stepMax, out.power + stepMax);
    }
    out.power = target;
}

void SimRun::deposit(double dt)
{
    Group& g = groups_[groupIndex_];
    bool allDone = true;
    for (Member& m : g.members) {
        Output& out = outputs_[m.output];
        if (m.done) {
            out.power = 0;
            continue;
        }
        // rate ramps: the setpoint moves linearly to the new rate over the ramp time
        for (int r = 0; r < 2; ++r) {
            const Member::Ramp& ramp = m.ramps[r];
            const int before = 2 * r; // stage before this ramp: 0 or 2
            if ((m.rampStage == before || (r == 1 && m.rampStage == 0)) && ramp.enabled &&
                out.thickness >= ramp.start) {
                m.rampStage = before + 1;
                m.rampFrom = m.setpoint;
                m.rampTime = 0;
            }
            if (m.rampStage == before + 1) {
                m.rampTime += dt;
                const double frac = ramp.time > 0 ? std::min(1.0, m.rampTime / ramp.time) : 1.0;
                m.setpoint = m.rampFrom + (ramp.rate - m.rampFrom) * frac;
                if (frac >= 1.0)
                    m.rampStage = before + 2;
            }
        }
        control(m, dt);
        out.thickness += out.rate * dt / 1000.0;
        if (out.thickness >= m.finalThick) {
            m.done = true;
            out.power = 0;
            out.integral = 0;
        } else {
            allDone = false;
        }
    }
    if (allDone) {
        finishGroup();
        return;
    }
    const int stage = g.members.front().rampStage;
    phase_ = (stage == 1 || stage == 3)   ? kPhaseRateRamp
             : (stage == 2 || stage == 4) ? kPhaseRampDeposit
                                          : kPhaseDeposit;
}

void SimRun::stepOnce(double dt)
{
    phaseTime_ += dt;
    const bool runActive =
        phase_ != kPhaseStopped && !(phase_ == kPhaseManualPower && beforeManual_ == kPhaseStopped);
    if (runActive)
        elapsed_ += dt;

    switch (phase_) {
    case kPhaseRise1:
    case kPhaseRise2:
        for (const Member& m : groups_[groupIndex_].members) {
            const double time = phase_ == kPhaseRise1 ? m.rise1Time : m.rise2Time;
            const double power = phase_ == kPhaseRise1 ? m.rise1Power : m.rise2Power;
            Output& out = outputs_[m.output];
            const double frac = time > 0 ? std::min(1.0, phaseTime_ / time) : 1.0;
            out.power = out.rampFrom + (power - out.rampFrom) * frac;
        }
        if (phaseTime_ >= phaseDuration(phase_))
            nextPhase();
        break;
    case kPhaseSoak1:
    case kPhaseSoak2:
        if (phaseTime_ >= phaseDuration(phase_))
            nextPhase();
        break;
    case kPhaseShutterDelay: {
        bool captured = true;
        for (Member& m : groups_[groupIndex_].members) {
            control(m, dt);
            const double dev =
                m.setpoint > 0 ? std::fabs(outputs_[m.output].rate - m.setpoint) / m.setpoint * 100 : 0;
            if (m.capture <= 0 || dev > m.capture)
                captured = false;
        }
        captureTime_ = captured ? captureTime_ + dt : 0;
        if (captureTime_ >= kCaptureHold || phaseTime_ >= phaseDuration(phase_))
            enterPhase(kPhaseDeposit);
        break;
    }
    case kPhaseDeposit:
    case kPhaseRateRamp:
    case kPhaseRampDeposit:
        deposit(dt);
        break;
    case kPhaseManualPower:
        for (Output& o : outputs_)
            o.power = o.manualPower;
        break;
    default:
        break;
    }

    // the melt follows the power with a lag
    for (int o = 0; o < 4; ++o) {
        Output& out = outputs_[o];
        const double target = kGain[o] * kEfficiency[o] * std::max(0.0, out.power - kThreshold[o]);
        out.rate += (target - out.rate) * (1.0 - std::exp(-dt / kSourceLag));
        if (phase_ == kPhaseManualPower)
            out.thickness += out.rate * dt / 1000.0;
    }

    // each crystal sees the outputs whose layer uses it (sensor n sees output n
    // when no layer is running)
    const bool inLayer = phase_ != kPhaseStopped && !groups_.empty();
    const bool accumulate = depositPhase() || phase_ == kPhaseManualPower;
    for (int s = 0; s < 4; ++s) {
        Sensor& sensor = sensors_[s];
        double rate = 0, mass = 0;
        if (inLayer) {
            for (const Member& m : groups_[groupIndex_].members)
                if (m.sensors[s]) {
                    rate += outputs_[m.output].rate;
                    mass += outputs_[m.output].rate * m.density;
                }
        } else {
            rate = outputs_[s].rate;
            mass = rate * outputs_[s].density;
        }
        sensor.rate = rate;
        if (accumulate)
            sensor.thickness += rate * dt / 1000.0;
        sensor.frequency -= kHzPerAngstrom * mass * dt;
        if (sensor.frequency < memory_.system()[kSysMinFreq] * 1e5)
            sensor.failed = true;
        if (sensor.failed)
            sensor.rate = 0;
    }

    // rate control needs a crystal: without one the layer halts
    if (controlPhase() && crystalsLost()) {
        enterPhase(kPhaseCrystalFail);
        stopOutputs();
    }
}

void SimRun::replaceCrystal(int s)
{
    Sensor& sensor = sensors_[s];
    sensor.failed = false;
    sensor.frequency = sensor.startFrequency;
    sensor.thickness = 0;
}

// True when a member of the running group has crystals and all of them failed.
bool SimRun::crystalsLost() const
{
    for (const Member& m : groups_[groupIndex_].members) {
        bool any = false, alive = false;
        for (int s = 0; s < 4; ++s)
            if (m.sensors[s]) {
                any = true;
                alive = alive || !sensors_[s].failed;
            }
        if (any && !alive && !m.done)
            return true;
    }
    return false;
}

double SimRun::outputPower(int o) const
{
    if (phase_ == kPhaseManualPower)
        return outputs_[o].power;
    return memberOn(o) ? outputs_[o].power : -1.0;
}

double SimRun::sensorFrequency(int s) const
{
    return sensors_[s].failed ? 0.0 : sensors_[s].frequency;
}

QByteArray SimRun::statusReply() const
{
    const int layer = groups_.empty() ? 0 : groupIndex_ + 1;
    return QByteArray::number(phase_) + ' ' + fixed(elapsed_, 1) + ' ' + QByteArray::number(process_) + ' ' +
           QByteArray::number(layer) + " 0";
}

QByteArray SimRun::outputsReply()
{
    if (phase_ == kPhaseStopped) {
        buildGroups(process_, groups_);
        groupIndex_ = 0;
    }
    QByteArray r = "4";
    for (int o = 0; o < 4; ++o) {
        Output& out = outputs_[o];
        const Member* m = memberOn(o);
        const double power = outputPower(o);
        double rate = 0, dev = 0;
        if (power >= 0 && out.rate > 0.005) {
            const double sp = m ? m->setpoint : out.rate;
            rate = std::max(0.0, out.rate + noise(0.008 * std::max(sp, 0.5)));
            if (m && controlPhase() && m->setpoint > 0 && !m->done)
                dev = (rate - m->setpoint) / m->setpoint * 100.0;
        }
        out.measured = rate;
        r += ' ' + fixed(rate, 2) + ' ' + fixed(dev, 1) + ' ' + fixed(power >= 0 ? out.thickness : 0.0, 4) +
             ' ' + fixed(power, 1);
    }
    return r;
}

QByteArray SimRun::sensorsReply()
{
    QByteArray r = "4";
    for (int s = 0; s < 4; ++s) {
        const Sensor& sensor = sensors_[s];
        double rate = 0;
        if (sensor.rate > 0.005)
            rate = std::max(0.0, sensor.rate + noise(0.01 * std::max(sensor.rate, 0.5)));
        double freq = sensorFrequency(s);
        if (freq > 0)
            freq += noise(0.05);
        r += ' ' + fixed(rate, 2) + ' ' + fixed(sensor.thickness, 4) + ' ' + fixed(freq, 2);
    }
    return r;
}
