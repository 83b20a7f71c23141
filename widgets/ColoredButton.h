#pragma once

#include <QPushButton>

// A flat push button filled with one colour.
class ColoredButton : public QPushButton
{
    Q_OBJECT

public:
    explicit ColoredButton(QWidget* parent = nullptr);
    explicit ColoredButton(const QString& text, QWidget* parent = nullptr);

public slots:
    void setColor(const QColor& color);
};
