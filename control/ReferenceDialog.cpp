#include "control/ReferenceDialog.h"

#include "control/DialogStyle.h"
#include "widgets/SensorNumbers.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Tolerances far beyond any sensor's range are typing errors, not settings.
constexpr double maxValueTolerance = 1.0e6;
constexpr double maxTimeMs = 60000.0;

QDoubleSpinBox* toleranceBox(double value, int decimals, double maximum, const QString& suffix,
                             const QString& objectName, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(objectName);
    box->setDecimals(decimals);
    box->setRange(0.0, maximum);
    box->setValue(value);
    box->setSuffix(suffix);
    box->setMinimumWidth(160);
    return box;
}

} // namespace

ReferenceDialog::ReferenceDialog(const ReferenceSettings& settings,
                                 const std::array<Sensor, 5>& sensors, const QString& taughtText,
                                 QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("referenceDialog"));
    setWindowTitle(tr("Referenz-Einstellungen"));
    setStyleSheet(dialogButtonStyle());
    auto* layout = new QVBoxLayout(this);
    auto* taught = new QLabel(tr("Eingelernt aus den Messungen %1").arg(taughtText), this);
    taught->setObjectName(QStringLiteral("referenceTaughtLabel"));
    taught->setWordWrap(true);
    layout->addWidget(taught);

    auto* band = new QGroupBox(tr("Band erweitern"), this);
    auto* form = new QFormLayout(band);
    for (int k = 0; k < ReferenceSettings::numSensors; ++k) {
        const Sensor& sensor = sensors[static_cast<size_t>(k)];
        if (!sensor.taught)
            continue;
        // One decimal finer than a reading, so that a tolerance can be set below one digit.
        const int decimals = SensorNumbers::readoutDecimals(sensor.unit) + 1;
        QDoubleSpinBox* box = toleranceBox(
            settings.valueTolerance[static_cast<size_t>(k)], decimals, maxValueTolerance,
            sensor.unit.isEmpty() ? QString() : QLatin1Char(' ') + sensor.unit,
            QStringLiteral("valueToleranceBox%1").arg(k + 1), band);
        m_valueBoxes[static_cast<size_t>(k)] = box;
        const QString name = sensor.name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(sensor.name);
        form->addRow(tr("Sensor %1%2:").arg(k + 1).arg(name), box);
    }
    m_timeBox = toleranceBox(settings.timeToleranceMs, 1, maxTimeMs, QStringLiteral(" ms"),
                             QStringLiteral("timeToleranceBox"), band);
    form->addRow(tr("Zeit früher oder später:"), m_timeBox);
    m_durationBox = toleranceBox(settings.minDurationMs, 1, maxTimeMs, QStringLiteral(" ms"),
                                 QStringLiteral("minDurationBox"), band);
    form->addRow(tr("Mindestdauer außerhalb:"), m_durationBox);
    layout->addWidget(band);

    auto* part = new QGroupBox(tr("Überwachter Teil der Messung"), this);
    auto* partLayout = new QVBoxLayout(part);
    auto* whole = new QRadioButton(tr("ganze Messung"), part);
    whole->setObjectName(QStringLiteral("wholeShotButton"));
    auto* between = new QRadioButton(tr("zwischen Markern"), part);
    between->setObjectName(QStringLiteral("betweenMarkersButton"));
    m_part = new QButtonGroup(this);
    m_part->addButton(whole, static_cast<int>(ReferenceSettings::Part::WholeShot));
    m_part->addButton(between, static_cast<int>(ReferenceSettings::Part::BetweenMarkers));
    (settings.part == ReferenceSettings::Part::WholeShot ? whole : between)->setChecked(true);
    m_fromMarker = new QComboBox(part);
    m_fromMarker->setObjectName(QStringLiteral("fromMarkerBox"));
    m_toMarker = new QComboBox(part);
    m_toMarker->setObjectName(QStringLiteral("toMarkerBox"));
    for (int i = 1; i <= 4; ++i) {
        m_fromMarker->addItem(tr("Marker %1").arg(i));
        m_toMarker->addItem(tr("Marker %1").arg(i));
    }
    m_fromMarker->setCurrentIndex(settings.fromMarker);
    m_toMarker->setCurrentIndex(settings.toMarker);
    auto* markers = new QHBoxLayout;
    markers->addWidget(between);
    markers->addWidget(m_fromMarker);
    markers->addWidget(new QLabel(tr("bis"), part));
    markers->addWidget(m_toMarker);
    markers->addStretch();
    partLayout->addWidget(whole);
    partLayout->addLayout(markers);
    const auto enableMarkers = [this, between] {
        m_fromMarker->setEnabled(between->isChecked());
        m_toMarker->setEnabled(between->isChecked());
    };
    connect(between, &QRadioButton::toggled, this, enableMarkers);
    enableMarkers();
    layout->addWidget(part);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Abbrechen"));
    QPushButton* clear = buttons->addButton(tr("Referenz löschen"), QDialogButtonBox::DestructiveRole);
    clear->setObjectName(QStringLiteral("referenceClearButton"));
    connect(clear, &QPushButton::clicked, this, [this] {
        m_clear = true;
        accept();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

namespace {

// The box's value when the user changed it; otherwise the setting as it was, which the box
// may show rounded.
double edited(const QDoubleSpinBox* box, double original)
{
    const double shown = QString::number(original, 'f', box->decimals()).toDouble();
    return box->value() == shown ? original : box->value();
}

} // namespace

ReferenceSettings ReferenceDialog::settings() const
{
    ReferenceSettings result = m_settings;
    for (size_t k = 0; k < m_valueBoxes.size(); ++k) {
        if (m_valueBoxes[k])
            result.valueTolerance[k] = edited(m_valueBoxes[k], m_settings.valueTolerance[k]);
    }
    result.timeToleranceMs = edited(m_timeBox, m_settings.timeToleranceMs);
    result.minDurationMs = edited(m_durationBox, m_settings.minDurationMs);
    result.part = static_cast<ReferenceSettings::Part>(m_part->checkedId());
    // Markers chosen the wrong way round mean the same part.
    result.fromMarker = std::min(m_fromMarker->currentIndex(), m_toMarker->currentIndex());
    result.toMarker = std::max(m_fromMarker->currentIndex(), m_toMarker->currentIndex());
    return result;
}
