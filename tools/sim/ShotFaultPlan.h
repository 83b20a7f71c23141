#pragma once

#include "tools/sim/ShotFault.h"

#include <QVector>
#include <QtGlobal>

#include <random>

// Decides for shot after shot whether it carries a fault, which one and how large, from a
// seed of its own: the same seed gives the same labelled set. Faulty shots take the kinds
// in turns drawn from a shuffled bag, so a set holds each kind about equally often.
class ShotFaultPlan
{
public:
    // rate: share of faulty shots, 0 to 1. No kinds: every kind.
    ShotFaultPlan(double rate, const QVector<ShotFault::Kind>& kinds, quint32 seed);

    bool isActive() const { return m_rate > 0.0; }
    // The next shot's fault (kind None for a good shot); allowFault false forces a good one.
    ShotFault next(bool allowFault = true);
    // A fault of kind with sizes drawn from its range.
    ShotFault draw(ShotFault::Kind kind);

private:
    std::mt19937 m_random;
    double m_rate;
    QVector<ShotFault::Kind> m_kinds;
    QVector<ShotFault::Kind> m_bag;
};
