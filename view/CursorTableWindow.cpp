#include "view/CursorTableWindow.h"

#include "app/Logging.h"
#include "model/Model.h"
#include "view/ExportFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

#include <limits>

namespace {

// A drag or a new shot shows within a frame; samples streaming into a live shot change
// its row only, which can wait a little longer.
const int frameMs = 16;
const int liveSamplesMs = 500;

} // namespace

CursorTableWindow::CursorTableWindow(Model* model, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_model(model)
{
    setObjectName(QStringLiteral("cursorTableWindow"));
    m_sensorLabel = new QLabel(this);
    m_sensorBox = new QComboBox(this);
    m_sensorBox->setObjectName(QStringLiteral("cursorSensorComboBox"));
    m_quantityLabel = new QLabel(this);
    m_quantityBox = new QComboBox(this);
    m_quantityBox->setObjectName(QStringLiteral("cursorQuantityComboBox"));
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("cursorHintLabel"));
    m_hint->setWordWrap(true);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("cursorTableView"));
    m_view->setModel(&m_table);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_copyButton = new QPushButton(this);
    m_copyButton->setObjectName(QStringLiteral("cursorCopyButton"));
    m_csvButton = new QPushButton(this);
    m_csvButton->setObjectName(QStringLiteral("cursorCsvButton"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(m_sensorLabel);
    choices->addWidget(m_sensorBox, 1);
    choices->addWidget(m_quantityLabel);
    choices->addWidget(m_quantityBox, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_copyButton);
    buttons->addWidget(m_csvButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_hint);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    resize(460, 560);

    retranslate();
    fillChoices();

    m_refresh.setSingleShot(true);
    connect(&m_refresh, &QTimer::timeout, this, &CursorTableWindow::recompute);
    connect(m_sensorBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { schedule(0); });
    connect(m_quantityBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { schedule(0); });
    connect(m_copyButton, &QPushButton::clicked, this, &CursorTableWindow::copyToClipboard);
    connect(m_csvButton, &QPushButton::clicked, this, &CursorTableWindow::exportCsv);
    if (m_model) {
        connect(m_model, &Model::dataChanged, this, &CursorTableWindow::onModelDataChanged);
        // Offsets, sample period, sensor names and units.
        connect(m_model, &Model::projectChanged, this, [this] {
            fillChoices();
            schedule(frameMs);
        });
        m_revision = m_model->dataRevision();
    }
    recompute();
}

void CursorTableWindow::setCursors(std::optional<std::pair<double, double>> cursors)
{
    if (cursors == m_cursors)
        return;
    m_cursors = cursors;
    schedule(frameMs);
}

void CursorTableWindow::schedule(int delayMs)
{
    // Shots or cursors that change while the window is hidden are taken up when it shows.
    if (!isVisible())
        return;
    if (m_refresh.isActive() && m_refresh.remainingTime() <= delayMs)
        return;
    m_refresh.start(delayMs);
}

void CursorTableWindow::onModelDataChanged()
{
    if (!m_model)
        return;
    const bool shotsChanged = m_model->dataRevision() != m_revision;
    m_revision = m_model->dataRevision();
    schedule(shotsChanged ? frameMs : liveSamplesMs);
}

void CursorTableWindow::recompute()
{
    m_refresh.stop();
    const int sensor = qMax(0, m_sensorBox->currentIndex());
    const auto q = static_cast<CursorMath::Quantity>(qMax(0, m_quantityBox->currentIndex()));
    const QString unit =
        m_model && m_model->sensorDescription().numSensorGroups() > 0 &&
                sensor < m_model->sensorDescription().sensorGroup(0).numSensors()
            ? m_model->sensorDescription().sensorGroup(0).sensorUnit(sensor)
            : QString();
    const QString title = unit.isEmpty() ? CursorMath::name(q)
                                         : CursorMath::name(q) + QStringLiteral(" [") +
                                               CursorMath::unit(q, unit) + QLatin1Char(']');
    QVector<double> values;
    if (m_model && m_cursors) {
        values = CursorMath::perShot(*m_model, sensor, q, m_cursors->first, m_cursors->second);
    } else if (m_model) {
        // Without cursors the shots are listed, each without a value.
        values.fill(std::numeric_limits<double>::quiet_NaN(), m_model->numChannels(sensor));
    }
    m_hint->setVisible(!m_cursors);
    if (!m_shownShots) {
        m_table.setValues(values, title);
        return;
    }
    QVector<double> shown;
    QVector<int> shots;
    for (const int shot : *m_shownShots) {
        if (shot >= 0 && shot < values.size()) {
            shown.append(values.at(shot));
            shots.append(shot);
        }
    }
    m_table.setValues(shown, title, shots);
}

void CursorTableWindow::setShownShots(const std::optional<QVector<int>>& shots)
{
    if (shots == m_shownShots)
        return;
    m_shownShots = shots;
    schedule(0);
}

void CursorTableWindow::fillChoices()
{
    const int sensor = m_sensorBox->currentIndex();
    const int quantity = m_quantityBox->currentIndex();
    {
        const QSignalBlocker blocker(m_sensorBox);
        m_sensorBox->clear();
        for (int s = 0; s < Model::numSensors; ++s) {
            const QString name = m_model ? m_model->sensorName(s) : QString();
            m_sensorBox->addItem(name.isEmpty() ? tr("Sensor %1").arg(s + 1)
                                                : tr("Sensor %1: %2").arg(s + 1).arg(name));
        }
        m_sensorBox->setCurrentIndex(qMax(0, sensor));
    }
    const QSignalBlocker blocker(m_quantityBox);
    m_quantityBox->clear();
    for (int q = 0; q < CursorMath::numQuantities; ++q)
        m_quantityBox->addItem(CursorMath::name(static_cast<CursorMath::Quantity>(q)));
    m_quantityBox->setCurrentIndex(qMax(0, quantity));
}

void CursorTableWindow::retranslate()
{
    setWindowTitle(tr("Cursor-Tabelle"));
    m_sensorLabel->setText(tr("Sensor:"));
    m_quantityLabel->setText(tr("Größe:"));
    m_hint->setText(tr("Die Cursor A/B sind ausgeschaltet: auf der Oszilloskop-Seite "
                       "einschalten."));
    m_copyButton->setText(tr("Kopieren"));
    m_csvButton->setText(tr("CSV exportieren..."));
}

void CursorTableWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    recompute();
}

void CursorTableWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        fillChoices();
        recompute();
    }
    QWidget::changeEvent(event);
}

void CursorTableWindow::copyToClipboard()
{
    recompute();
    QApplication::clipboard()->setText(m_table.toText());
}

bool CursorTableWindow::writeCsv(const QString& path) const
{
    // Written aside and renamed at the end: a failed export leaves an earlier file whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray bytes = m_table.toCsv().toUtf8();
    return file.write(bytes) == bytes.size() && file.commit();
}

void CursorTableWindow::exportCsv()
{
    const QString chosen = QFileDialog::getSaveFileName(
        this, tr("CSV exportieren"), QString(),
        tr("CSV - Comma separated values") + QStringLiteral(" (*.csv)"));
    if (chosen.isEmpty())
        return;
    const QString fileName = ExportFiles::withSuffix(chosen, QStringLiteral(".csv"));
    recompute();
    if (writeCsv(fileName))
        return;
    qCWarning(lcView) << "cursor table not written to" << fileName;
    QMessageBox box(QMessageBox::Warning, tr("Speichern fehlgeschlagen"),
                    tr("Die Cursor-Tabelle konnte nicht in die Datei %1 gespeichert werden.")
                        .arg(QDir::toNativeSeparators(fileName)),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("cursorCsvFailureBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
