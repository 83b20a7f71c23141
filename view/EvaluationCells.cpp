#include "view/EvaluationCells.h"

#include "analysis/Verdict.h"
#include "model/Model.h"
#include "app/NumberStyle.h"
#include "widgets/OsziWidget.h"

#include <QBrush>
#include <QCoreApplication>
#include <QRadioButton>
#include <QTableWidget>

#include <cmath>

namespace EvaluationCells {

QString number(double value)
{
    return NumberStyle::general(value);
}

void setCell(QTableWidget* table, int row, int column, const QString& text, bool invalid)
{
    QTableWidgetItem* item = table->item(row, column);
    if (!item) {
        if (text.isEmpty())
            return;
        item = new QTableWidgetItem(text);
        if (invalid)
            item->setBackground(Qt::red);
        table->setItem(row, column, item);
        return;
    }
    item->setText(text);
    item->setData(Qt::BackgroundRole, invalid ? QVariant(QBrush(Qt::red)) : QVariant());
}

QString shotNumber(int index)
{
    return QString::number(index + 1);
}

double sensorBound(const Model& model, int sensor, bool maximum)
{
    const SensorDescription& d = model.sensorDescription();
    if (d.numSensorGroups() < 1 || sensor >= d.sensorGroup(0).numSensors())
        return 0.0;
    return maximum ? d.sensorGroup(0).sensorMaximum(sensor)
                   : d.sensorGroup(0).sensorMinimum(sensor);
}

QString sensorUnit(const Model& model, int sensor)
{
    const SensorDescription& d = model.sensorDescription();
    if (d.numSensorGroups() < 1 || sensor < 0 || sensor >= d.sensorGroup(0).numSensors())
        return QString();
    return d.sensorGroup(0).sensorUnit(sensor);
}

QString violationText(const Verdict& verdict, const Model& model)
{
    return verdict.violationText(sensorUnit(model, verdict.sensor));
}

void setVerdictCell(QTableWidget* table, int row, int column, const Verdict* verdict,
                    const Model& model)
{
    QTableWidgetItem* item = table->item(row, column);
    if (!item) {
        if (!verdict)
            return;
        item = new QTableWidgetItem;
        table->setItem(row, column, item);
    }
    const bool nok = verdict && !verdict->isOk();
    item->setText(verdict ? verdict->verdictText() : QString());
    item->setData(Qt::ForegroundRole, nok ? QVariant(QBrush(Qt::red)) : QVariant());
    item->setData(Qt::ToolTipRole, nok ? violationText(*verdict, model) : QVariant());
}

const Verdict* verdictAt(const QVector<Verdict>& verdicts, int shot)
{
    return shot >= 0 && shot < verdicts.size() ? &verdicts.at(shot) : nullptr;
}

QColor shotColor(const QVector<Verdict>& verdicts, int shot)
{
    const Verdict* v = verdictAt(verdicts, shot);
    return v && !v->isOk() ? QColor(Qt::red) : QColor(Qt::black);
}

void recolorShots(OsziWidget* plot, const QVector<Verdict>& verdicts)
{
    for (int i = 0; i < OsziWidget::numCurves && plot->curve(i); ++i)
        plot->setCurve(i, plot->curve(i), shotColor(verdicts, i));
}

int checkedSensor(QRadioButton* const* buttons, int count)
{
    for (int s = 0; s < count; ++s) {
        if (buttons[s]->isChecked())
            return s;
    }
    return 0;
}

} // namespace EvaluationCells
