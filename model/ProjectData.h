#pragma once

#include <QString>

#include <array>

class QDebug;

// The project header with its process parameters, markers and phase names. A plain value.
struct ProjectData
{
    static constexpr int numMarkers = 4;
    static constexpr int numPhases = 5;

    QString name;
    QString number;
    QString user;
    QString date;
    QString customer;
    int closingForce = 0;
    double injectionTime = 0.0;
    double pressTime = 0.0;
    int pressure = 0;
    std::array<int, numMarkers> markers{};
    std::array<QString, numPhases> phaseNames;

    void clear();
    // Compares the five texts and the four process parameters; markers and phase names
    // are not part of the header's identity.
    bool operator==(const ProjectData& other) const;
    bool operator!=(const ProjectData& other) const { return !(*this == other); }
    QString toString() const;
};

QDebug operator<<(QDebug debug, const ProjectData& data);
