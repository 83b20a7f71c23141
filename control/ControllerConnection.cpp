// The controller's connection life cycle, the device's lines and the live values.
#include "control/Controller.h"

#include "app/Logging.h"
#include "control/DeviceProtocol.h"
#include "control/IPAddressDialog.h"
#include "control/IntegrationDialog.h"
#include "control/ShotJournal.h"
#include "control/VerdictMonitor.h"
#include "device/DeviceAddress.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "ui_IPAddressDialog.h"
#include "view/TabOszilloscope.h"
#include "view/TabSensors.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QMessageBox>

#include <utility>

void Controller::onActionConnect()
{
    // A held press does what the button showed when it was pressed; while the link is
    // restored the button shows "Trennen".
    const bool disconnect = connector->isConnected() || reconnecting;
    if (deferWhileFileBusy([this, disconnect] { connectOrDisconnect(disconnect); }))
        return;
    connectOrDisconnect(disconnect);
}

void Controller::connectOrDisconnect(bool disconnect)
{
    VTRACE();
    if (disconnect && reconnecting) {
        qCDebug(lcControl) << "reconnecting -> stop the retries";
        // Aborted while still reconnecting, so that an attempt's end is not taken for a loss.
        connector->abort();
        giveUpReconnecting();
        saveAfterRecording();
        return;
    }
    if (disconnect != connector->isConnected()) {
        qCDebug(lcControl) << "the connection changed since the command was given; nothing to do";
        return;
    }
    if (disconnect) {
        qCDebug(lcControl) << " isConnected -> disconnect!";
        connector->sendRunStop();
        saveAfterRecording();
        view->setRecordingRunning(false);
        connector->disconnectFromHost();
    } else {
        qCDebug(lcControl) << " not connected -> connect!";
        linkRestoredByRetry = false;
        showProgress(tr("Verbinden ..."));
        connector->connect(deviceHost());
    }
}

void Controller::onConnected()
{
    VTRACE();
    closeProgress();
    const bool restored = reconnecting;
    if (restored) {
        stopReconnecting();
        linkRestoredByRetry = true;
    } else {
        // The lamp counts the shots of a connection; a restored link goes on with its run.
        startVerdictSession();
    }
    droppedValueLines = 0;
    // Nothing heard yet counts from the connection.
    sinceLastValueLine.start();
    timerStaleValues.start();
    model->setConnected(true);
    emit model->appStateChanged();
    if (restored) {
        // The device may have restarted with its own default; the project's period holds.
        connector->setSampleRate(QStringLiteral("%1ms").arg(model->clock()));
    } else {
        connector->setSampleRate(QStringLiteral("100ms"));
        model->setClock(100);
    }
    qCDebug(lcControl) << "starting DeviceDescription timer";
    timerWaitForDeviceDescription.start(500);
    connector->requestDeviceDescription();
    qCDebug(lcControl) << "starting SensorDescription timer";
    timerWaitForSensorDescription.start(700);
    connector->requestSensorDescription();
    if (!restored)
        return;
    if (std::exchange(resumeRecordingAfterLoss, false)) {
        // The device's next "run=1" opens the next shot, as after "Start".
        qCDebug(lcControl) << "link restored during a recording -> run=1";
        connector->sendRunStart();
    }
    emit linkRestored(linkLostAt, QDateTime::currentDateTime());
}

void Controller::onDisconnected()
{
    VTRACE();
    // The loss was taken already; an attempt aborted by the retries tells nothing new.
    if (reconnecting)
        return;
    const bool lost = model->isConnected() && connector->droppedByPeer();
    // A "Start" the device has not answered yet counts too: otherwise a loss right after the
    // press would drop it unseen, and a production device would record the shift without us.
    // A "Stop" counts as soon as it is pressed: the shot the device has not ended yet does
    // not bring the recording back.
    const bool startUnanswered = connector->recordingRequested() && deviceShotsSinceStart == 0;
    const bool wasRecording =
        (recordingRunning && !stopPressedInShot) || isProductionRecording() || startUnanswered;
    endLink();
    if (lost)
        startReconnecting(wasRecording);
}

void Controller::endLink()
{
    // A shot cannot go on without its device: what was recorded stays, the next "Start"
    // (or the restored link's "run=1") starts a new one.
    recordingRunning = false;
    timerStaleValues.stop();
    showValuesLive();
    closeCurrentShot();
    // A shot cut off by the link is judged and kept as it stands.
    finishJournalShot();
    emit recordingEnded();
    // A list reply cut off by the link is not taken for lines of the next connection.
    inList = false;
    listBuffer.clear();
    timerWaitForDeviceDescription.stop();
    timerWaitForSensorDescription.stop();
    model->setConnected(false);
    emit model->appStateChanged();
}

void Controller::startReconnecting(bool resumeRecording)
{
    VTRACE();
    reconnecting = true;
    reconnectAttemptPending = false;
    resumeRecordingAfterLoss = resumeRecording;
    reconnectHost = connector->host();
    linkLostAt = QDateTime::currentDateTime();
    sinceLinkLost.start();
    reconnectSchedule.reset();
    qCInfo(lcControl).noquote() << "link to" << reconnectHost << "lost; trying again";
    timerReconnect.start(reconnectSchedule.nextDelayMs());
    timerReconnectNote.start();
    view->setReconnecting(true, 0);
    emit linkLost(linkLostAt);
}

void Controller::giveUpReconnecting()
{
    resumeRecordingAfterLoss = false;
    stopReconnecting();
    // The recording ends here, so its gap does too: it can be filled once connected again.
    closeRecordingGaps(QDateTime::currentDateTime());
}

void Controller::stopReconnecting()
{
    reconnecting = false;
    reconnectAttemptPending = false;
    timerReconnect.stop();
    timerReconnectNote.stop();
    view->setReconnecting(false);
}

void Controller::onTimerReconnect_timeout()
{
    if (!reconnecting)
        return;
    if (reconnectAttemptPending) {
        qCDebug(lcControl) << "reconnect attempt unanswered; given up";
        connector->abort();
        reconnectAttemptFailed();
        return;
    }
    reconnectAttemptPending = true;
    // Started before the attempt: a failure reported at once replaces it with the delay.
    timerReconnect.start(ReconnectSchedule::attemptTimeoutMs);
    qCDebug(lcControl).noquote() << "reconnect attempt" << reconnectSchedule.attempts() << "to"
                                 << reconnectHost;
    connector->connect(reconnectHost);
}

void Controller::reconnectAttemptFailed()
{
    reconnectAttemptPending = false;
    timerReconnect.start(reconnectSchedule.nextDelayMs());
}

void Controller::onTimerWaitForDeviceDescription_timeout()
{
    VTRACE();
}

void Controller::onTimerWaitForSensorDescription_timeout()
{
    VTRACE();
    // A device that does not describe its sensors is the five-sensor distance device that
    // reports micrometres.
    setDefaultSensors5Keyence();
    valuesInThousandths = true;
}

void Controller::setDefaultSensors5Keyence()
{
    VTRACE();
    SensorDescription& description = model->sensorDescription();
    description.setNumSensorGroups(1);
    SensorGroup& group = description.sensorGroup(0);
    group.setName(QStringLiteral("Keyence"));
    group.setNumSensors(5);
    for (int i = 0; i < 5; ++i) {
        group.setSensorName(i, QStringLiteral("Sensor %1").arg(i + 1));
        group.setSensorType(i, QStringLiteral("Keyence Distance"));
        group.setSensorUnit(i, QStringLiteral("mm"));
        group.setSensorMinimum(i, 0.0);
        group.setSensorMaximum(i, 12.0);
        group.setSensorActive(i, true);
    }
    emit model->projectChanged();
}

void Controller::onMessageReceived(const QString& msg)
{
    if (msg.isEmpty())
        return;
    // Lines that arrive while a project is being opened belong to that project: they wait,
    // in order, until it is in place and the lines before them are handled.
    if (holdingLines) {
        if (heldLines.size() < heldLineLimit)
            heldLines.push_back(msg);
        else
            ++heldLinesDropped;
        return;
    }
    handleMessage(msg);
}

void Controller::replayHeldLines()
{
    // A line may open a dialog whose event loop lets this run again; the first call goes on.
    if (replayingHeldLines)
        return;
    replayingHeldLines = true;
    while (!heldLines.empty() && !model->isFileBusy()) {
        const QString line = std::move(heldLines.front());
        heldLines.pop_front();
        handleMessage(line);
    }
    replayingHeldLines = false;
    if (!heldLines.empty())
        return; // another open started; the rest waits for it
    holdingLines = false;
    if (heldLinesDropped > 0) {
        qCWarning(lcControl) << "ERROR:" << heldLinesDropped << "device lines beyond the"
                             << heldLineLimit << "held during the open were dropped";
        heldLinesDropped = 0;
    }
}

void Controller::handleMessage(const QString& msg)
{
    switch (DeviceProtocol::classify(msg, inList)) {
    case DeviceProtocol::Kind::Values:
        handleValueMessage(msg);
        break;
    case DeviceProtocol::Kind::RunStarted:
        qCDebug(lcControl) << "received 'run=1'";
        ++deviceShotsSinceStart;
        startShot();
        break;
    case DeviceProtocol::Kind::RunStopped:
        recordingRunning = false;
        finishJournalShot();
        // A device that records every cycle after one Start keeps the button at Stop
        // between its shots, so that the recording can be stopped there too.
        view->setRecordingRunning(isProductionRecording());
        emit recordingEnded();
        break;
    case DeviceProtocol::Kind::SamplePeriod: {
        QString error;
        if (const std::optional<int> clock = DeviceProtocol::parseSamplePeriod(msg, &error)) {
            qCDebug(lcControl) << "clockString=" << *clock;
            model->setClock(*clock);
            view->tabOszi()->setClock(*clock, 100 * *clock);
        } else {
            qCWarning(lcControl).noquote() << error;
        }
        break;
    }
    case DeviceProtocol::Kind::DeviceDescription:
        timerWaitForDeviceDescription.stop();
        handleDeviceDescription(msg);
        break;
    case DeviceProtocol::Kind::SensorDescription:
        timerWaitForSensorDescription.stop();
        handleSensorDescription(msg);
        break;
    case DeviceProtocol::Kind::ListBegin:
        // A reply that never ended leaves nothing behind for the next one.
        listBuffer.clear();
        listTruncated = false;
        inList = true;
        break;
    case DeviceProtocol::Kind::ListEnd: {
        const QStringList names = std::exchange(listBuffer, QStringList());
        inList = false;
        emit blackBoxDateListReceived(names);
        showBlackBoxDateList(names);
        break;
    }
    case DeviceProtocol::Kind::ListEntry: {
        const QString name = DeviceProtocol::listEntry(msg);
        if (name.isEmpty())
            break;
        if (listBuffer.size() < maxListEntries) {
            listBuffer.append(name);
        } else if (!listTruncated) {
            listTruncated = true;
            qCWarning(lcControl) << "ERROR: list reply longer than" << maxListEntries
                                 << "entries; the rest is ignored";
        }
        break;
    }
    case DeviceProtocol::Kind::Empty:
    case DeviceProtocol::Kind::Other:
        break;
    }
}

void Controller::startShot()
{
    recordingRunning = true;
    stopPressedInShot = false;
    view->setRecordingRunning(true);
    verdictMonitor->setRunningShot(model->numChannels(0));
    for (int k = 0; k < Model::numSensors; ++k) {
        model->appendSeries(k);
        emit model->dataChanged();
        currentSeries[static_cast<size_t>(k)] = model->numChannels(k) - 1;
    }
    // The computer's time at the device's start, so that live shots can be told apart later.
    model->appendTimestamp(QDateTime::currentDateTime());
    shotJournal->startShot(currentSeries[0]);
    view->tabOszi()->startShot(QVector<int>(currentSeries.cbegin(), currentSeries.cend()));
}

void Controller::handleValueMessage(const QString& msg)
{
    qCDebug(lcTrace).noquote() << "msg=" + msg.trimmed() << "   time since last:"
                               << (sinceLastValueLine.isValid() ? sinceLastValueLine.elapsed() : 0);
    sinceLastValueLine.start();
    if (valuesShownStale)
        showValuesLive();

    const DeviceProtocol::Readings readings = DeviceProtocol::parseValues(msg, valuesInThousandths);
    if (!readings.error.isEmpty()) {
        // The whole line goes: a sample for some sensors and not for others would shift
        // the shot's curves against each other.
        ++droppedValueLines;
        qCWarning(lcControl).noquote()
            << readings.error
            << QStringLiteral("- value line dropped (%1 since connecting):").arg(droppedValueLines)
            << msg.left(60).trimmed();
        return;
    }
    bool stored = false;
    // A line that arrives while a load holds the signals back must not release them.
    const bool wasBlocked = model->blockSignals(true);
    for (int k = 0; k < readings.values.size(); ++k) {
        if (SampleList* series = model->measurement(k, currentSeries[static_cast<size_t>(k)])) {
            series->append(readings.values.at(k));
            stored = true;
        }
    }
    model->blockSignals(wasBlocked);
    if (stored)
        shotJournal->appendReadings(readings.values);
    if (!stored) {
        // Nothing changed: announcing it would count as unsaved work.
        qCDebug(lcControl).noquote() << "no shot open, readings dropped:" << msg.trimmed();
        return;
    }
    emit model->dataChanged();
}

void Controller::handleDeviceDescription(const QString& msg)
{
    VTRACE();
    const DeviceProtocol::DeviceInfo info =
        DeviceProtocol::parseDeviceDescription(msg, model->projectData());
    model->setHwVersion(info.hardwareVersion);
    qCDebug(lcControl).noquote() << "hardwareVersion=" + info.hardwareVersion;
    model->setFirmwareVersion(info.firmwareVersion);
    qCDebug(lcControl).noquote() << "firmwareVersion=" + info.firmwareVersion;
    model->sensorDescription().setNumSensorGroups(info.numGroups);
    qCDebug(lcControl) << "numGroups=" << info.numGroups;
    if (!info.project)
        return;
    qCDebug(lcControl) << "Received projectData:" << *info.project;
    // The user answered for this device before the link was lost.
    if (linkRestoredByRetry)
        return;
    if (view->askYesNo(tr("Projektbeschreibung empfangen"),
                       tr("Soll die aktuelle Projektbeschreibung durch die empfangenen Daten "
                          "überschrieben werden?")))
        model->setProjectData(*info.project);
}

void Controller::handleSensorDescription(const QString& msg)
{
    VTRACE();
    valuesInThousandths = false;
    // Not asked again for the device whose link was only restored.
    if (model->hasData() && !linkRestoredByRetry) {
        IntegrationDialog dialog(model, view);
        dialog.exec();
    }
    DeviceProtocol::applySensorDescription(msg, model->sensorDescription());
    qCDebug(lcTrace) << "emit Model::projectChanged()";
    emit model->projectChanged();
}

void Controller::onActionStartStopRecording()
{
    // A held press does what the button showed when it was pressed: a Stop never starts.
    const bool stop = recordingRunning || isProductionRecording();
    if (deferWhileFileBusy([this, stop] { startOrStopRecording(stop); }))
        return;
    startOrStopRecording(stop);
}

bool Controller::isProductionRecording() const
{
    return connector->recordingRequested() && deviceShotsSinceStart > 1;
}

void Controller::startOrStopRecording(bool stop)
{
    VTRACE();
    if (!stop) {
        if (recordingRunning) {
            qCDebug(lcControl) << "a shot is already recording; nothing to start";
            return;
        }
        // The shot begins when the device answers "run=1".
        deviceShotsSinceStart = 0;
        connector->sendRunStart();
    } else {
        stopPressedInShot = recordingRunning;
        connector->sendRunStop();
        saveAfterRecording();
    }
}

void Controller::onActionCalibration()
{
    if (deferWhileFileBusy([this] { onActionCalibration(); }))
        return;
    VTRACE();
    if (!recordingRunning) {
        // Zeroing the sensors on the device cannot be taken back: a stray click must not.
        if (!view->askYesNo(tr("Kalibrierung"),
                            tr("Die Sensoren werden auf dem Gerät auf null gesetzt. Jetzt "
                               "kalibrieren?")))
            return;
        connector->sendCalibrate();
        QMessageBox::information(view, tr("Kalibrierung"), tr("Die Sensoren werden kalibriert."),
                                 QMessageBox::Ok);
    }
    model->blockSignals(true);
    for (int k = 0; k < Model::numSensors; ++k)
        model->setOffset(k, -model->latestValue(0, k));
    model->blockSignals(false);
    emit model->projectChanged();
    emit model->dataChanged();
}

void Controller::onTabProject_clockChanged(const QString& clock)
{
    if (deferWhileFileBusy([=] { onTabProject_clockChanged(clock); }))
        return;
    VTRACE();
    connector->setSampleRate(clock);
}

void Controller::connectionError(QAbstractSocket::SocketError socketError)
{
    VTRACE();
    if (reconnecting) {
        // Refused, not found, timed out: the retries go on, no box waits for a click.
        if (reconnectAttemptPending)
            reconnectAttemptFailed();
        return;
    }
    if (connector->isConnected()) {
        // A live link's error comes just before its disconnection, after which the link
        // is restored by itself; only an error that leaves the program idle is shown.
        QTimer::singleShot(0, this, [this, socketError] {
            if (!reconnecting)
                showConnectionError(socketError);
        });
        return;
    }
    showConnectionError(socketError);
}

void Controller::showConnectionError(QAbstractSocket::SocketError socketError)
{
    closeProgress();
    QString text;
    switch (socketError) {
    case QAbstractSocket::RemoteHostClosedError:
        text = tr("Die Kalvik Hardware ist nicht mehr erreichbar.");
        break;
    case QAbstractSocket::HostNotFoundError:
        text = tr("Die Kalvik Hardware wurde nicht gefunden! Bitte IP-Adresse überprüfen!");
        break;
    case QAbstractSocket::ConnectionRefusedError:
        text = tr("Die Verbindung wurde abgelehnt!\n(Die IP-Adresse wurde jedoch gefunden.)");
        break;
    default:
        break;
    }
    if (!text.isEmpty()) {
        view->showInfo(tr("Netzwerk Fehler"), text);
        return;
    }
    IPAddressDialog dialog(model, view);
    if (dialog.exec() == QDialog::Accepted && isDeviceAddressText(dialog.address())) {
        const QString address = dialog.address();
        linkRestoredByRetry = false;
        showProgress(tr("Verbinden mit ") + address + QStringLiteral(" ..."));
        connector->connect(address);
    } else {
        qCDebug(lcControl) << "dialog rejected";
    }
}

void Controller::checkStaleValues()
{
    if (valuesShownStale || !model->isConnected() || !sinceLastValueLine.isValid())
        return;
    const qint64 silent = sinceLastValueLine.elapsed();
    if (silent < staleValuesMs)
        return;
    valuesShownStale = true;
    view->tabSensors()->showValuesStale(QDateTime::currentDateTime().addMSecs(-silent));
}

void Controller::showValuesLive()
{
    valuesShownStale = false;
    view->tabSensors()->showValuesLive();
}
