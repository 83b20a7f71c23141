// The controller's project and measurement commands.
#include "control/Controller.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "control/DeviceProtocol.h"
#include "control/ShotJournal.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "ui_View.h"
#include "view/TabProject.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString projectFilter()
{
    return Controller::tr("Ventaro Dateien (*.mvx)");
}

} // namespace

bool Controller::hasUnsavedWork() const
{
    // Recorded samples do not mark the project modified, yet they are in no file.
    return model->isProjectModified() || (model->hasData() && model->changedSinceFile());
}

bool Controller::saveIfWanted(bool disconnectOnDiscard)
{
    if (!hasUnsavedWork())
        return true;
    switch (view->askToSave()) {
    case QMessageBox::RejectRole:
        return false;
    case QMessageBox::NoRole:
        if (disconnectOnDiscard)
            connector->disconnectFromHost();
        shotJournal->discardAll();
        return true;
    default:
        break;
    }
    // A save while the shot still grows would leave the project modified.
    if (recordingRunning) {
        stopRecordingAndWait();
        closeCurrentShot();
    }
    // The save-as dialog was cancelled or the save failed: the user keeps the data.
    if (!saveProjectOrAskName()) {
        qCDebug(lcControl) << "project not saved, command stopped";
        return false;
    }
    return true;
}

bool Controller::saveProjectOrAskName()
{
    const QString fileName = model->projectFileName();
    if (!fileName.isEmpty()) {
        if (model->saveProject())
            return true;
        view->showSaveFailure(fileName, model->fileError());
    }
    return saveProjectAsDialog();
}

void Controller::saveAfterRecording()
{
    const QString fileName = model->projectFileName();
    if (!fileName.isEmpty() && !model->saveProject())
        view->showSaveFailure(fileName, model->fileError());
}

bool Controller::saveBeforeQuit(bool saveAsked)
{
    for (;;) {
        const QString fileName = model->projectFileName();
        if (fileName.isEmpty())
            return !saveAsked || saveProjectAsDialog();
        if (model->saveProject())
            return true;
        switch (view->showSaveFailure(fileName, model->fileError(), true)) {
        case QMessageBox::YesRole:
            if (saveProjectAsDialog())
                return true;
            // Cancelled or failed elsewhere too: try the file again and ask again.
            break;
        case QMessageBox::NoRole:
            qCDebug(lcControl) << "save failed, the user discards the project";
            shotJournal->discardAll();
            return true;
        default:
            return false;
        }
    }
}

void Controller::stopRecordingAndWait()
{
    connector->sendRunStop();
    if (!recordingRunning || !connector->isConnected())
        return;
    // Device lines go on while we wait; the user's input waits with the command.
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &Controller::recordingEnded, &loop, &QEventLoop::quit);
    timeout.start(stopTimeoutMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (recordingRunning) {
        qCWarning(lcControl) << "ERROR: the device did not confirm the stop within" << stopTimeoutMs
                             << "ms; the shot is closed";
        recordingRunning = false;
        view->setRecordingRunning(false);
    }
}

bool Controller::deferShotCommand(const std::function<void()>& command)
{
    // A held command names shots and markers of the data shown when it was given.
    const quint64 generation = dataGeneration;
    return deferWhileFileBusy([this, generation, command] {
        if (generation != dataGeneration) {
            qCWarning(lcControl) << "a held command about shots or markers is dropped: the data "
                                    "it referred to were replaced";
            return;
        }
        command();
    });
}

void Controller::onNewProject()
{
    if (deferWhileFileBusy([this] { onNewProject(); }))
        return;
    VTRACE();
    if (!saveIfWanted(true))
        return;
    const QString dir = model->lastDir();
    ++dataGeneration;
    model->clear();
    dropUndo();
    startVerdictSession();
    model->setLastDir(dir);
    model->setLocked(false);
    // A new project holds nothing worth saving yet.
    model->setProjectModifiedFlag(false);

    view->setTabEnabled(View::Tabs::Project, true);
    view->setCurrentTab(View::Tabs::Project);
    view->setTabEnabled(View::Tabs::Sensors, false);
    view->setTabEnabled(View::Tabs::Oszi, false);

    Ui::View* ui = view->form();
    ui->actionConnect->setVisible(true);
    view->setActionState(View::Actions::Connect, View::ActionState::Enabled);
    ui->actionCalibrate->setVisible(true);
    view->setActionState(View::Actions::Calibrate, View::ActionState::Disabled);
    ui->actionStartRecording->setVisible(true);
    view->setActionState(View::Actions::StartRecording, View::ActionState::Disabled);
    view->setActionState(View::Actions::Menu, View::ActionState::Enabled);
}

void Controller::onOpenProject()
{
    if (deferWhileFileBusy([this] { onOpenProject(); }))
        return;
    VTRACE();
    if (!saveIfWanted(false))
        return;
    const QString fileName =
        QFileDialog::getOpenFileName(view, tr("Projekt öffnen"), model->lastDir(), projectFilter());
    if (fileName.isEmpty()) {
        qCDebug(lcControl) << " filename is empty!";
        return;
    }
    qCDebug(lcControl).noquote() << " filename=" + fileName;
    openProjectFile(fileName);
    qCDebug(lcTrace) << " END";
}

void Controller::openProjectFile(const QString& fileName)
{
    const QString dir = QFileInfo(fileName).absolutePath();
    model->setLastDir(dir);
    // The model's progress window appears when the load takes longer than a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = model->open(fileName);
    QApplication::restoreOverrideCursor();
    // Opening starts from a cleared project, which forgets the folder just chosen.
    model->setLastDir(dir);

    if (opened) {
        dropUndo();
        rememberProject(fileName);
        showOpenedProject();
    } else {
        showOpenFailure(fileName);
    }
}

void Controller::onOpenRecentProject(const QString& path)
{
    if (deferWhileFileBusy([this, path] { onOpenRecentProject(path); }))
        return;
    VTRACE() << path;
    if (!QFileInfo(path).isFile()) {
        recentProjects.remove(path);
        recentProjects.store();
        view->showRecentProjects(recentProjects.paths());
        QMessageBox box(QMessageBox::Information, tr("Projekt nicht gefunden"),
                        tr("Die Datei %1 gibt es nicht mehr: verschoben, umbenannt, gelöscht "
                           "oder auf einem Laufwerk, das nicht angeschlossen ist. Sie wird aus "
                           "der Liste genommen.")
                            .arg(QDir::toNativeSeparators(path)),
                        QMessageBox::Ok, view);
        box.setObjectName(QStringLiteral("recentProjectMissingBox"));
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    if (!saveIfWanted(false))
        return;
    openProjectFile(path);
}

void Controller::rememberProject(const QString& path)
{
    recentProjects.add(path);
    recentProjects.store();
    view->showRecentProjects(recentProjects.paths());
}

void Controller::dropUndo()
{
    undoShots.clear();
    view->setUndoDeleteAvailable(false);
}

void Controller::onUndoDelete()
{
    if (deferShotCommand([this] { onUndoDelete(); }))
        return;
    VTRACE();
    if (undoShots.isEmpty() || undoGeneration != dataGeneration) {
        dropUndo();
        return;
    }
    // Shots put back before the running one would move it under the recorder.
    if (recordingRunning) {
        view->showInfo(tr("Löschen rückgängig"),
                       tr("Während einer Aufnahme werden keine Messungen zurückgeholt."));
        return;
    }
    emit model->dataAboutToChange();
    model->blockSignals(true);
    QVector<QUuid> restored;
    for (const Model::TakenShot& shot : qAsConst(undoShots)) {
        if (!model->restoreShot(shot))
            qCWarning(lcControl) << "a deleted shot could not be put back at" << shot.index + 1;
        else if (shot.id)
            restored.append(*shot.id);
    }
    model->blockSignals(false);
    shotJournal->restore(restored);
    dropUndo();
    emit model->dataChanged();
}

void Controller::showOpenFailure(const QString& fileName)
{
    QMessageBox box(QMessageBox::Warning, QString(), tr("Cannot open file %1 !.").arg(fileName),
                    QMessageBox::Ok, view);
    box.setObjectName(QStringLiteral("openFailureBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void Controller::showOpenedProject()
{
    model->setLocked(false);
    // The black-box road hides them; a project is ready to record into again.
    Ui::View* ui = view->form();
    ui->actionConnect->setVisible(true);
    ui->actionCalibrate->setVisible(true);
    ui->actionStartRecording->setVisible(true);
    view->setTabEnabled(View::Tabs::Project, true);
    view->setTabEnabled(View::Tabs::Sensors, true);
    view->setTabEnabled(View::Tabs::Oszi, true);
    view->setTabEnabled(View::Tabs::Evaluation, model->hasData());
    view->setCurrentTab(View::Tabs::Project);
    view->setActionState(View::Actions::Connect, View::ActionState::Enabled);
    view->setActionState(View::Actions::Calibrate, View::ActionState::Disabled);
    view->setActionState(View::Actions::StartRecording, View::ActionState::Disabled);
    view->setActionState(View::Actions::Menu, View::ActionState::Enabled);
}

void Controller::onSaveProject()
{
    if (deferWhileFileBusy([this] { onSaveProject(); }))
        return;
    VTRACE();
    saveProjectOrAskName();
}

void Controller::onSaveProjectAs()
{
    if (deferWhileFileBusy([this] { onSaveProjectAs(); }))
        return;
    VTRACE();
    saveProjectAsDialog();
}

bool Controller::saveProjectAsDialog()
{
    // Beside the project itself, never the folder last used for anything else (an import
    // from the device's stick would put the project there).
    const QString current = model->projectFileName();
    const QString start = current.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                              : current;
    QString fileName =
        QFileDialog::getSaveFileName(view, tr("Projekt speichern"), start, projectFilter());
    if (fileName.isEmpty())
        return false;
    // A name typed without extension would not show up in the open dialog's filter.
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".mvx");
    model->setLastDir(QFileInfo(fileName).absolutePath());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = model->save(fileName);
    QApplication::restoreOverrideCursor();
    if (!saved) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Problem"),
                        tr("Das Projekt konnte nicht gespeichert werden!") + QStringLiteral("\n") +
                            QDir::toNativeSeparators(fileName) + QStringLiteral("\n") +
                            model->fileError(),
                        QMessageBox::Ok, view);
        box.setObjectName(QStringLiteral("saveFailureBox"));
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    return saved;
}

void Controller::onImportBlackBox()
{
    if (deferWhileFileBusy([this] { onImportBlackBox(); }))
        return;
    VTRACE();
    // Imported shots join the current data; saving first is only offered.
    if (hasUnsavedWork()) {
        const QMessageBox::ButtonRole answer = view->askToSave();
        if (answer == QMessageBox::RejectRole)
            return;
        if (answer == QMessageBox::YesRole && !saveProjectOrAskName())
            return;
    }
    view->setTabEnabled(View::Tabs::Project, true);
    view->setTabEnabled(View::Tabs::BlackBox, true);
    view->setCurrentTab(View::Tabs::BlackBox);

    Ui::View* ui = view->form();
    ui->actionConnect->setVisible(true);
    view->setActionState(View::Actions::Connect, View::ActionState::Enabled);
    ui->actionCalibrate->setVisible(false);
    view->setActionState(View::Actions::Calibrate, View::ActionState::Disabled);
    ui->actionStartRecording->setVisible(false);
    view->setActionState(View::Actions::StartRecording, View::ActionState::Disabled);
    view->setActionState(View::Actions::Menu, View::ActionState::Enabled);
}

void Controller::onTabProject_projectDataChanged()
{
    if (deferWhileFileBusy([this] { onTabProject_projectDataChanged(); }))
        return;
    VTRACE();
    qCDebug(lcTrace) << "sender=" << sender();
    ProjectData data = view->tabProject()->projectData();
    if (data != model->projectData()) {
        // The tab carries no markers; a header edit must not move them.
        data.markers = model->projectData().markers;
        model->setProjectData(data);
    }
    qCDebug(lcTrace) << "END";
}

void Controller::onTabProject_onPhaseEditChanged(int index, const QString& text)
{
    if (deferShotCommand([=] { onTabProject_onPhaseEditChanged(index, text); }))
        return;
    VTRACE();
    model->setPhaseName(index, text);
}

void Controller::onTabProject_clearDataClicked()
{
    if (deferShotCommand([this] { onTabProject_clearDataClicked(); }))
        return;
    VTRACE();
    QMessageBox box;
    box.setWindowFlags(box.windowFlags() | Qt::FramelessWindowHint);
    box.setIcon(QMessageBox::Warning);
    box.setText(tr("Achtung: Alle Messdaten werden gelöscht!"));
    QPushButton* ok = box.addButton(tr("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(tr("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.exec();
    if (box.clickedButton() == ok) {
        shotJournal->discardAll();
        model->clearData();
        dropUndo();
    }
}

void Controller::onTabOszi_deleteMeasurements(const QString& measToDelete)
{
    if (deferShotCommand([=] { onTabOszi_deleteMeasurements(measToDelete); }))
        return;
    VTRACE();
    qCDebug(lcControl).noquote() << "measToDelete=" + measToDelete;

    // The numbers mean the numbering before the command, in any order, each shot once.
    const DeviceProtocol::ShotRanges ranges = DeviceProtocol::parseShotRanges(measToDelete);
    if (ranges.syntaxError)
        qCWarning(lcControl).noquote()
            << "syntax error in range!!  (range=" + ranges.syntaxError->join(QStringLiteral(", ")) +
                   ")";
    const int shotCount = model->numChannels(0);
    const QVector<int> numbers = DeviceProtocol::shotNumbers(ranges, shotCount);
    for (const DeviceProtocol::ShotRange& part : ranges.parts) {
        if (part.first < 1 || part.last > shotCount)
            qCDebug(lcControl).noquote()
                << "part " + part.text + " names shots beyond 1.." + QString::number(shotCount);
    }
    if (numbers.isEmpty()) {
        QMessageBox box(QMessageBox::Information, tr("Daten löschen"),
                        tr("Keine der angegebenen Messungen ist vorhanden:\n") + measToDelete,
                        QMessageBox::Ok, view);
        box.setObjectName(QStringLiteral("nothingToDeleteBox"));
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    if (!view->askYesNo(tr("Daten löschen"), tr("Folgende Datensätze werden gelöscht:\n") +
                                                 DeviceProtocol::shotNumbersText(numbers)))
        return;

    QVector<QUuid> discarded;
    for (const int n : numbers)
        discarded.append(model->shotId(n - 1));
    shotJournal->discard(discarded);
    // The plots let go of the sample lists before any is freed.
    emit model->dataAboutToChange();
    model->blockSignals(true);
    // From the last to the first, so that no deletion moves a shot still to be deleted.
    int removed = 0;
    QVector<Model::TakenShot> taken;
    for (auto it = numbers.crbegin(); it != numbers.crend(); ++it) {
        Model::TakenShot shot = model->shotAt(*it - 1);
        if (model->deleteChannel(*it - 1)) {
            ++removed;
            taken.prepend(std::move(shot));
        } else {
            qCDebug(lcControl) << "model::deleteChannel returned false!!";
        }
    }
    undoShots = taken;
    undoGeneration = dataGeneration;
    view->setUndoDeleteAvailable(!undoShots.isEmpty());
    qCDebug(lcControl).noquote() << "numRemoved=" + QString::number(removed);
    model->blockSignals(false);
    emit model->dataChanged();
}

void Controller::onTabOszi_markerChangedAbsolute(int index, int pos_ms)
{
    if (deferShotCommand([=] { onTabOszi_markerChangedAbsolute(index, pos_ms); }))
        return;
    qCDebug(lcTrace) << "index=" << index << " pos_ms=" << pos_ms;
    model->setVerticalMarkerAbsolute(index, pos_ms);
}

void Controller::onTabOszi_markerChangedRelative(int index, int pos_ms)
{
    if (deferShotCommand([=] { onTabOszi_markerChangedRelative(index, pos_ms); }))
        return;
    qCDebug(lcTrace) << "index=" << index << " pos_ms=" << pos_ms;
    model->setVerticalMarkerRelative(index, pos_ms);
}

void Controller::onTabOszi_checkBoxMarkerAbsClicked(bool absolute)
{
    if (deferShotCommand([=] { onTabOszi_checkBoxMarkerAbsClicked(absolute); }))
        return;
    qCDebug(lcTrace) << "absolute=" << (absolute ? "true" : "false");
    model->viewData().checkBoxMarkerAbsolute = absolute;
}

void Controller::onActionQuit()
{
    // Stopping a fetch to quit was the user's "yes" to quitting; it is not asked again.
    const bool fetching = fetchRunning;
    if (!stopTransferForQuit())
        return;
    if (deferWhileFileBusy([this, fetching] { quitApplication(fetching); }))
        return;
    quitApplication(fetching);
}

void Controller::quitApplication(bool quitConfirmed)
{
    VTRACE();
    qCDebug(lcControl) << " modelChanged=" << (model->isProjectModified() ? "true" : "false");
    bool discarded = false;
    bool saveAsked = false;
    if (hasUnsavedWork()) {
        const QMessageBox::ButtonRole answer = view->askToSaveAndQuit();
        if (answer == QMessageBox::RejectRole)
            return;
        discarded = answer == QMessageBox::NoRole;
        saveAsked = answer == QMessageBox::YesRole;
    } else if (!quitConfirmed && !view->askToQuit()) {
        return;
    }

    // The device stops first: a save while lines still arrive leaves the project modified,
    // and its last lines would be lost.
    stopRecordingAndWait();
    closeCurrentShot();
    if (reconnecting)
        giveUpReconnecting();
    if (discarded)
        shotJournal->discardAll();
    // Shots recorded since the last save do not mark the project modified, so they are
    // written here; changes the user discarded are not, and an unchanged file is left alone.
    if (!discarded && (saveAsked || model->changedSinceFile()) && !saveBeforeQuit(saveAsked)) {
        qCDebug(lcControl) << "project not saved, quitting stopped";
        return;
    }
    view->setRecordingRunning(false);
    connector->disconnectFromHost();

    QSettings settings(settingsOrganization, settingsApplication);
    settings.setValue(settingsKeyMainWindowPos, view->pos());
    settings.setValue(settingsKeyMainWindowSize, view->geometry().size());
    settings.setValue(settingsKeyLastDir, model->lastDir());
    QCoreApplication::quit();
}
