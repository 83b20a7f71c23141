#include "control/Controller.h"

#include "app/Logging.h"
#include "control/FileJob.h"
#include "control/ShotJournal.h"
#include "control/VerdictMonitor.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "view/GapBar.h"
#include "view/TabBlackBox.h"
#include "view/TabEvaluation.h"
#include "view/TabEvaluationSpc.h"
#include "view/TabOszilloscope.h"
#include "view/TabProject.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QApplication>
#include <QMetaType>

Controller::Controller(Model* m, View* v)
    : model(m)
    , view(v)
{
    VTRACE();
    progressIndicator = new ProgressIndicator(view, tr("Default Text..."));
    progressIndicator->hide();
    model->setKalvikType(2);
    // The model's file work runs on a worker while this thread's event loop goes on.
    model->setFileWorkRunner(&FileJob::runOnWorker);

    connect(view, &View::newProject, this, &Controller::onNewProject);
    connect(view, &View::openProject, this, &Controller::onOpenProject);
    connect(view, &View::saveProject, this, &Controller::onSaveProject);
    connect(view, &View::saveProjectAs, this, &Controller::onSaveProjectAs);
    connect(view, &View::importBlackBox, this, &Controller::onImportBlackBox);
    connect(view, &View::connectDisconnect, this, &Controller::onActionConnect);
    connect(view, &View::calibrate, this, &Controller::onActionCalibration);
    connect(view, &View::startStopRecording, this, &Controller::onActionStartStopRecording);
    connect(view, &View::firmwareUpdate, this, &Controller::onFirmwareUpdate);
    connect(view, &View::exportMeasurements, this, &Controller::onExportMeasurements);
    connect(view, &View::reportRequested, this, &Controller::onReportRequested);
    connect(view, &View::retranslated, this, &Controller::retranslateStates);
    connect(this, &Controller::blackBoxDateListReceived, this, &Controller::onListForBackfill);
    // A loss during a recording leaves a gap of shots the device made without us.
    connect(this, &Controller::linkLost, this, [this](const QDateTime& at) {
        if (resumeRecordingAfterLoss)
            openRecordingGap(at);
    });
    connect(this, &Controller::linkRestored, this,
            [this](const QDateTime&, const QDateTime& backAt) { closeRecordingGaps(backAt); });
    connect(this, &Controller::recordingEnded, this, &Controller::backfillIfDue);
    GapBar* gaps = view->tabOszi()->gapBar();
    gaps->setAutoFill(autoBackfill());
    connect(gaps, &GapBar::fillRequested, this, [this] { fillGaps(true); });
    connect(gaps, &GapBar::autoFillToggled, this, &Controller::setAutoBackfill);
    connect(view, &View::projectImageChanged, this, &Controller::onProjectImageChanged);
    connect(view, &View::openRecentProject, this, &Controller::onOpenRecentProject);
    connect(view, &View::undoDelete, this, &Controller::onUndoDelete);
    recentProjects = RecentProjects::fromSettings();
    view->showRecentProjects(recentProjects.paths());
    // A saved project cannot take deleted shots back: the file no longer holds them.
    connect(model, &Model::projectWritten, this, [this](const QString& path) {
        rememberProject(path);
        dropUndo();
    });
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

    setUpVerdicts();
    setUpJournal();
    connect(view->tabEvaluation()->spcPage(), &TabEvaluationSpc::settingsChanged, this,
            [this](const SpcSettings& settings) {
                if (deferWhileFileBusy([this, settings] { model->setSpcSettings(settings); }))
                    return;
                model->setSpcSettings(settings);
            });
    connect(view, &View::settingsRequested, this, &Controller::onSettingsRequested);

    TabBlackBox* tabBlackBox = view->tabBlackBox();
    connect(tabBlackBox, &TabBlackBox::buttonGetListClicked, this,
            &Controller::onTabBlackBox_getListClicked);
    connect(tabBlackBox, &TabBlackBox::buttonGetLocalListClicked, this,
            &Controller::onTabBlackBox_getLocalListClicked);
    connect(tabBlackBox, &TabBlackBox::buttonFetchBlackBoxDataClicked, this,
            &Controller::onTabBlackBox_fetchBlackBoxDataClicked);
    connect(tabBlackBox, &TabBlackBox::buttonImportFilesClicked, this,
            &Controller::onTabBlackBox_importFilesClicked);

    connector = new KalvikConnector;
    connect(connector, &KalvikConnector::connected, this, &Controller::onConnected);
    connect(connector, &KalvikConnector::disconnected, this, &Controller::onDisconnected);
    connect(connector, &KalvikConnector::messageReceived, this, &Controller::onMessageReceived);
    connect(connector, &KalvikConnector::error, this, &Controller::connectionError);

    connect(model, &Model::fileOperationStarted, this, &Controller::onModel_fileOperationStarted);
    connect(model, &Model::fileProgress, this, &Controller::onModel_fileProgress);
    connect(model, &Model::fileOperationFinished, this, &Controller::onModel_fileOperationFinished);
    // Sample lists are about to be freed or replaced; the running shot's indices would
    // point into other shots.
    connect(model, &Model::dataAboutToChange, this, &Controller::closeCurrentShot);
    timerShowFileProgress.setSingleShot(true);
    connect(&timerShowFileProgress, &QTimer::timeout, this,
            &Controller::onTimerShowFileProgress_timeout);

    timerStaleValues.setInterval(250);
    connect(&timerStaleValues, &QTimer::timeout, this, &Controller::checkStaleValues);
    timerWaitForDeviceDescription.setSingleShot(true);
    timerWaitForSensorDescription.setSingleShot(true);
    connect(&timerWaitForDeviceDescription, &QTimer::timeout, this,
            &Controller::onTimerWaitForDeviceDescription_timeout);
    connect(&timerWaitForSensorDescription, &QTimer::timeout, this,
            &Controller::onTimerWaitForSensorDescription_timeout);
    timerReconnect.setSingleShot(true);
    connect(&timerReconnect, &QTimer::timeout, this, &Controller::onTimerReconnect_timeout);
    timerReconnectNote.setInterval(1000);
    // Rounded: a coarse timer may fire a little before the full second.
    connect(&timerReconnectNote, &QTimer::timeout, this,
            [this] { view->setReconnecting(true, (sinceLinkLost.elapsed() + 500) / 1000); });

    // A project opened at start is ready to record into, as after "Öffnen".
    if (!model->projectFileName().isEmpty()) {
        rememberProject(model->projectFileName());
        showOpenedProject();
    }
    // Said once the window is up, not swallowed: the user asked for that file.
    if (model->startFileFailed())
        QTimer::singleShot(0, this, [this] { showOpenFailure(model->startFile()); });
}

Controller::~Controller()
{
    stopArchive();
    delete connector;
}

void Controller::onExportMeasurements(const QString& fileName)
{
    VTRACE() << fileName;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = model->exportText(fileName);
    QApplication::restoreOverrideCursor();
    if (!written)
        view->showMeasurementExportFailure(fileName);
}

void Controller::onProjectImageChanged(int index, const QImage& image)
{
    VTRACE() << index;
    model->setProjectImage(index, image);
    emit model->projectChanged();
}

int Controller::currentSeriesOf(int sensor) const
{
    return sensor >= 0 && sensor < static_cast<int>(currentSeries.size())
               ? currentSeries[static_cast<size_t>(sensor)]
               : -1;
}

bool Controller::deferWhileFileBusy(std::function<void()> command)
{
    if (!model->isFileBusy() && !fetchRunning)
        return false;
    qCDebug(lcControl) << "a file operation runs; the command waits for its end";
    deferredCommands.push_back(std::move(command));
    return true;
}

void Controller::runDeferredCommands()
{
    // A command may start a file operation of its own; the rest wait for its end again.
    while (!deferredCommands.empty() && !model->isFileBusy() && !fetchRunning) {
        const std::function<void()> command = std::move(deferredCommands.front());
        deferredCommands.pop_front();
        command();
    }
}

void Controller::onModel_fileOperationStarted()
{
    runningFileOperation = model->fileOperation();
    revisionAtFileStart = model->dataRevision();
    if (runningFileOperation == Model::FileOperation::Open)
        holdingLines = true;
    filePercent = 0;
    // About half a second: a small project is done before anything shows.
    timerShowFileProgress.start(500);
}

void Controller::onModel_fileProgress(int percent)
{
    filePercent = percent;
    if (fileProgressIndicator)
        fileProgressIndicator->setProgress(percent);
}

void Controller::onTimerShowFileProgress_timeout()
{
    // An import shows its own indicator, counting files.
    if (!model->isFileBusy() || fileProgressIndicator ||
        model->fileOperation() == Model::FileOperation::Import)
        return;
    QString text;
    switch (model->fileOperation()) {
    case Model::FileOperation::Open:
        text = tr("Loading...");
        break;
    case Model::FileOperation::Save:
        text = tr("Saving...");
        break;
    case Model::FileOperation::Report:
        text = tr("Bericht wird erstellt...");
        break;
    default:
        text = tr("Exporting...");
        break;
    }
    fileProgressIndicator = new ProgressIndicator(view, text, 100);
    fileProgressIndicator->setObjectName(QStringLiteral("fileProgressIndicator"));
    fileProgressIndicator->setProgress(filePercent);
}

void Controller::onModel_fileOperationFinished()
{
    timerShowFileProgress.stop();
    if (fileProgressIndicator)
        fileProgressIndicator->deleteLater();
    fileProgressIndicator = nullptr;
    const Model::FileOperation finished =
        std::exchange(runningFileOperation, Model::FileOperation::None);
    if ((finished == Model::FileOperation::Open || finished == Model::FileOperation::Import) &&
        model->dataRevision() != revisionAtFileStart)
        ++dataGeneration;
    if (finished == Model::FileOperation::Open)
        startVerdictSession();
    // The caller shows the opened project first; lines still held keep later ones waiting.
    if (holdingLines || !deferredCommands.empty())
        QTimer::singleShot(0, this, &Controller::afterFileOperation);
}

void Controller::afterFileOperation()
{
    if (model->isFileBusy())
        return; // the next operation's end comes back here
    replayHeldLines();
    runDeferredCommands();
}

void Controller::closeCurrentShot()
{
    currentSeries.fill(-1);
    // Its samples so far stay in the journal as a finished shot.
    shotJournal->finishShot(QString());
}

void Controller::finishJournalShot()
{
    const int index = shotJournal->runningIndex();
    verdictMonitor->finishRunningShot();
    const QVector<Verdict>& verdicts = verdictMonitor->verdicts();
    shotJournal->finishShot(index >= 0 && index < verdicts.size() ? verdicts.at(index).verdictText()
                                                                  : QString());
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
