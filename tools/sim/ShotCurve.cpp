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

void ShotCurve::newShot(const ShotFault& fault)
{
    std::uniform_real_distribution<double> scale(1.0 - scaleSpread, 1.0 + scaleSpread);
    std::uniform_real_distribution<double> shift(-shiftSpread, shiftSpread);
    for (int k = 0; k < numSensors; ++k) {
        m_scale[k] = scale(m_random);
        m_shift[k] = shift(m_random);
    }
    std::uniform_real_distribution<double> trigger(-triggerSpread, triggerSpread);
    std::uniform_real_distribution<double> boundary(-boundarySpread, boundarySpread);
    m_trigger = trigger(m_random);
    m_timing = Timing();
    m_timing.injection += boundary(m_random);
    m_timing.holding += boundary(m_random);
    m_timing.cooling += boundary(m_random);
    m_timing.opening += boundary(m_random);
    m_timing.switchOver = m_timing.holding;

    m_fault = fault;
    if (fault.kind == ShotFault::Kind::LateSwitchOver)
        m_timing.switchOver = m_timing.holding + fault.start;
    else if (fault.kind == ShotFault::Kind::EarlyOpening)
        m_timing.opening -= fault.start;
}

ShotCurve::Sample ShotCurve::sample(double timeMs, double cycleMs)
{
    if (cycleMs <= 0.0) {
        cycleMs = defaultCycleMs;
        timeMs = std::fmod(timeMs, cycleMs);
    }
    const double fraction = std::clamp(timeMs / cycleMs - m_trigger, 0.0, 1.0);
    const ShotFault& fault = m_fault;
    const bool inFaultWindow = fraction >= fault.start && fraction < fault.start + fault.length;
    Sample values{};
    for (int k = 0; k < numSensors; ++k) {
        const bool hit = fault.affects(k);
        double breathing = 1.0;
        double overpack = 0.0;
        if (hit && (fault.kind == ShotFault::Kind::OverBreathing ||
                    fault.kind == ShotFault::Kind::ShortShot))
            breathing = fault.size;
        else if (hit && fault.kind == ShotFault::Kind::LateSwitchOver)
            overpack = fault.size;
        const double base = closedGap(k);
        // Deviations of this shot act on the movement above the closed gap only.
        const double movement =
            (shape(k, fraction, m_timing, breathing, overpack) - base) * m_scale[k];
        double value = base + m_shift[k] + movement + m_noise(m_random);
        if (hit && inFaultWindow && fault.kind == ShotFault::Kind::CoolingBump) {
            const double s = std::sin(pi * (fraction - fault.start) / fault.length);
            value += fault.size * s * s;
        }
        if (hit && inFaultWindow && fault.kind == ShotFault::Kind::SensorZero)
            value = 0.0;
        values[k] = std::max(0.0, value);
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
    return shape(sensor, fraction, Timing(), 1.0, 0.0);
}

double ShotCurve::shape(int sensor, double fraction, const Timing& t, double breathing,
                        double overpack)
{
    sensor = std::clamp(sensor, 0, numSensors - 1);
    const double f = std::clamp(fraction, 0.0, 1.0);
    const double open = openGap(sensor);
    const double closed = closedGap(sensor);
    const double lift = injectionLift[sensor] * breathing;
    const double shrink = shrinkage[sensor];
    // Holding pressure eases the lift to 60 %; cooling takes it down to the shrunk part.
    const double heldLift = 0.6 * lift;
    const double peak = lift * (1.0 + overpack);

    if (f < t.injection)
        return open + (closed - open) * ease(f / t.injection);
    if (f < t.holding)
        return closed + lift * ease((f - t.injection) / (t.holding - t.injection));
    if (f < t.switchOver)
        return closed + lift + (peak - lift) * ease((f - t.holding) / (t.switchOver - t.holding));
    if (f < t.cooling)
        return closed + peak -
               (peak - heldLift) * ease((f - t.switchOver) / (t.cooling - t.switchOver));
    if (f < t.opening) {
        const double x = (f - t.cooling) / (t.opening - t.cooling);
        // Exponential settling from the held lift to minus the shrinkage.
        const double settle = (1.0 - std::exp(-4.0 * x)) / (1.0 - std::exp(-4.0));
        return closed + heldLift - (heldLift + shrink) * settle;
    }
    return closed - shrink + (open - closed + shrink) * ease((f - t.opening) / (1.0 - t.opening));
}
