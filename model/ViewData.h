#pragma once

#include <QString>

#include <array>

class QDebug;

// View settings that travel with the project. A plain value.
struct ViewData
{
    static constexpr int numSensors = 5;

    bool checkBoxMarkerAbsolute = false;
    std::array<double, numSensors> osziMinValues{};
    std::array<double, numSensors> osziMaxValues{};

    QString toString() const;
};

QDebug operator<<(QDebug debug, const ViewData& data);
