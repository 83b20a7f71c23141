#pragma once

#include "tools/sim/ShotFault.h"

#include <array>
#include <random>

// Distances the five sensors of a moulding tool measure during one shot, in micrometres:
// the tool closes, the melt is injected (the tool breathes open a little), holding
// pressure keeps it there while it eases, the part cools and shrinks, the tool opens.
// Each shot varies a little from the one before, in value and in time, and every sample
// carries some noise. A shot may carry a fault of the process instead.
class ShotCurve
{
public:
    static constexpr int numSensors = 5;
    using Sample = std::array<double, numSensors>;

    enum class Phase
    {
        Closing,
        Injection,
        HoldingPressure,
        Cooling,
        Opening
    };

    // Fractions of the cycle at which the phases after the first begin.
    static constexpr double injectionStart = 0.15;
    static constexpr double holdingStart = 0.30;
    static constexpr double coolingStart = 0.55;
    static constexpr double openingStart = 0.85;

    // A good shot's spread: the movement above the closed gap scaled by up to ±scaleSpread,
    // the whole curve shifted by up to ±shiftSpread µm, noise of noiseSigma µm per sample;
    // in time, the start of the curve by up to ±triggerSpread and each phase boundary by up
    // to ±boundarySpread of the cycle (together ±90 ms in a 6 s cycle).
    static constexpr double scaleSpread = 0.05;
    static constexpr double shiftSpread = 4.0;
    static constexpr double noiseSigma = 1.5;
    static constexpr double triggerSpread = 0.01;
    static constexpr double boundarySpread = 0.005;

    explicit ShotCurve(unsigned int seed);

    // Starts a new shot: draws this shot's small deviations from the nominal curve. The
    // draws do not depend on the fault, so a seed gives the same shot with and without it.
    void newShot(const ShotFault& fault = ShotFault());
    const ShotFault& fault() const { return m_fault; }
    // The readings of all sensors at time timeMs after the shot began, in a cycle of
    // cycleMs (a cycle of 0 or less counts as endless: the curve repeats every
    // defaultCycleMs).
    Sample sample(double timeMs, double cycleMs);

    static Phase phaseAt(double fraction);
    // The nominal, noiseless distance of one sensor at a fraction (0 to 1) of the cycle.
    static double nominal(int sensor, double fraction);
    // Gap of the open tool, and of the closed tool at rest, per sensor.
    static double openGap(int sensor);
    static double closedGap(int sensor);

    static constexpr double defaultCycleMs = 6000.0;

private:
    // Where the phases after the first begin, as fractions of the cycle; the switch-over to
    // holding pressure comes at the end of injection unless it is late.
    struct Timing
    {
        double injection = injectionStart;
        double holding = holdingStart;
        double switchOver = holdingStart;
        double cooling = coolingStart;
        double opening = openingStart;
    };
    // breathing: factor on the opening under injection pressure; overpack: the share of it
    // added while a late switch-over keeps injection pressure on.
    static double shape(int sensor, double fraction, const Timing& timing, double breathing,
                        double overpack);

    std::mt19937 m_random;
    std::normal_distribution<double> m_noise{0.0, noiseSigma};
    Timing m_timing;
    double m_trigger = 0.0;
    ShotFault m_fault;
    std::array<double, numSensors> m_scale{};
    std::array<double, numSensors> m_shift{};
};
