#include "view/TabEvaluationSpc.h"

#include "analysis/SpcValues.h"
#include "app/Constants.h"
#include "app/NumberStyle.h"
#include "model/Model.h"
#include "widgets/ControlChart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The text of a limit box as a limit, with a decimal comma or point; empty is none, and so
// is text that is no number.
std::optional<double> limitOf(const QLineEdit* edit)
{
    QString text = edit->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace

TabEvaluationSpc::TabEvaluationSpc(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tabEvaluationSpc"));
    auto* layout = new QVBoxLayout(this);
    auto* settings = new QGridLayout;
    m_labelValue = new QLabel(this);
    m_value = new QComboBox(this);
    m_value->setObjectName(QStringLiteral("spcValueBox"));
    m_labelBase = new QLabel(this);
    m_base = new QLineEdit(this);
    m_base->setObjectName(QStringLiteral("spcBaseEdit"));
    m_base->setPlaceholderText(QStringLiteral("1-50"));
    m_labelUsl = new QLabel(this);
    m_usl = new QLineEdit(this);
    m_usl->setObjectName(QStringLiteral("spcUslEdit"));
    m_labelLsl = new QLabel(this);
    m_lsl = new QLineEdit(this);
    m_lsl->setObjectName(QStringLiteral("spcLslEdit"));
    settings->addWidget(m_labelValue, 0, 0);
    settings->addWidget(m_value, 0, 1);
    settings->addWidget(m_labelBase, 0, 2);
    settings->addWidget(m_base, 0, 3);
    settings->addWidget(m_labelUsl, 0, 4);
    settings->addWidget(m_usl, 0, 5);
    settings->addWidget(m_labelLsl, 0, 6);
    settings->addWidget(m_lsl, 0, 7);
    auto* rules = new QHBoxLayout;
    m_labelRules = new QLabel(this);
    rules->addWidget(m_labelRules);
    for (int k = 0; k < Spc::numRules; ++k) {
        m_rules[static_cast<size_t>(k)] = new QCheckBox(QString::number(k + 1), this);
        m_rules[static_cast<size_t>(k)]->setObjectName(QStringLiteral("spcRule%1").arg(k + 1));
        rules->addWidget(m_rules[static_cast<size_t>(k)]);
    }
    rules->addStretch();
    settings->addLayout(rules, 1, 0, 1, 8);
    layout->addLayout(settings);

    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("spcFiguresLabel"));
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("spcProblemLabel"));
    m_problem->setStyleSheet(styleProblemText);
    layout->addWidget(m_figures);
    layout->addWidget(m_problem);

    auto* charts = new QHBoxLayout;
    auto* chartColumn = new QVBoxLayout;
    m_individuals = new ControlChart(this);
    m_individuals->setObjectName(QStringLiteral("spcIndividualsChart"));
    m_movingRange = new ControlChart(this);
    m_movingRange->setObjectName(QStringLiteral("spcMovingRangeChart"));
    chartColumn->addWidget(m_individuals, 3);
    chartColumn->addWidget(m_movingRange, 2);
    charts->addLayout(chartColumn, 4);
    m_violations = new QTableWidget(0, 3, this);
    m_violations->setObjectName(QStringLiteral("spcViolationsTable"));
    m_violations->verticalHeader()->hide();
    m_violations->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_violations->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_violations->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_violations->setMinimumWidth(220);
    charts->addWidget(m_violations, 1);
    layout->addLayout(charts, 1);

    connect(m_value, qOverload<int>(&QComboBox::activated), this, &TabEvaluationSpc::emitSettings);
    for (QLineEdit* edit : {m_base, m_usl, m_lsl})
        connect(edit, &QLineEdit::editingFinished, this, &TabEvaluationSpc::emitSettings);
    for (QCheckBox* box : m_rules)
        connect(box, &QCheckBox::clicked, this, &TabEvaluationSpc::emitSettings);
    for (ControlChart* chart : {m_individuals, m_movingRange})
        connect(chart, &ControlChart::pointClicked, this, [this](int index) {
            m_individuals->setSelected(index);
            m_movingRange->setSelected(index);
            emit shotSelected(index);
        });
    connect(m_violations, &QTableWidget::cellClicked, this, [this](int row, int) {
        const QTableWidgetItem* item = m_violations->item(row, 0);
        if (item)
            emit shotSelected(item->data(Qt::UserRole).toInt());
    });
    retranslate();
}

void TabEvaluationSpc::setModel(Model* model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    connect(model, &Model::projectChanged, this, [this] {
        if (m_model->spcSettings() != m_shown && isVisible())
            refresh();
    });
}

void TabEvaluationSpc::setChoices(const QVector<Choice>& choices, ValueSource source)
{
    m_choices = choices;
    m_source = std::move(source);
    const QString key = currentKey();
    m_value->clear();
    for (const Choice& choice : choices)
        m_value->addItem(choice.name, choice.key);
    const int index = m_value->findData(key);
    m_value->setCurrentIndex(index >= 0 ? index : 0);
}

QString TabEvaluationSpc::currentKey() const
{
    return m_value->currentData().toString();
}

void TabEvaluationSpc::showSettings()
{
    m_shown = m_model ? m_model->spcSettings() : SpcSettings();
    const int index = m_value->findData(m_shown.value);
    if (index >= 0)
        m_value->setCurrentIndex(index);
    m_base->setText(m_shown.base);
    const SpcSettings::Limits limits = m_shown.limits.value(currentKey());
    m_usl->setText(limits.usl ? number(*limits.usl) : QString());
    m_lsl->setText(limits.lsl ? number(*limits.lsl) : QString());
    for (int k = 0; k < Spc::numRules; ++k)
        m_rules[static_cast<size_t>(k)]->setChecked(m_shown.rules[static_cast<size_t>(k)]);
}

void TabEvaluationSpc::emitSettings()
{
    SpcSettings settings = m_model ? m_model->spcSettings() : SpcSettings();
    const QString before = settings.value.isEmpty() ? m_choices.value(0).key : settings.value;
    settings.value = currentKey();
    settings.base = m_base->text().trimmed();
    for (int k = 0; k < Spc::numRules; ++k)
        settings.rules[static_cast<size_t>(k)] = m_rules[static_cast<size_t>(k)]->isChecked();
    // The limit boxes belong to the value they were shown for; a new value brings its own.
    if (before == settings.value) {
        SpcSettings::Limits limits{limitOf(m_usl), limitOf(m_lsl)};
        if (limits.usl || limits.lsl)
            settings.limits.insert(settings.value, limits);
        else
            settings.limits.remove(settings.value);
    }
    if (m_model && settings != m_model->spcSettings())
        emit settingsChanged(settings);
    else
        refresh();
}

void TabEvaluationSpc::refresh()
{
    showSettings();
    showResult(m_source && !currentKey().isEmpty() ? m_source(currentKey()) : QVector<double>());
}

void TabEvaluationSpc::showResult(const QVector<double>& values)
{
    bool baseUnreadable = false;
    const Spc::Options options =
        SpcValues::options(m_shown, currentKey(), values.size(), &baseUnreadable);
    m_problem->clear();
    if (baseUnreadable)
        m_problem->setText(tr("Basis „%1“: bitte einen Bereich wie „1-50“ angeben; es gelten "
                              "alle Messungen.")
                               .arg(m_shown.base));
    m_result = Spc::compute(values, options);
    const QVector<QString> marks = SpcValues::markTexts(m_result, values.size());
    m_violations->setRowCount(0);
    int rows = 0;
    for (int k = 0; k < Spc::numRules; ++k)
        rows += m_result.marks[static_cast<size_t>(k)].size();
    m_violations->setRowCount(rows);
    int row = 0;
    for (int k = 0; k < Spc::numRules; ++k) {
        for (const int i : m_result.marks[static_cast<size_t>(k)]) {
            auto* shot = new QTableWidgetItem(QString::number(i + 1));
            shot->setData(Qt::UserRole, i);
            m_violations->setItem(row, 0, shot);
            m_violations->setItem(row, 1, new QTableWidgetItem(QString::number(k + 1)));
            m_violations->setItem(row, 2, new QTableWidgetItem(number(values.value(i))));
            ++row;
        }
    }
    m_violations->sortItems(0);
    m_individuals->setSeries(values, marks);
    m_movingRange->setSeries(m_result.movingRanges, QVector<QString>());
    if (!m_result.ok) {
        if (!values.isEmpty())
            m_problem->setText(m_result.error);
        const double none = std::nan("");
        m_individuals->setLimits(none, none, none);
        m_movingRange->setLimits(none, none, none);
        m_figures->setText(QString());
        return;
    }
    m_individuals->setLimits(m_result.mean, m_result.ucl, m_result.lcl);
    m_movingRange->setLimits(m_result.mrMean, m_result.mrUcl, 0.0);
    const auto index = [](const std::optional<double>& v) {
        return v ? NumberStyle::fixed(*v, 3) : QStringLiteral("-");
    };
    m_figures->setText(tr("n = %1   x̄ = %2   σ innerhalb = %3   σ gesamt = %4   OEG = %5   "
                          "UEG = %6      Cp %7   Cpk %8   Pp %9   Ppk %10")
                           .arg(m_result.n)
                           .arg(number(m_result.mean), number(m_result.sigmaWithin),
                                number(m_result.sigmaOverall), number(m_result.ucl),
                                number(m_result.lcl), index(m_result.cp), index(m_result.cpk),
                                index(m_result.pp))
                           .arg(index(m_result.ppk)));
}

QString TabEvaluationSpc::number(double value)
{
    // In the language's decimal mark, as the other pages; the limit boxes read either mark.
    return std::isfinite(value) ? NumberStyle::general(value) : QString();
}

void TabEvaluationSpc::retranslate()
{
    m_labelValue->setText(tr("Wert:"));
    m_labelBase->setText(tr("Basis:"));
    m_labelUsl->setText(tr("OSG:"));
    m_labelLsl->setText(tr("USG:"));
    m_labelRules->setText(tr("Regeln:"));
    m_individuals->setTitle(tr("Einzelwerte"));
    m_movingRange->setTitle(tr("Gleitende Spannweite"));
    m_violations->setHorizontalHeaderLabels({tr("Messung"), tr("Regel"), tr("Wert")});
}

void TabEvaluationSpc::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
