#include "widgets/SpinBoxFit.h"

#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>

namespace SpinBoxFit {

namespace {

// The text field's own frame and text margins, as QLineEdit lays out its text.
constexpr int fieldMargins = 2 * 2 + 2;
// The cursor behind the last digit.
constexpr int cursorWidth = 2;

QStringList endTexts(const QAbstractSpinBox* box)
{
    if (const auto* d = qobject_cast<const QDoubleSpinBox*>(box))
        return {d->prefix() + d->textFromValue(d->minimum()) + d->suffix(),
                d->prefix() + d->textFromValue(d->maximum()) + d->suffix()};
    if (const auto* i = qobject_cast<const QSpinBox*>(box)) {
        // As QSpinBox writes its value (its own textFromValue is not public).
        const auto text = [i](int v) {
            QString t = i->locale().toString(v);
            if (!i->isGroupSeparatorShown())
                t.remove(i->locale().groupSeparator());
            return i->prefix() + t + i->suffix();
        };
        return {text(i->minimum()), text(i->maximum())};
    }
    return {box->text()};
}

} // namespace

QString widestText(const QAbstractSpinBox* box)
{
    const QFontMetrics metrics(box->font());
    QString widest;
    for (const QString& text : endTexts(box)) {
        if (metrics.horizontalAdvance(text) > metrics.horizontalAdvance(widest))
            widest = text;
    }
    return widest;
}

int textFieldWidth(const QFontMetrics& metrics, const QString& text)
{
    return metrics.horizontalAdvance(text) + cursorWidth + fieldMargins;
}

int textFieldWidthAt(const QAbstractSpinBox* box, int width)
{
    QStyleOptionSpinBox option;
    option.initFrom(box);
    option.rect = QRect(0, 0, width, qMax(box->height(), box->minimumSizeHint().height()));
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField |
                         QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.buttonSymbols = box->buttonSymbols();
    option.frame = box->hasFrame();
    return box->style()
        ->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, box)
        .width();
}

void fitToRange(QAbstractSpinBox* box)
{
    box->ensurePolished();
    const int needed = textFieldWidth(QFontMetrics(box->font()), widestText(box));
    // What the buttons, border and padding take does not depend on the width.
    const int probe = 400;
    const int chrome = probe - textFieldWidthAt(box, probe);
    box->setMinimumWidth(qMax(needed + chrome, box->minimumSizeHint().width()));
}

} // namespace SpinBoxFit
