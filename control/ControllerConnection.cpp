// The controller's connection life cycle, the device's lines and the live values.
#include "control/Controller.h"

#include "app/Logging.h"
#include "control/IPAddressDialog.h"
#include "control/IntegrationDialog.h"
#include "device/DeviceAddress.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "ui_IPAddressDialog.h"
#include "view/TabOszilloscope.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QMessageBox>

namespace {

// The value of an attribute whose key was found at keyPos: it starts offset characters
// later (after the key, "=" and the opening quotation mark) and ends before the next
// quotation mark. A missing key gives an empty text; a missing closing mark ends the value
// at the line's end.
QString valueAt(const QString& msg, int keyPos, int offset)
{
    if (keyPos < 0)
        return QString();
    const int start = keyPos + offset;
    if (start >= msg.size())
        return QString();
    int end = msg.indexOf(QLatin1Char('"'), start);
    if (end < 0) {
        end = msg.size();
        while (end > start &&
               (msg.at(end - 1) == QLatin1Char('\n') || msg.at(end - 1) == QLatin1Char('\r')))
            --end;
    }
    return msg.mid(start, end - start);
}

// The value of key K searched at or after from: its start is the position of "K=" plus
// offset.
QString valueAfter(const QString& msg, const QString& key, int from, int offset)
{
    return valueAt(msg, msg.indexOf(key, from), offset);
}

// A count given as the single character at a fixed distance from its key; 0 when it is
// not a digit.
int countAt(const QString& msg, const QString& key, int from, int offset)
{
    const int pos = msg.indexOf(key, from);
    if (pos < 0)
        return 0;
    return msg.mid(pos + offset, 1).toInt();
}

} // namespace

void Controller::onActionConnect()
{
    if (deferWhileFileBusy([this] { onActionConnect(); }))
        return;
    VTRACE();
    if (connector->isConnected()) {
        qCDebug(lcControl) << " isConnected -> disconnect!";
        connector->sendRunStop();
        model->saveProject();
        view->setRecordingRunning(false);
        connector->disconnectFromHost();
    } else {
        qCDebug(lcControl) << " not connected -> connect!";
        showProgress(tr("Verbinden ..."));
        connector->connect(deviceHost());
    }
}

void Controller::onConnected()
{
    VTRACE();
    closeProgress();
    model->setConnected(true);
    emit model->appStateChanged();
    connector->setSampleRate(QStringLiteral("100ms"));
    model->setClock(100);
    qCDebug(lcControl) << "starting DeviceDescription timer";
    timerWaitForDeviceDescription.start(500);
    connector->requestDeviceDescription();
    qCDebug(lcControl) << "starting SensorDescription timer";
    timerWaitForSensorDescription.start(700);
    connector->requestSensorDescription();
}

void Controller::onDisconnected()
{
    VTRACE();
    model->setConnected(false);
    emit model->appStateChanged();
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
    // Lines that arrive while a project is being opened belong to that project: they wait
    // until it is in place.
    if (model->fileOperation() == Model::FileOperation::Open) {
        heldLines.append(msg);
        return;
    }
    const QChar first = msg.at(0);
    // Day folder names may begin with a digit too; value lines always carry fields.
    const bool listEntry = inList && !msg.contains(QLatin1Char(';'));
    if ((first.isDigit() || first == QLatin1Char('-')) && !listEntry) {
        handleValueMessage(msg);
    } else if (msg.startsWith(QLatin1String("run=1"))) {
        qCDebug(lcControl) << "received 'run=1'";
        startShot();
    } else if (msg.startsWith(QLatin1String("run=0"))) {
        recordingRunning = false;
        view->setRecordingRunning(false);
    } else if (msg.startsWith(QLatin1String("t="))) {
        const QString clockString = msg.mid(2);
        qCDebug(lcControl).noquote() << "clockString=" + clockString.trimmed();
        bool ok = false;
        const int clock = clockString.trimmed().toInt(&ok, 10);
        if (ok) {
            model->setClock(clock);
            view->tabOszi()->setClock(clock, 100 * clock);
        } else
            qCWarning(lcControl) << "ERROR";
    } else if (msg.startsWith(QLatin1String("<deviceDescription"))) {
        timerWaitForDeviceDescription.stop();
        handleDeviceDescription(msg);
    } else if (msg.startsWith(QLatin1String("<sensorDescription"))) {
        timerWaitForSensorDescription.stop();
        handleSensorDescription(msg);
    } else if (msg.leftRef(6) == QLatin1String("list {")) {
        inList = true;
    } else if (msg.leftRef(6) == QLatin1String("} list")) {
        emit blackBoxDateListReceived(listBuffer);
        listBuffer.clear();
        inList = false;
    } else if (inList) {
        const QString name = msg.simplified();
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            listBuffer.append(name);
    }
}

void Controller::startShot()
{
    recordingRunning = true;
    view->setRecordingRunning(true);
    for (int k = 0; k < Model::numSensors; ++k) {
        model->appendSeries(k);
        emit model->dataChanged();
        currentSeries[static_cast<size_t>(k)] = model->numChannels(k) - 1;
    }
    // Live shots carry no timestamp.
    model->appendTimestamp(QDateTime());
    view->tabOszi()->startShot(QVector<int>(currentSeries.cbegin(), currentSeries.cend()));
}

void Controller::handleValueMessage(const QString& msg)
{
    qCDebug(lcTrace).noquote() << "msg=" + msg.trimmed() << "   time since last:"
                               << (sinceLastValueLine.isValid() ? sinceLastValueLine.elapsed() : 0);
    sinceLastValueLine.start();

    const QVector<QStringRef> fields = msg.splitRef(QLatin1Char(';'));
    if (fields.size() < 3) {
        qCWarning(lcControl) << "received data. ERROR: No List!";
        return;
    }
    // Fields 1 to 5 are the readings of sensors 0 to 4. A line with fewer fields leaves the
    // series of the sensors without a field unchanged.
    bool stored = false;
    // A line that arrives while a load holds the signals back must not release them.
    const bool wasBlocked = model->blockSignals(true);
    for (int k = 0; k < Model::numSensors && k + 1 < fields.size(); ++k) {
        double reading = fields.at(k + 1).trimmed().toDouble();
        if (valuesInThousandths)
            reading /= 1000.0;
        if (SampleList* series = model->measurement(k, currentSeries[static_cast<size_t>(k)])) {
            series->append(reading);
            stored = true;
        }
    }
    model->blockSignals(wasBlocked);
    if (!stored)
        qCDebug(lcControl).noquote() << "no shot open, readings dropped:" << msg.trimmed();
    emit model->dataChanged();
}

void Controller::handleDeviceDescription(const QString& msg)
{
    VTRACE();
    const QString hardware = valueAfter(msg, QStringLiteral("hardwareVersion="), 0, 17);
    model->setHwVersion(hardware);
    qCDebug(lcControl).noquote() << "hardwareVersion=" + hardware;
    const QString firmware = valueAfter(msg, QStringLiteral("firmwareVersion="), 0, 17);
    model->setFirmwareVersion(firmware);
    qCDebug(lcControl).noquote() << "firmwareVersion=" + firmware;
    const int numGroups = countAt(msg, QStringLiteral("numGroups="), 0, 11);
    model->sensorDescription().setNumSensorGroups(numGroups);
    qCDebug(lcControl) << "numGroups=" << numGroups;

    const QString groupTag = QStringLiteral("<group");
    for (int groupPos = msg.indexOf(groupTag, 1); groupPos >= 0;) {
        const int nextGroup = msg.indexOf(groupTag, groupPos + 1);
        const int groupEnd = nextGroup < 0 ? msg.size() : nextGroup;
        qCDebug(lcControl).noquote()
            << "group name=" + valueAfter(msg, QStringLiteral("name="), groupPos, 6)
            << "numChannels=" << countAt(msg, QStringLiteral("numChannels="), groupPos, 13);
        const QString channelTag = QStringLiteral("<channel");
        for (int channelPos = msg.indexOf(channelTag, groupPos + 1);
             channelPos >= 0 && channelPos < groupEnd;
             channelPos = msg.indexOf(channelTag, channelPos + 1)) {
            qCDebug(lcControl) << "channel min="
                               << valueAfter(msg, QStringLiteral("min="), channelPos, 5).toDouble()
                               << "max="
                               << valueAfter(msg, QStringLiteral("max="), channelPos, 5).toDouble();
        }
        groupPos = nextGroup;
    }

    if (!msg.contains(QLatin1String("<projectDescription")))
        return;
    // The device's record replaces the header, but the markers belong to the recorded shots
    // and stay as they are.
    ProjectData data = model->projectData();
    data.name = attributeValue(msg, QStringLiteral("projectName"));
    data.number = attributeValue(msg, QStringLiteral("projectNumber"));
    data.user = attributeValue(msg, QStringLiteral("projectPerson"));
    data.date = attributeValue(msg, QStringLiteral("projectDate"));
    data.customer = attributeValue(msg, QStringLiteral("projectCustomer"));
    for (int i = 0; i < ProjectData::numPhases; ++i)
        data.phaseNames[static_cast<size_t>(i)] =
            attributeValue(msg, QStringLiteral("phase%1").arg(i + 1));
    data.closingForce = attributeValue(msg, QStringLiteral("closePower")).toInt(nullptr, 10);
    data.injectionTime = attributeValue(msg, QStringLiteral("injectionTime")).toDouble();
    data.pressTime = attributeValue(msg, QStringLiteral("pressTime")).toDouble();
    data.pressure = attributeValue(msg, QStringLiteral("pressure")).toInt(nullptr, 10);
    qCDebug(lcControl) << "Received projectData:" << data;
    if (view->askYesNo(tr("Projektbeschreibung empfangen"),
                       tr("Soll die aktuelle Projektbeschreibung durch die empfangenen Daten "
                          "überschrieben werden?")))
        model->setProjectData(data);
}

QString Controller::attributeValue(const QString& msg, const QString& key)
{
    return valueAt(msg, msg.indexOf(key + QLatin1Char('=')), key.size() + 2);
}

void Controller::handleSensorDescription(const QString& msg)
{
    VTRACE();
    valuesInThousandths = false;
    if (model->hasData()) {
        IntegrationDialog dialog(model, view);
        dialog.exec();
    }
    SensorDescription& description = model->sensorDescription();
    const int numGroups = countAt(msg, QStringLiteral("numGroups="), 0, 11);
    description.setNumSensorGroups(numGroups);
    qCDebug(lcControl) << "numGroups=" << numGroups;

    const QString groupTag = QStringLiteral("<group");
    const QString sensorTag = QStringLiteral("<sensor");
    int g = 0;
    for (int groupPos = msg.indexOf(groupTag, 1); groupPos >= 0; ++g) {
        qCDebug(lcTrace) << "groupPos=" << groupPos;
        const int nextGroup = msg.indexOf(groupTag, groupPos + 1);
        const int groupEnd = nextGroup < 0 ? msg.size() : nextGroup;
        if (g >= description.numSensorGroups()) {
            qCWarning(lcControl) << "more groups than announced, group" << g << "ignored";
            groupPos = nextGroup;
            continue;
        }
        SensorGroup& group = description.sensorGroup(g);
        group.setName(valueAfter(msg, QStringLiteral("name="), groupPos, 6));
        const int numSensors = countAt(msg, QStringLiteral("numSensors="), groupPos, 12);
        group.setNumSensors(numSensors);

        int s = 0;
        for (int sensorPos = msg.indexOf(sensorTag, groupPos + 1);
             sensorPos >= 0 && sensorPos < groupEnd && s < numSensors;
             sensorPos = msg.indexOf(sensorTag, sensorPos + 1), ++s) {
            group.setSensorName(s, valueAfter(msg, QStringLiteral("name="), sensorPos, 6));
            group.setSensorType(s, valueAfter(msg, QStringLiteral("type="), sensorPos, 6));
            group.setSensorMinimum(
                s, valueAfter(msg, QStringLiteral("min="), sensorPos, 5).toDouble());
            group.setSensorMaximum(
                s, valueAfter(msg, QStringLiteral("max="), sensorPos, 5).toDouble());
            // A UTF-8 micro sign read as Latin-1 arrives as A-circumflex and micro sign.
            QString unit = valueAfter(msg, QStringLiteral("unit="), sensorPos, 6);
            unit.remove(QChar(0x00C2));
            group.setSensorUnit(s, unit);
        }
        groupPos = nextGroup;
    }
    qCDebug(lcTrace) << "emit Model::projectChanged()";
    emit model->projectChanged();
}

void Controller::onActionStartStopRecording()
{
    if (deferWhileFileBusy([this] { onActionStartStopRecording(); }))
        return;
    VTRACE();
    if (!recordingRunning) {
        // The shot begins when the device answers "run=1".
        connector->sendRunStart();
    } else {
        connector->sendRunStop();
        model->saveProject();
    }
}

void Controller::onActionCalibration()
{
    if (deferWhileFileBusy([this] { onActionCalibration(); }))
        return;
    VTRACE();
    if (!recordingRunning) {
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
    if (dialog.exec() == QDialog::Accepted) {
        const QString address = dialog.form()->editIPAddress->text();
        showProgress(tr("Verbinden mit ") + address + QStringLiteral(" ..."));
        connector->connect(address);
    } else {
        qCDebug(lcControl) << "dialog rejected";
    }
}
