#pragma once

#include "analysis/ReferenceSettings.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QLabel;

// The settings of the taught reference: how far the band is widened (value per sensor, time)
// and how long a shot must stay outside, and which part of the shot is judged. Shows and
// returns plain values; the controller applies them.
class ReferenceDialog : public QDialog
{
    Q_OBJECT

public:
    struct Sensor
    {
        QString name;
        QString unit;
        // A sensor the band holds nothing for is not judged; its tolerance is not offered.
        bool taught = false;
    };

    ReferenceDialog(const ReferenceSettings& settings, const std::array<Sensor, 5>& sensors,
                    const QString& taughtText, QWidget* parent = nullptr);

    ReferenceSettings settings() const;
    // The user asked to remove the reference.
    bool clearRequested() const { return m_clear; }

private:
    std::array<QDoubleSpinBox*, ReferenceSettings::numSensors> m_valueBoxes{};
    QDoubleSpinBox* m_timeBox = nullptr;
    QDoubleSpinBox* m_durationBox = nullptr;
    QButtonGroup* m_part = nullptr;
    QComboBox* m_fromMarker = nullptr;
    QComboBox* m_toMarker = nullptr;
    ReferenceSettings m_settings;
    bool m_clear = false;
};
