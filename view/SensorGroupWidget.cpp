#include "view/SensorGroupWidget.h"

#include "ui_SensorGroupWidget.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "widgets/analog/AnalogSensorWidget.h"

#include <cstdlib>

namespace {

const char* const indexError = "ERROR: index >= numSensors() !!";
const char* const nameIndexError = "ERROR: index >= numSens !!";

} // namespace

SensorGroupWidget::SensorGroupWidget(AnalogSensorWidgetType type, QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::SensorGroupWidget>())
    , m_type(type)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QStringLiteral("SensorGroupWidget {") +
                  QStringLiteral("  background-color: white;") +
                  QStringLiteral("  border: 0px solid ") + colorGrayAAA + QStringLiteral(";") +
                  QStringLiteral("  border-radius: 1px;") + QStringLiteral("}"));
    ui->labelGroupName->setStyleSheet(
        QStringLiteral("QLabel {") + QStringLiteral("  background-color: ") + colorWhite +
        QStringLiteral(";") + QStringLiteral("  color: ") + colorPrimary + QStringLiteral(";") +
        QStringLiteral("  font: bold 24px;") + QStringLiteral("}"));
}

SensorGroupWidget::~SensorGroupWidget() = default;

bool SensorGroupWidget::checkIndex(int index, const char* signature, const char* error) const
{
    if (index >= 0 && index < m_sensorWidgets.size())
        return true;
    qCWarning(lcView).noquote() << signature << error;
    return false;
}

void SensorGroupWidget::setSensorGroup(const SensorGroup& group)
{
    VTRACE();
    m_sensorGroup = group;
    rebuildWidgets();
}

void SensorGroupWidget::setGroupName(const QString& name)
{
    ui->labelGroupName->setText(tr("Gruppe: ") + name);
}

QString SensorGroupWidget::groupName() const
{
    return ui->labelGroupName->text();
}

void SensorGroupWidget::setNumSensors(int num)
{
    VTRACE();
    if (num == m_sensorWidgets.size()) {
        qCDebug(lcView) << "number of sensors not changed. ok. -> return";
        return;
    }
    rebuildWidgets();
}

void SensorGroupWidget::setWidgetType(AnalogSensorWidgetType type)
{
    VTRACE();
    // Remembered too, so that a later rebuild creates the chosen kind.
    m_type = type;
    for (AnalogSensorWidget* widget : qAsConst(m_sensorWidgets))
        widget->setWidgetType(type);
}

void SensorGroupWidget::SetSensorColor(int index, const QColor& color)
{
    if (checkIndex(index, Q_FUNC_INFO, nameIndexError))
        m_sensorWidgets.at(index)->setColor(color);
}

void SensorGroupWidget::setSensorName(int index, const QString& name)
{
    if (checkIndex(index, Q_FUNC_INFO, nameIndexError))
        m_sensorWidgets.at(index)->setName(QStringLiteral("Sensor ") + QString::number(index) +
                                           QStringLiteral(":\n") + name);
}

double SensorGroupWidget::sensorValue(int index) const
{
    return checkIndex(index, Q_FUNC_INFO, indexError) ? m_sensorWidgets.at(index)->value() : 0.0;
}

void SensorGroupWidget::setSensorValue(int index, double value)
{
    if (checkIndex(index, Q_FUNC_INFO, indexError))
        m_sensorWidgets.at(index)->setValue(value);
}

void SensorGroupWidget::setSensorOffset(int index, double offset)
{
    if (checkIndex(index, Q_FUNC_INFO, indexError))
        m_sensorWidgets.at(index)->setOffset(offset);
}

void SensorGroupWidget::setSensorRange(int index, double min, double max)
{
    if (checkIndex(index, Q_FUNC_INFO, indexError))
        m_sensorWidgets.at(index)->setRange(min, max);
}

void SensorGroupWidget::rebuildWidgets()
{
    VTRACE();
    if (!m_sensorGroup) {
        qCDebug(lcView) << "no sensor group to show!";
        return;
    }
    const SensorGroup& group = *m_sensorGroup;
    setGroupName(group.name());
    qDeleteAll(m_sensorWidgets);
    m_sensorWidgets.clear();
    m_sensorIndices.clear();
    for (int s = 0; s < group.numSensors(); ++s) {
        if (!group.isSensorActive(s))
            continue;
        if (m_type != AnalogSensorWidgetType::Linear && m_type != AnalogSensorWidgetType::Round) {
            // Only a value cast from outside the two known ones gets here.
            qCCritical(lcView) << "ERROR: sensor type unknown!!!";
            std::exit(-1);
        }
        auto* widget = new AnalogSensorWidget(this, m_type);
        widget->setShowScale(true);
        qCDebug(lcView).noquote() << "sensor: "
                                  << "[name=" + group.sensorName(s)
                                  << " type=" + group.sensorType(s)
                                  << " unit=" + group.sensorUnit(s) << "]";
        widget->setMaximumRange(-100000, 100000);
        widget->setMaximumRange(group.sensorMinimum(s), group.sensorMaximum(s));
        widget->setName(group.sensorName(s));
        widget->setUnit(group.sensorUnit(s));
        // Sensors beyond the five default colours have none; they keep the display's own.
        if (group.sensorColor(s).isValid())
            widget->setColor(group.sensorColor(s));
        m_sensorWidgets.append(widget);
        m_sensorIndices.append(s);
        ui->layoutSensors->addWidget(widget);
    }
}
