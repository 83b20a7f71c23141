#include "control/Controller.h"

#include "app/Logging.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "view/TabOszilloscope.h"
#include "view/TabProject.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QMetaType>

Controller::Controller(Model* m, View* v)
    : model(m)
    , view(v)
{
    VTRACE();
    progressIndicator = new ProgressIndicator(view, tr("Default Text..."));
    progressIndicator->hide();
    model->setKalvikType(2);

    connect(view, &View::newProject, this, &Controller::onNewProject);
    connect(view, &View::openProject, this, &Controller::onOpenProject);
    connect(view, &View::saveProject, this, &Controller::onSaveProject);
    connect(view, &View::saveProjectAs, this, &Controller::onSaveProjectAs);
    connect(view, &View::importBlackBox, this, &Controller::onImportBlackBox);
    connect(view, &View::connectDisconnect, this, &Controller::onActionConnect);
    connect(view, &View::calibrate, this, &Controller::onActionCalibration);
    connect(view, &View::startStopRecording, this, &Controller::onActionStartStopRecording);
    // Queued, so that quitting runs after the event that asked for it.
    connect(view, &View::quit, this, &Controller::onActionQuit, Qt::QueuedConnection);

    TabProject* tabProject = view->tabProject();
    connect(tabProject, &TabProject::projectDataChanged, this,
            &Controller::onTabProject_projectDataChanged);
    connect(tabProject, &TabProject::clockChanged, this, &Controller::onTabProject_clockChanged);
    connect(tabProject, &TabProject::buttonClearDataClicked, this,
            &Controller::onTabProject_clearDataClicked);
    connect(tabProject, &TabProject::phaseEditChanged, this,
            &Controller::onTabProject_onPhaseEditChanged);

    TabOszilloscope* tabOszi = view->tabOszi();
    connect(tabOszi, &TabOszilloscope::deleteMeasurements, this,
            &Controller::onTabOszi_deleteMeasurements);
    connect(tabOszi, &TabOszilloscope::markerChangedAbsolute, this,
            &Controller::onTabOszi_markerChangedAbsolute);
    connect(tabOszi, &TabOszilloscope::markerChangedRelative, this,
            &Controller::onTabOszi_markerChangedRelative);
    connect(tabOszi, &TabOszilloscope::checkBoxMarkerAbsClicked, this,
            &Controller::onTabOszi_checkBoxMarkerAbsClicked);

    connector = new KalvikConnector;
    connect(connector, &KalvikConnector::connected, this, &Controller::onConnected);
    connect(connector, &KalvikConnector::disconnected, this, &Controller::onDisconnected);
    connect(connector, &KalvikConnector::messageReceived, this, &Controller::onMessageReceived);
    connect(connector, &KalvikConnector::error, this, &Controller::connectionError);

    timerWaitForDeviceDescription.setSingleShot(true);
    timerWaitForSensorDescription.setSingleShot(true);
    connect(&timerWaitForDeviceDescription, &QTimer::timeout, this,
            &Controller::onTimerWaitForDeviceDescription_timeout);
    connect(&timerWaitForSensorDescription, &QTimer::timeout, this,
            &Controller::onTimerWaitForSensorDescription_timeout);
}

Controller::~Controller()
{
    delete connector;
}

int Controller::currentSeriesOf(int sensor) const
{
    return sensor >= 0 && sensor < static_cast<int>(currentSeries.size())
               ? currentSeries[static_cast<size_t>(sensor)]
               : -1;
}

void Controller::showProgress(const QString& text)
{
    if (!progressIndicator)
        return;
    progressIndicator->setLabelText(text);
    progressIndicator->placeOverParent();
    progressIndicator->show();
}

void Controller::closeProgress()
{
    if (progressIndicator)
        progressIndicator->hide();
}
