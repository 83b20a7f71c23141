#pragma once

#include "analysis/Spc.h"
#include "model/SpcSettings.h"

#include <QString>
#include <QVector>
#include <QWidget>

#include <array>
#include <functional>

class ControlChart;
class Model;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// The SPC page: one per-shot value at a time on an individuals chart and a moving-range
// chart with their limits from a base range of shots, the capability indices against the
// tolerance limits (USL, LSL), the run rules and the list of their violations. The values come from
// the evaluation tab (the same computations as its pages); the settings are the project's,
// and what the user changes goes out as settingsChanged for the controller to keep.
class TabEvaluationSpc : public QWidget
{
    Q_OBJECT

public:
    struct Choice
    {
        QString key;
        QString name;
    };
    using ValueSource = std::function<QVector<double>(const QString& key)>;

    explicit TabEvaluationSpc(QWidget* parent = nullptr);

    void setModel(Model* model);
    void setChoices(const QVector<Choice>& choices, ValueSource source);
    // Takes the chosen value anew and shows it (the pages' markers or thresholds changed).
    void refresh();

    QString currentKey() const;
    const Spc::Result& result() const { return m_result; }
    ControlChart* individualsChart() const { return m_individuals; }
    ControlChart* movingRangeChart() const { return m_movingRange; }

signals:
    void settingsChanged(const SpcSettings& settings);
    // The user clicked the point of this shot (0-based).
    void shotSelected(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void showSettings();
    void emitSettings();
    void showResult(const QVector<double>& values);
    static QString number(double value);

    Model* m_model = nullptr;
    QVector<Choice> m_choices;
    ValueSource m_source;
    SpcSettings m_shown;
    Spc::Result m_result;

    QComboBox* m_value = nullptr;
    QLineEdit* m_base = nullptr;
    QLineEdit* m_usl = nullptr;
    QLineEdit* m_lsl = nullptr;
    std::array<QCheckBox*, Spc::numRules> m_rules{};
    QLabel* m_labelValue = nullptr;
    QLabel* m_labelBase = nullptr;
    QLabel* m_labelUsl = nullptr;
    QLabel* m_labelLsl = nullptr;
    QLabel* m_labelRules = nullptr;
    QLabel* m_figures = nullptr;
    QLabel* m_problem = nullptr;
    ControlChart* m_individuals = nullptr;
    ControlChart* m_movingRange = nullptr;
    QTableWidget* m_violations = nullptr;
};
