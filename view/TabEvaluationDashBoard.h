#pragma once

#include <QWidget>

#include <memory>

class BoxWhiskersWidget;
class DialDegreesItem;
class DialLabelItem;
class DialNeedleItem;
class DialValuesItem;
class DialWidget;
class Model;
class QLabel;

namespace Ui {
class TabEvaluationDashBoard;
}

// The evaluation at a glance: the number of shots on a round gauge, the runtime charts and
// the five sensors' maximum charts, each with a "Detail" button. Its charts are filled by the
// evaluation tab with copies of the detail pages' data; the dashboard computes no statistics.
class TabEvaluationDashBoard : public QWidget
{
    Q_OBJECT

public:
    static constexpr int numSensors = 5;

    explicit TabEvaluationDashBoard(QWidget* parent = nullptr);
    ~TabEvaluationDashBoard() override;

    // The smallest power of ten that is at least shots, never below 10.
    static int scaleMaximum(int shots);

    void setModel(Model* m) { model = m; }
    // The project's OK and NOK shots; both 0 when no shot has a verdict.
    void setVerdictCounts(int ok, int nok);
    // 0 start, 1 duration, 2 stop.
    BoxWhiskersWidget* runtimeChart(int index) const;
    BoxWhiskersWidget* valuesChart(int sensor) const;
    QLabel* valuesCaption(int sensor) const;
    DialWidget* gauge() const;
    DialNeedleItem* needle() const { return m_needle; }
    DialDegreesItem* degreeScale() const { return m_degrees; }
    DialValuesItem* valueScale() const { return m_values; }

signals:
    void overlayPressed();
    void runtimePressed();
    void valuesPressed();
    void spcPressed();

public slots:
    void update();

protected:
    void changeEvent(QEvent* event) override;

private:
    void showVerdictCounts();

    std::unique_ptr<Ui::TabEvaluationDashBoard> ui;
    Model* model = nullptr;
    DialNeedleItem* m_needle = nullptr;
    DialDegreesItem* m_degrees = nullptr;
    DialValuesItem* m_values = nullptr;
    DialLabelItem* m_caption = nullptr;
    int m_okCount = 0;
    int m_nokCount = 0;
};
