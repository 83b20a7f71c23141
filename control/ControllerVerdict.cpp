// The quality verdict: teaching the reference, its settings, and showing the verdicts.
#include "control/Controller.h"

#include "analysis/ReferenceBand.h"
#include "app/Logging.h"
#include "control/ReferenceDialog.h"
#include "control/VerdictMonitor.h"
#include "model/ShotRangeText.h"
#include "view/EvaluationCells.h"
#include "view/TabOszilloscope.h"
#include "view/View.h"
#include "widgets/VerdictLamp.h"

#include <QMessageBox>

#include <algorithm>

void Controller::setUpVerdicts()
{
    verdictMonitor = new VerdictMonitor(model, this);
    connect(verdictMonitor, &VerdictMonitor::verdictsChanged, this, &Controller::showVerdicts);
    connect(verdictMonitor, &VerdictMonitor::liveShotJudged, this, [this] {
        showVerdictLamp();
        // At once, before the pages redraw their plots for the new verdicts: the lamp is what
        // the user at the machine watches.
        view->verdictLamp()->repaint();
    });
    TabOszilloscope* tabOszi = view->tabOszi();
    connect(tabOszi, &TabOszilloscope::teachReference, this,
            &Controller::onTabOszi_teachReference);
    connect(tabOszi, &TabOszilloscope::referenceSettingsRequested, this,
            &Controller::onTabOszi_referenceSettings);
    showVerdicts();
}

void Controller::showVerdicts()
{
    view->showVerdicts(verdictMonitor->verdicts());
    QString status;
    switch (verdictMonitor->state()) {
    case VerdictMonitor::State::NoReference:
        status = tr("Keine Referenz eingelernt");
        break;
    case VerdictMonitor::State::Unusable:
        status = verdictMonitor->problem();
        break;
    case VerdictMonitor::State::Active: {
        const QVector<Verdict>& verdicts = verdictMonitor->verdicts();
        const auto nok = std::count_if(verdicts.cbegin(), verdicts.cend(),
                                       [](const Verdict& v) { return !v.isOk(); });
        status = tr("Referenz aus Messungen %1: %2 OK, %3 NOK")
                     .arg(ShotRangeText::shotNumbersText(model->reference()->taughtShots))
                     .arg(verdicts.size() - nok)
                     .arg(nok);
        break;
    }
    }
    view->tabOszi()->setReferenceStatus(status,
                                        verdictMonitor->state() == VerdictMonitor::State::Unusable);
    showVerdictLamp();
}

void Controller::showVerdictLamp()
{
    VerdictLamp* lamp = view->verdictLamp();
    const std::optional<Verdict>& last = verdictMonitor->lastLiveVerdict();
    VerdictLamp::State state = VerdictLamp::State::None;
    if (verdictMonitor->state() == VerdictMonitor::State::Active && last)
        state = last->isOk() ? VerdictLamp::State::Ok : VerdictLamp::State::Nok;
    lamp->setVerdict(state, verdictMonitor->sessionOk(), verdictMonitor->sessionNok());
    QString tip;
    if (verdictMonitor->state() != VerdictMonitor::State::Active)
        tip = verdictMonitor->state() == VerdictMonitor::State::NoReference
                  ? tr("Keine Referenz eingelernt")
                  : verdictMonitor->problem();
    else if (last)
        tip = last->isOk() ? tr("Letzte Messung: OK") : EvaluationCells::violationText(*last, *model);
    lamp->setToolTip(tip);
}

void Controller::startVerdictSession()
{
    verdictMonitor->startSession();
    showVerdictLamp();
}

void Controller::teachFailure(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, tr("Referenz einlernen"), text, QMessageBox::Ok, view);
    box.setObjectName(QStringLiteral("teachFailureBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void Controller::onTabOszi_teachReference(const QString& rangeText)
{
    if (deferShotCommand([=] { onTabOszi_teachReference(rangeText); }))
        return;
    VTRACE();
    const int shotCount = model->numChannels(0);
    const ShotRangeText::ShotRanges ranges = ShotRangeText::parseShotRanges(rangeText);
    if (ranges.syntaxError || ranges.parts.isEmpty()) {
        teachFailure(tr("„%1“ ist keine Liste von Messungen wie „1-50“ oder „1-20,25“.")
                         .arg(rangeText));
        return;
    }
    QVector<int> numbers = ShotRangeText::shotNumbers(ranges, shotCount);
    // The shot being recorded is not complete yet.
    if (recordingRunning)
        numbers.removeAll(currentSeries[0] + 1);
    QVector<ShotSamples> shots;
    shots.reserve(numbers.size());
    for (const int n : numbers)
        shots.append(ShotJudge::shotOf(*model, n - 1));
    ReferenceBand::TeachResult taught = ReferenceBand::teach(shots, model->clock());
    if (!taught.ok) {
        teachFailure(taught.error);
        return;
    }
    qCInfo(lcControl).noquote() << "reference taught from shots"
                                << ShotRangeText::shotNumbersText(numbers);
    model->setReference(taught.band.toData(numbers));
    verdictMonitor->refresh();
    startVerdictSession();
}

void Controller::onTabOszi_referenceSettings()
{
    if (deferShotCommand([this] { onTabOszi_referenceSettings(); }))
        return;
    VTRACE();
    if (!model->reference()) {
        teachFailure(tr("Es ist noch keine Referenz eingelernt."));
        return;
    }
    const ReferenceData data = *model->reference();
    std::optional<ReferenceBand> band = ReferenceBand::fromData(data);
    if (!band) {
        teachFailure(tr("Die gespeicherte Referenz ist unbrauchbar. Bitte neu einlernen."));
        return;
    }
    std::array<ReferenceDialog::Sensor, 5> sensors;
    const SensorDescription& description = model->sensorDescription();
    for (int k = 0; k < Model::numSensors; ++k) {
        ReferenceDialog::Sensor& sensor = sensors[static_cast<size_t>(k)];
        sensor.name = model->sensorName(k);
        if (description.numSensorGroups() > 0)
            sensor.unit = description.sensorGroup(0).sensorUnit(k);
        sensor.taught = band->sensor(k).length() > 0;
    }
    ReferenceDialog dialog(band->settings(), sensors,
                           ShotRangeText::shotNumbersText(data.taughtShots), view);
    const quint64 generation = dataGeneration;
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Lines went on while the dialog was open; a reference replaced meanwhile is not ours.
    if (generation != dataGeneration || !model->reference() || *model->reference() != data)
        return;
    if (dialog.clearRequested()) {
        model->clearReference();
    } else {
        band->setSettings(dialog.settings());
        model->setReference(band->toData(data.taughtShots));
    }
    verdictMonitor->refresh();
}
