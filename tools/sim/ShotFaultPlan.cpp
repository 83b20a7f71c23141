#include "tools/sim/ShotFaultPlan.h"

#include "tools/sim/ShotCurve.h"

#include <algorithm>

namespace {

constexpr int allSensors = (1 << ShotCurve::numSensors) - 1;

} // namespace

ShotFaultPlan::ShotFaultPlan(double rate, const QVector<ShotFault::Kind>& kinds, quint32 seed)
    : m_random(seed)
    , m_rate(std::clamp(rate, 0.0, 1.0))
    , m_kinds(kinds.isEmpty() ? ShotFault::allKinds() : kinds)
{
}

ShotFault ShotFaultPlan::next(bool allowFault)
{
    // Drawn for every shot, so that forced good shots do not shift the set after them.
    const bool faulty = std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < m_rate;
    if (!allowFault || !faulty)
        return ShotFault();
    if (m_bag.isEmpty()) {
        m_bag = m_kinds;
        std::shuffle(m_bag.begin(), m_bag.end(), m_random);
    }
    return draw(m_bag.takeLast());
}

ShotFault ShotFaultPlan::draw(ShotFault::Kind kind)
{
    const auto uniform = [this](double from, double to) {
        return std::uniform_real_distribution<double>(from, to)(m_random);
    };
    std::uniform_int_distribution<int> anySensor(0, ShotCurve::numSensors - 1);
    ShotFault fault;
    fault.kind = kind;
    fault.sensors = allSensors;
    // The sizes keep well clear of a good shot's spread (see ShotCurve): several times its
    // value spread, or several times its time spread.
    switch (kind) {
    case ShotFault::Kind::None:
        fault.sensors = 0;
        break;
    case ShotFault::Kind::OverBreathing: {
        const int first = anySensor(m_random);
        fault.sensors = 1 << first;
        if (uniform(0.0, 1.0) < 0.5) {
            const int second = (first + std::uniform_int_distribution<int>(
                                            1, ShotCurve::numSensors - 1)(m_random)) %
                               ShotCurve::numSensors;
            fault.sensors |= 1 << second;
        }
        fault.size = uniform(1.5, 2.0);
        break;
    }
    case ShotFault::Kind::ShortShot:
        fault.size = uniform(0.3, 0.5);
        break;
    case ShotFault::Kind::LateSwitchOver:
        fault.start = uniform(0.05, 0.08);
        fault.size = uniform(0.4, 0.6);
        break;
    case ShotFault::Kind::EarlyOpening:
        fault.start = uniform(0.05, 0.10);
        break;
    case ShotFault::Kind::CoolingBump:
        fault.size = uniform(50.0, 100.0);
        fault.length = uniform(0.08, 0.15);
        fault.start =
            uniform(ShotCurve::coolingStart + 0.02, ShotCurve::openingStart - 0.02 - fault.length);
        break;
    case ShotFault::Kind::SensorZero:
        fault.sensors = 1 << anySensor(m_random);
        fault.length = uniform(0.08, 0.25);
        fault.start = uniform(0.05, 0.95 - fault.length);
        break;
    }
    return fault;
}
