#include "view/SensorGroupWidget.h"

#include "ui_SensorGroupWidget.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "widgets/analog/AnalogSensorWidget.h"
#include "widgets/analog/AnalogSettingsWidget.h"

#include <QEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QResizeEvent>

#include <cstdlib>

namespace {

const char* const indexError = "ERROR: index >= numSensors() !!";
const char* const nameIndexError = "ERROR: index >= numSens !!";
const int cellSpacing = 8;

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
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ui->layoutSensors->setHorizontalSpacing(cellSpacing);
    ui->layoutSensors->setVerticalSpacing(cellSpacing);
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
    m_groupName = name;
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
    // A dial wants other room than a bar.
    arrange(true);
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
    }
    arrange(true);
}

SensorGrid::Cell SensorGroupWidget::measureCell()
{
    SensorGrid::Cell cell;
    cell.spacing = cellSpacing;
    if (m_sensorWidgets.isEmpty())
        return cell;
    AnalogSensorWidget* probe = m_sensorWidgets.first();
    // Sizes as the style sheet makes them, with a display just swapped in taken into account.
    probe->ensurePolished();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    AnalogSettingsWidget* panel = probe->settings();
    const PanelLayout shown = panel->panelLayout();
    for (size_t p = 0; p < cell.minimum.size(); ++p) {
        panel->setPanelLayout(static_cast<PanelLayout>(p));
        probe->layout()->invalidate();
        cell.minimum[p] = probe->minimumSizeHint();
    }
    panel->setPanelLayout(shown);
    const AbstractAnalogWidget* display = probe->display();
    cell.displayMinimum = display->minimumSizeHint().expandedTo(display->minimumSize());
    const QMargins margins = probe->layout()->contentsMargins();
    cell.sideMargins = margins.left() + margins.right();
    cell.square = probe->widgetType() == AnalogSensorWidgetType::Round;
    return cell;
}

QSize SensorGroupWidget::cellArea(const QSize& size) const
{
    const QMargins m = ui->verticalLayout->contentsMargins();
    const int title = ui->labelGroupName->sizeHint().height() + ui->verticalLayout->spacing();
    return QSize(size.width() - m.left() - m.right(), size.height() - m.top() - m.bottom() - title);
}

QSize SensorGroupWidget::minimumSizeHint() const
{
    const QMargins m = ui->verticalLayout->contentsMargins();
    const int title = ui->labelGroupName->sizeHint().height() + ui->verticalLayout->spacing();
    const QSize cells =
        m_sensorWidgets.isEmpty()
            ? QSize()
            : SensorGrid::minimumArea(m_sensorWidgets.size(),
                                      SensorGrid::compact(m_sensorWidgets.size()), m_cell);
    return QSize(qMax(cells.width(), ui->labelGroupName->minimumSizeHint().width()) + m.left() +
                     m.right(),
                 cells.height() + title + m.top() + m.bottom());
}

void SensorGroupWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void SensorGroupWidget::arrange(bool force)
{
    const int count = m_sensorWidgets.size();
    if (force)
        m_cell = measureCell();
    const SensorGrid::Arrangement next = count > 0
                                             ? SensorGrid::choose(count, cellArea(size()), m_cell)
                                             : SensorGrid::compact(count);
    if (!force && next == m_arrangement)
        return;
    m_arrangement = next;
    QGridLayout* grid = ui->layoutSensors;
    for (AnalogSensorWidget* widget : qAsConst(m_sensorWidgets))
        grid->removeWidget(widget);
    for (int i = 0; i < grid->columnCount(); ++i)
        grid->setColumnStretch(i, 0);
    for (int i = 0; i < grid->rowCount(); ++i)
        grid->setRowStretch(i, 0);
    const int columns = qMax(1, next.columns);
    for (int i = 0; i < count; ++i) {
        AnalogSensorWidget* widget = m_sensorWidgets.at(i);
        widget->settings()->setPanelLayout(next.panel);
        grid->addWidget(widget, i / columns, i % columns);
    }
    // Equal cells, so that every display gets the room the choice counted on.
    for (int c = 0; c < columns; ++c)
        grid->setColumnStretch(c, 1);
    for (int r = 0; r < SensorGrid::rows(count, columns); ++r)
        grid->setRowStretch(r, 1);
    updateGeometry();
}

void SensorGroupWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        const QString shown = ui->labelGroupName->text();
        ui->retranslateUi(this);
        ui->labelGroupName->setText(shown.isEmpty() ? shown : tr("Gruppe: ") + m_groupName);
    }
    QWidget::changeEvent(event);
}
