#pragma once

#include <QString>

class QAbstractSpinBox;
class QFontMetrics;

// Spin boxes wide enough to show every value of their range whole. The style's up and down
// buttons sit at both ends of the box, so the room for the text is what they leave.
namespace SpinBoxFit {

// The longest text the box shows: that of its minimum or of its maximum, with prefix and
// suffix.
QString widestText(const QAbstractSpinBox* box);
// Pixels the text field needs for text, with the cursor and the field's own margins.
int textFieldWidth(const QFontMetrics& metrics, const QString& text);
// Sets the box's minimum width so that its text field holds widestText. Call again after
// the range, decimals, prefix or suffix changed.
void fitToRange(QAbstractSpinBox* box);
// The width of the box's text field when the box is width pixels wide.
int textFieldWidthAt(const QAbstractSpinBox* box, int width);

} // namespace SpinBoxFit
