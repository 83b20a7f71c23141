#include "view/EvaluationCells.h"

#include "model/Model.h"
#include "widgets/NumberStyle.h"

#include <QBrush>
#include <QRadioButton>
#include <QTableWidget>

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

int checkedSensor(QRadioButton* const* buttons, int count)
{
    for (int s = 0; s < count; ++s) {
        if (buttons[s]->isChecked())
            return s;
    }
    return 0;
}

} // namespace EvaluationCells
