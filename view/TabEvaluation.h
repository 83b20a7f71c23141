#pragma once

#include "analysis/Verdict.h"

#include <QVector>
#include <QWidget>

#include <memory>
#include <optional>
#include <utility>

class Model;
class TabEvaluationDashBoard;
class TabEvaluationRuntime;
class TabEvaluationSingleShot;
class TabEvaluationSpc;
class TabEvaluationValues;

namespace Ui {
class TabEvaluation;
}

// The evaluation tab: the dashboard and the four detail pages (overlay, runtime, values, SPC)
// in a stack, paged with previous and next. It refreshes the pages together, hands the
// dashboard copies of the detail pages' chart data and the SPC page the per-shot values the
// other pages compute, with their markers and thresholds.
class TabEvaluation : public QWidget
{
    Q_OBJECT

public:
    explicit TabEvaluation(QWidget* parent = nullptr);
    ~TabEvaluation() override;

    void setModel(Model* m);
    // verdicts[i] judges shot i (shown as shot i + 1); shots beyond the vector have none,
    // an empty vector means no verdicts at all. Refreshes only what shows verdicts: the
    // pages' statistics are not computed again.
    void setVerdicts(const QVector<Verdict>& verdicts);
    int currentPage() const;
    TabEvaluationDashBoard* dashBoard() const;
    TabEvaluationSingleShot* singleShotPage() const;
    TabEvaluationRuntime* runtimePage() const;
    TabEvaluationValues* valuesPage() const;
    TabEvaluationSpc* spcPage() const;
    void showSpcPage();
    // The oscilloscope's cursors A and B in ms, or none: their quantities become SPC values.
    void setCursors(const std::optional<std::pair<double, double>>& cursors);

signals:
    // The user picked a shot (0-based) on the SPC page, to be shown on the other pages.
    void shotSelected(int index);

public slots:
    void update();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void nextStackClicked();
    void prevStackClicked();
    void onOverlayPressed();
    void onRuntimePressed();
    void onValuesPressed();
    // Copies the detail pages' chart data and ranges into the dashboard.
    void updateDashBoard();
    void onModel_dataAboutToChange();

private:
    static constexpr int numSensors = 5;

    void setSpcChoices();
    void refreshSpcIfShown();
    QVector<double> spcValues(const QString& key) const;

    std::unique_ptr<Ui::TabEvaluation> ui;
    Model* model = nullptr;
    QVector<Verdict> m_verdicts;
    std::optional<std::pair<double, double>> m_cursors;
};
