#include "tools/sim/ShotCurve.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

// Smooth step from 0 to 1 over x in [0, 1].
double ease(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(pi * x);
}

// How far the tool breathes open under injection pressure, per sensor (micrometres).
constexpr double injectionLift[] = {85.0, 120.0, 60.0, 140.0, 95.0};
// How much the part shrinks while cooling, per sensor (micrometres).
constexpr double shrinkage[] = {12.0, 18.0, 8.0, 20.0, 14.0};

} // namespace

ShotCurve::ShotCurve(unsigned int seed)
    : m_random(seed)
{
    m_scale.fill(1.0);
    m_shift.fill(0.0);
}

void ShotCurve::newShot()
{
    std::uniform_real_distribution<double> scale(0.95, 1.05);
    std::uniform_real_distribution<double> shift(-4.0, 4.0);
    for (int k = 0; k < numSensors; ++k) {
        m_scale[k] = scale(m_random);
        m_shift[k] = shift(m_random);
    }
}

ShotCurve::Sample ShotCurve::sample(double timeMs, double cycleMs)
{
    if (cycleMs <= 0.0) {
        cycleMs = defaultCycleMs;
        timeMs = std::fmod(timeMs, cycleMs);
    }
    const double fraction = std::clamp(timeMs / cycleMs, 0.0, 1.0);
    Sample values{};
    for (int k = 0; k < numSensors; ++k) {
        const double base = closedGap(k);
        // Deviations of this shot act on the movement above the closed gap only.
        const double movement = (nominal(k, fraction) - base) * m_scale[k];
        values[k] = std::max(0.0, base + m_shift[k] + movement + m_noise(m_random));
    }
    return values;
}

ShotCurve::Phase ShotCurve::phaseAt(double fraction)
{
    if (fraction < injectionStart)
        return Phase::Closing;
    if (fraction < holdingStart)
        return Phase::Injection;
    if (fraction < coolingStart)
        return Phase::HoldingPressure;
    if (fraction < openingStart)
        return Phase::Cooling;
    return Phase::Opening;
}

double ShotCurve::openGap(int sensor)
{
    return 9000.0 + 450.0 * sensor;
}

double ShotCurve::closedGap(int sensor)
{
    return 1500.0 + 320.0 * sensor;
}

double ShotCurve::nominal(int sensor, double fraction)
{
    sensor = std::clamp(sensor, 0, numSensors - 1);
    fraction = std::clamp(fraction, 0.0, 1.0);
    const double open = openGap(sensor);
    const double closed = closedGap(sensor);
    const double lift = injectionLift[sensor];
    const double shrink = shrinkage[sensor];
    // Holding pressure eases the lift to 60 %; cooling takes it down to the shrunk part.
    const double heldLift = 0.6 * lift;

    switch (phaseAt(fraction)) {
    case Phase::Closing:
        return open + (closed - open) * ease(fraction / injectionStart);
    case Phase::Injection:
        return closed + lift * ease((fraction - injectionStart) / (holdingStart - injectionStart));
    case Phase::HoldingPressure: {
        const double x = (fraction - holdingStart) / (coolingStart - holdingStart);
        return closed + lift - (lift - heldLift) * ease(x);
    }
    case Phase::Cooling: {
        const double x = (fraction - coolingStart) / (openingStart - coolingStart);
        // Exponential settling from the held lift to minus the shrinkage.
        const double settle = (1.0 - std::exp(-4.0 * x)) / (1.0 - std::exp(-4.0));
        return closed + heldLift - (heldLift + shrink) * settle;
    }
    case Phase::Opening:
        return closed - shrink +
               (open - closed + shrink) * ease((fraction - openingStart) / (1.0 - openingStart));
    }
    return closed;
}
