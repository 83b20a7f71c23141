#pragma once

#include <QString>
#include <QVector>

class Model;
class OsziWidget;
class QColor;
class QRadioButton;
class QTableWidget;
struct Verdict;

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

// The unit of a sensor in group 0; empty when there is no such sensor.
QString sensorUnit(const Model& model, int sensor);

// A NOK verdict's first violation as a user reads it: what went wrong, the sensor (counted
// from 1), the phase, the time and, where known, the deviation in the sensor's unit.
QString violationText(const Verdict& verdict, const Model& model);

// A shot's verdict cell: "OK", or "NOK" in red with the violation as its tooltip; empty
// without a verdict. Reuses the cell's item like setCell.
void setVerdictCell(QTableWidget* table, int row, int column, const Verdict* verdict,
                    const Model& model);

// The verdict of the shot at index; null when the vector does not reach it.
const Verdict* verdictAt(const QVector<Verdict>& verdicts, int shot);
// How a page draws a shot among all others: NOK red, the rest black.
QColor shotColor(const QVector<Verdict>& verdicts, int shot);
// Gives the curves a plot holds their shots' colours, keeping their sample lists.
void recolorShots(OsziWidget* plot, const QVector<Verdict>& verdicts);

// The index of the first checked of count sensor buttons; 0 when none is.
int checkedSensor(QRadioButton* const* buttons, int count);

} // namespace EvaluationCells
