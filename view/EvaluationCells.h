#pragma once

#include <QString>

class Model;
class QRadioButton;
class QTableWidget;

// What the runtime and values pages share to fill their tables.
namespace EvaluationCells {

// A number as the tables and chart labels show it: 'g' with six digits, in the page's one
// number style.
QString number(double value);
// The number a user reads and types for the shot at index: shots count from 1.
QString shotNumber(int index);

// Sets a cell's text, red when invalid. The cell's item is reused, so that a refresh of a
// long table creates no items; an empty text creates none either.
void setCell(QTableWidget* table, int row, int column, const QString& text, bool invalid = false);

// The lower or upper end of a sensor's range in group 0; 0 when there is no such sensor.
double sensorBound(const Model& model, int sensor, bool maximum);

// The index of the first checked of count sensor buttons; 0 when none is.
int checkedSensor(QRadioButton* const* buttons, int count);

} // namespace EvaluationCells
