#pragma once

#include "analysis/StickMatch.h"
#include "control/RecentProjects.h"
#include "control/ReconnectSchedule.h"
#include "model/Model.h"
#include "store/Journal.h"

#include <QAbstractSocket>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <tuple>

class ArchiveForwarder;
class KalvikConnector;
class ShotJournal;
class QDir;
class ProgressIndicator;
class VerdictMonitor;
class View;

// The mediator: receives every user command from the main window and its pages and every
// line from the device, and changes the model accordingly.
class Controller : public QObject
{
    Q_OBJECT

public:
    Controller(Model* model, View* view);
    ~Controller() override;

    KalvikConnector* kalvikConnector() const { return connector; }
    bool isRecordingRunning() const { return recordingRunning; }
    // The user's Start stands on a device that opened more than one shot since: it records
    // every machine cycle until Stop, also between its shots.
    bool isProductionRecording() const;
    // The link was lost without "Trennen" and is being tried again.
    bool isReconnecting() const { return reconnecting; }
    bool readingsInThousandths() const { return valuesInThousandths; }
    int currentSeriesOf(int sensor) const;
    const VerdictMonitor* verdicts() const { return verdictMonitor; }
    const ShotJournal* journal() const { return shotJournal; }
    // How many device lines an open may hold back; the rest are dropped and counted.
    void setHeldLineLimit(size_t limit) { heldLineLimit = limit; }
    // Whether the gaps of a recording are filled from the black box once the link is back.
    bool autoBackfill() const;
    void setAutoBackfill(bool on);
    // How long the last filling of gaps took from the device's list to the shots in hand.
    double lastBackfillMs() const { return backfillMs; }

public slots:
    void onNewProject();
    void onOpenProject();
    void onSaveProject();
    void onSaveProjectAs();
    // A project of the recent list; a file that is gone leaves the list, with a word why.
    void onOpenRecentProject(const QString& path);
    // Puts back the shots of the last "Löschen", until the project is saved or replaced.
    void onUndoDelete();
    void onImportBlackBox();
    void onActionConnect();
    void onActionCalibration();
    void onActionStartStopRecording();
    void onActionQuit();
    void onFirmwareUpdate();
    void onSettingsRequested();
    // A file operation on the model's worker: device lines go on and user commands wait, as
    // during a save.
    void onExportMeasurements(const QString& fileName);
    // Writes the report of the project as it stands, the running shot left out, on a worker.
    void onReportRequested(const QString& fileName);
    void onProjectImageChanged(int index, const QImage& image);
    void onTabProject_projectDataChanged();
    void onTabProject_clockChanged(const QString& clock);
    void onTabProject_clearDataClicked();
    void onTabProject_onPhaseEditChanged(int index, const QString& text);
    void setDefaultSensors5Keyence();
    void onTabOszi_markerChangedAbsolute(int index, int pos_ms);
    void onTabOszi_markerChangedRelative(int index, int pos_ms);
    void onTabOszi_checkBoxMarkerAbsClicked(bool absolute);
    void onTabOszi_deleteMeasurements(const QString& measToDelete);
    // Teaches the reference from the shots the text names (as "Löschen" reads them).
    void onTabOszi_teachReference(const QString& rangeText);
    void onTabOszi_referenceSettings();
    void onTabBlackBox_getListClicked();
    void onTabBlackBox_getLocalListClicked();
    void onTabBlackBox_fetchBlackBoxDataClicked();
    void onTabBlackBox_importFilesClicked();
    // Fills the recording's gaps from the device's black box: the stick's days of the gaps
    // through the usual transfer, the shots the project lacks put in in time order. asked:
    // the user asked, so a reason not to is said.
    void fillGaps(bool asked = true);
    void onConnected();
    void onDisconnected();
    void onMessageReceived(const QString& msg);
    void connectionError(QAbstractSocket::SocketError socketError);
    void onTimerWaitForDeviceDescription_timeout();
    void onTimerWaitForSensorDescription_timeout();

signals:
    // The black-box tab receives the day folders of a "list" reply.
    void blackBoxDateListReceived(const QStringList& names);
    // The device confirmed a stop, or the link ended.
    void recordingEnded();
    // A filling of gaps ended with shots shots put in.
    void gapsFilled(int shots);
    // The link was lost without "Trennen" at that time; the retries start.
    void linkLost(const QDateTime& at);
    // The link lost at lostAt is back since backAt; the sample period was set and the
    // descriptions requested.
    void linkRestored(const QDateTime& lostAt, const QDateTime& backAt);

private:
    // While the model reads or writes a file, user commands wait and then run in their
    // order; false when the command may run now.
    bool deferWhileFileBusy(std::function<void()> command);
    // Like deferWhileFileBusy, for commands about shots or markers: held, they are dropped
    // when an open, a new project or an import replaced the data meanwhile.
    bool deferShotCommand(const std::function<void()>& command);
    void runDeferredCommands();
    // Lines and commands that waited for a file operation, in this order.
    void afterFileOperation();
    void onModel_fileOperationStarted();
    void onModel_fileProgress(int percent);
    void onModel_fileOperationFinished();
    void onTimerShowFileProgress_timeout();
    // Tabs and actions for a project that was opened, also from the command line.
    void showOpenedProject();
    void showOpenFailure(const QString& fileName);
    void openProjectFile(const QString& fileName);
    // Opened or saved: to the front of the recent list.
    void rememberProject(const QString& path);
    void dropUndo();
    // The sensors page greys its displays after a second without a value line.
    void checkStaleValues();
    void showValuesLive();
    // Quits after the save question; the plain "quit?" only when not confirmed already.
    void quitApplication(bool quitConfirmed);
    void connectOrDisconnect(bool disconnect);
    void startOrStopRecording(bool stop);
    // What a closed link leaves behind: the running shot ends as it stands.
    void endLink();
    void startReconnecting(bool resumeRecording);
    // "Trennen" or quitting while the link is being restored.
    void giveUpReconnecting();
    void stopReconnecting();
    void onTimerReconnect_timeout();
    void reconnectAttemptFailed();
    void showConnectionError(QAbstractSocket::SocketError socketError);
    // Sends the stop and, while a shot records, waits a moment for the device's "run=0";
    // device lines go on meanwhile, user input waits.
    void stopRecordingAndWait();
    void handleMessage(const QString& msg);
    void replayHeldLines();
    // Lines after this belong to no shot until the device's next "run=1".
    void closeCurrentShot();
    // The running shot ended: its verdict, then the journal's record of it with the verdict.
    void finishJournalShot();
    void handleDeviceDescription(const QString& msg);
    void handleSensorDescription(const QString& msg);
    void handleValueMessage(const QString& msg);
    void startShot();
    // The day folders of a complete "list" reply go to the black-box page; names not of
    // the device's own form are refused.
    void showBlackBoxDateList(const QStringList& names);
    // Copies the listed files of one day folder of a stick copied by hand into the staging
    // folder and returns their relative paths; runs on a worker, so it touches no widget.
    QStringList copyLocalDirToTmpDir(const QString& path, const QStringList& files,
                                     const QDir& stagingFolder,
                                     const std::function<void()>& fileCopied);
    // The staging folder, prepared; empty, after telling the user, when it must not be used.
    QString usableStagingFolder();
    // A quit while black-box files are fetched: asks, and ends the tool when the user
    // agrees; false when the user wants the fetch to go on. The quit itself then waits for
    // the fetch to end, like any command given meanwhile.
    bool stopTransferForQuit();
    // Asks to save a modified project; false when the command must stop because the
    // project is still modified after the user chose to save.
    bool saveIfWanted(bool disconnectOnDiscard);
    // Modified, or shots recorded into a project that has no file yet.
    bool hasUnsavedWork() const;
    // Saves under the project's name, or asks for one; a failure is shown with the file and
    // its reason, and another name is offered. True when the project was written.
    bool saveProjectOrAskName();
    bool saveProjectAsDialog();
    // After a stop or a disconnect: a project with a file name is saved, a failure shown.
    void saveAfterRecording();
    // True when quitting may go on: saved, or discarded after a failed save.
    bool saveBeforeQuit(bool saveAsked);
    void setUpJournal();
    // Forwards finished shots to the plant archive at connection; none for an empty one.
    void startArchive(const QString& connection);
    void stopArchive();
    void showArchiveState(bool connected, int waiting, const QString& error);
    void showArchiveConnecting();
    void retranslateStates();
    // Shots that an earlier run left unsaved: restore them, or leave them for later.
    void offerRecovery();
    // One project's shots; false when the user chose "later" or the restore failed.
    bool offerRecovery(const QVector<Journal::Entry>& shots);
    void setUpVerdicts();
    void showVerdicts();
    void showVerdictLamp();
    // The lamp counts the shots of a connection, or of a new or opened project.
    void startVerdictSession();
    void teachFailure(const QString& text);
    void showProgress(const QString& text);
    void closeProgress();

    Model* model;
    View* view;
    RecentProjects recentProjects;
    // The shots the last deletion took, by ascending index, and the data they belong to.
    QVector<Model::TakenShot> undoShots;
    quint64 undoGeneration = 0;
    KalvikConnector* connector = nullptr;
    VerdictMonitor* verdictMonitor = nullptr;
    ShotJournal* shotJournal = nullptr;
    QThread archiveThread;
    QTimer timerPruneJournal;
    static constexpr int pruneIntervalMs = 6 * 60 * 60 * 1000;
    QPointer<ArchiveForwarder> archiveForwarder;
    // The archive's last state, shown again in a new language.
    std::optional<std::tuple<bool, int, QString>> archiveState;
    bool valuesInThousandths = false;
    QPointer<ProgressIndicator> progressIndicator;
    std::array<int, 5> currentSeries{{-1, -1, -1, -1, -1}};
    bool recordingRunning = false;
    QTimer timerWaitForDeviceDescription;
    QTimer timerWaitForSensorDescription;

    // A lost link is tried again to the same address until it is back or "Trennen".
    ReconnectSchedule reconnectSchedule;
    QTimer timerReconnect;
    QTimer timerReconnectNote;
    bool reconnecting = false;
    bool reconnectAttemptPending = false;
    bool resumeRecordingAfterLoss = false;
    // "Stop" was pressed during the running shot, which the device has not ended yet.
    bool stopPressedInShot = false;
    // Shots the device opened since the user's "Start": a device that opens more than one
    // records every machine cycle, so the request stands between its shots as well.
    int deviceShotsSinceStart = 0;
    // The link was restored by the retries: the same device, whose questions were answered.
    bool linkRestoredByRetry = false;
    QString reconnectHost;
    QDateTime linkLostAt;
    QElapsedTimer sinceLinkLost;

    std::deque<std::function<void()>> deferredCommands;
    // Grows whenever an open, a new project or an import replaces the data.
    quint64 dataGeneration = 0;
    Model::FileOperation runningFileOperation = Model::FileOperation::None;
    quint64 revisionAtFileStart = 0;
    // A fetch runs the SCP tool with the event loop going; user commands wait for it as for
    // a file operation.
    bool fetchRunning = false;
    bool fetchStopped = false;

    // Gaps and their filling (ControllerBackfill.cpp).
    void openRecordingGap(const QDateTime& at);
    void closeRecordingGaps(const QDateTime& at);
    bool hasUnfilledGap() const;
    bool gapOnStick(const RecordingGap& gap, const QVector<StickMatch::Shot>& stick,
                    const StickMatch::Result& match) const;
    void onListForBackfill(const QStringList& names);
    void runBackfill(const QStringList& names);
    void insertBackfillWhenIdle();
    // After the next shot ends (recordingEnded): fill the gaps if that is switched on.
    void backfillIfDue();
    // Fills the unfilled gaps in a while, when the link is there.
    void retryBackfillLater();
    bool backfillAfterNextShot = false;
    bool backfillListPending = false;
    bool backfillAsked = false;
    bool backfillWaitsForShotEnd = false;
    QVector<Model::TakenShot> pendingBackfill;
    QVector<QPair<int, RecordingGap>> pendingGapUpdates;
    double backfillMs = 0.0;
    // The folder whose files the black-box page lists: the fetched device's or the copies'.
    QString stagedFilesFolder;
    // Device lines that arrived while a project was being opened, for the opened project.
    // An open of a day's project takes seconds; lines beyond the bound are counted, once.
    size_t heldLineLimit = 200000;
    std::deque<QString> heldLines;
    bool holdingLines = false;
    bool replayingHeldLines = false;
    qint64 heldLinesDropped = 0;
    static constexpr int stopTimeoutMs = 2000;
    // Shown only for file operations that last; short ones finish unseen.
    QTimer timerShowFileProgress;
    QPointer<ProgressIndicator> fileProgressIndicator;
    int filePercent = 0;

    // A device's day list is a few thousand days at most; a reply that never ends must not
    // grow without bound.
    static constexpr int maxListEntries = 100000;
    QStringList listBuffer;
    bool inList = false;
    bool listTruncated = false;
    QElapsedTimer sinceLastValueLine;
    // While connected: values older than a second are shown as such.
    QTimer timerStaleValues;
    static constexpr int staleValuesMs = 1000;
    bool valuesShownStale = false;
    // Value lines refused since the connection was made, for the diagnostics.
    qint64 droppedValueLines = 0;
};
