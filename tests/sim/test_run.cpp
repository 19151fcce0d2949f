// Running processes on the simulated clock: phases, readings, operate codes.

#include "simtestclient.h"

#include <gtest/gtest.h>

#include <vector>

using namespace simtest;

namespace {

struct Poll {
    int phase = -1;
    double elapsed = 0;
    int process = 0, layer = 0;
    double rate[4]{}, dev[4]{}, thick[4]{}, power[4]{};
    double sRate[4]{}, sThick[4]{}, sFreq[4]{};
};

// One update tick of a host: status, sensors, outputs.
Poll poll(Client& c)
{
    Poll p;
    const auto v = fields(c.value("V"));
    const auto k2 = fields(c.value("K2"));
    const auto k1 = fields(c.value("K1"));
    EXPECT_EQ(v.size(), 5) << "v.size";
    EXPECT_EQ(k1.size(), 17) << "k1.size";
    EXPECT_EQ(k2.size(), 13) << "k2.size";
    if (v.size() != 5 || k1.size() != 17 || k2.size() != 13)
        return p;
    p.phase = v[0].toInt();
    p.elapsed = v[1].toDouble();
    p.process = v[2].toInt();
    p.layer = v[3].toInt();
    for (int k = 0; k < 4; ++k) {
        p.rate[k] = k1[1 + 4 * k].toDouble();
        p.dev[k] = k1[2 + 4 * k].toDouble();
        p.thick[k] = k1[3 + 4 * k].toDouble();
        p.power[k] = k1[4 + 4 * k].toDouble();
        p.sRate[k] = k2[1 + 3 * k].toDouble();
        p.sThick[k] = k2[2 + 3 * k].toDouble();
        p.sFreq[k] = k2[3 + 3 * k].toDouble();
    }
    return p;
}

// Polls every half second of process time until done(poll) holds (at most 2000 polls).
template <typename Done>
Poll runUntil(SimInstrument& sim, Client& c, Done done)
{
    Poll p = poll(c);
    for (int i = 0; i < 2000 && !done(p); ++i) {
        sim.advance(0.5);
        p = poll(c);
    }
    return p;
}

std::vector<int> phases(const std::vector<Poll>& ticks)
{
    std::vector<int> seq;
    for (const Poll& p : ticks)
        if (seq.empty() || seq.back() != p.phase)
            seq.push_back(p.phase);
    return seq;
}

} // namespace

TEST(SimRunEngine, DemoProcessWalksPreconditioningAndDepositToStopped)
{
    SimInstrument sim(7);
    Client c(sim);
    sim.setSpeed(50);
    ASSERT_EQ(c.ask("T 1").status, 'A');
    const Poll before = poll(c);
    ASSERT_EQ(c.ask("U 0").status, 'A');

    std::vector<Poll> ticks;
    for (int i = 0; i < 3000 && (ticks.empty() || ticks.back().phase != 0); ++i) {
        sim.advance(0.01); // half a second of process time per tick
        ticks.push_back(poll(c));
    }
    ASSERT_EQ(ticks.back().phase, 0) << "process did not finish";

    // chromium layer: Rise 1, Soak 1, Rise 2, Soak 2, Shutter Delay, Deposit;
    // aluminium layer the same, with its rate ramp (Rate Ramp, Ramp Deposit)
    const std::vector<int> expected{7, 8, 9, 10, 12, 13, 7, 8, 9, 10, 12, 13, 14, 15, 0};
    EXPECT_EQ(phases(ticks), expected);

    // layer 1 runs on output 2 / sensor 2, layer 2 on output 1 / sensor 1
    double lastThick = -1, lastFreq = 1e9;
    bool sawDeposit = false;
    std::vector<Poll> aluminium; // the polls of layer 2's deposit at its first rate
    for (const Poll& p : ticks) {
        if (p.phase == 0)
            break;
        EXPECT_EQ(p.process, 1);
        const bool firstLayer = p.layer == 1;
        const int out = firstLayer ? 1 : 0;
        // An output not in the layer reports -1.
        EXPECT_TRUE(p.power[firstLayer ? 0 : 1] < 0) << "power of output firstLayer ? 0 : 1";
        EXPECT_TRUE(p.power[2] < 0) << "power of output 2";
        EXPECT_TRUE(p.power[3] < 0) << "power of output 3";
        EXPECT_GE(p.power[out], 0);
        EXPECT_LE(p.power[out], firstLayer ? 40.0 : 60.0) << "power above the layer's maximum";
        if (p.layer == 2 && (p.phase == 13 || p.phase == 14 || p.phase == 15)) {
            sawDeposit = true;
            EXPECT_GE(p.thick[0], lastThick) << "thickness must rise during deposit";
            EXPECT_LE(p.sFreq[0], lastFreq + 1.0) << "frequency must fall as the film grows";
            lastThick = p.thick[0];
            lastFreq = p.sFreq[0];
        }
        if (p.layer == 2 && p.phase == 13)
            aluminium.push_back(p);
    }
    EXPECT_TRUE(sawDeposit);
    // 15 s into the aluminium deposit (10 Å/s, ramp to 15 Å/s at 0.300 kÅ) the
    // rate is on its setpoint within a few percent; the next 10 s add rate ×
    // time (0.1 kÅ).
    ASSERT_GT(aluminium.size(), 50u);
    const Poll& settled = aluminium[30];
    EXPECT_NEAR(settled.rate[0], 10.0, 0.4);
    EXPECT_NEAR(settled.dev[0], 0.0, 4.0);
    EXPECT_NEAR(settled.sRate[0], 10.0, 0.5);
    EXPECT_NEAR(aluminium[50].thick[0] - settled.thick[0], 0.100, 0.008);
    EXPECT_NEAR(aluminium[50].sThick[0] - settled.thick[0], 0.100, 0.03);
    EXPECT_GT(lastThick, 0.9);
    // the crystal of sensor 1 lost frequency: about 0.81 Hz per Å per g/cm³ (1 kÅ of aluminium ≈ 2.2 kHz)
    const double shift = before.sFreq[0] - ticks.back().sFreq[0];
    EXPECT_TRUE(shift > 1500.0) << shift;
    EXPECT_TRUE(shift < 3500.0) << shift;
    EXPECT_TRUE(before.sFreq[0] > 5.9e6) << before.sFreq[0];
    EXPECT_TRUE(before.sFreq[0] < 6.0e6) << before.sFreq[0];
    // the elapsed time covers the whole run (150 s of rises and soaks, about
    // 50 s of chromium and 80 s of aluminium deposit) and stays once stopped
    EXPECT_TRUE(ticks.back().elapsed > 270.0) << ticks.back().elapsed;
    EXPECT_TRUE(ticks.back().elapsed < 340.0) << ticks.back().elapsed;
    EXPECT_EQ(poll(c).elapsed, ticks.back().elapsed);
}
