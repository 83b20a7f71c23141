#include "widgets/ColoredButton.h"

ColoredButton::ColoredButton(QWidget* parent)
    : ColoredButton(QString(), parent)
{
}

ColoredButton::ColoredButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setFlat(true);
    setAutoFillBackground(true);
}

void ColoredButton::setColor(const QColor& color)
{
    setStyleSheet(QStringLiteral("ColoredButton { background: ") + color.name() +
                  QStringLiteral("; }"));
}
