#pragma once

#include <array>
#include <random>

// Distances the five sensors of a moulding tool measure during one shot, in micrometres:
// the tool closes, the melt is injected (the tool breathes open a little), holding
// pressure keeps it there while it eases, the part cools and shrinks, the tool opens.
// Each shot varies a little from the one before, and every sample carries some noise.
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

    explicit ShotCurve(unsigned int seed);

    // Starts a new shot: draws this shot's small deviations from the nominal curve.
    void newShot();
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
    std::mt19937 m_random;
    std::normal_distribution<double> m_noise{0.0, 1.5};
    std::array<double, numSensors> m_scale{};
    std::array<double, numSensors> m_shift{};
};
