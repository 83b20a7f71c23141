#pragma once

#include <QColor>
#include <QFrame>
#include <QString>
#include <QTimer>

// Common interface of the displays of one live value. The shown value is always
// value + offset. Range updates whose minimum is not below the maximum are ignored.
class AbstractAnalogWidget : public QFrame
{
    Q_OBJECT

public:
    // Values arrive up to once per millisecond; their repaints are gathered over this many
    // milliseconds, which is still faster than the eye follows.
    static constexpr int valueRepaintInterval = 40;

    explicit AbstractAnalogWidget(QWidget* parent = nullptr);

    virtual void setColor(const QColor& color) = 0;
    virtual void setName(const QString& name) = 0;
    virtual double rangeMin() const { return m_rangeMin; }
    virtual double rangeMax() const { return m_rangeMax; }
    virtual double offset() const { return m_offset; }
    virtual QString unit() const { return m_unit; }
    virtual void setShowScale(bool show) = 0;
    virtual void setGrid(double grid) = 0;

public slots:
    virtual void setRangeMin(double min);
    virtual void setRangeMax(double max);
    virtual void setRange(double min, double max);
    virtual void setValue(double val);
    virtual double value() const { return m_value; }
    virtual void setUnit(const QString& u);
    virtual void setOffset(double o);

protected:
    // The same checks as the slots, without a repaint; true when the range changed.
    bool storeRangeMin(double min);
    bool storeRangeMax(double max);
    bool storeRange(double min, double max);
    void storeValue(double val) { m_value = val; }
    void storeUnit(const QString& u) { m_unit = u; }
    void storeOffset(double o) { m_offset = o; }
    // A repaint for a new value or offset, requested at most once per valueRepaintInterval.
    void requestValueRepaint();

private:
    double m_rangeMin = 0.0;
    double m_rangeMax = 1.0;
    double m_value = 0.0;
    double m_offset = 0.0;
    QString m_unit;
    QTimer m_valueRepaint;
};
