// The controller's project and measurement commands.
#include "control/Controller.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "control/DeviceProtocol.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "ui_View.h"
#include "view/TabProject.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

namespace {

QString projectFilter()
{
    return Controller::tr("Ventaro Dateien (*.mvx)");
}

} // namespace

bool Controller::saveIfWanted(bool disconnectOnDiscard)
{
    if (!model->isProjectModified())
        return true;
    if (view->askToSave()) {
        emit view->saveProject();
        // The save-as dialog was cancelled or the save failed: the user keeps the data.
        if (model->isProjectModified()) {
            qCDebug(lcControl) << "project not saved, command stopped";
            return false;
        }
    } else if (disconnectOnDiscard) {
        connector->disconnectFromHost();
    }
    return true;
}

void Controller::onNewProject()
{
    if (deferWhileFileBusy([this] { onNewProject(); }))
        return;
    VTRACE();
    if (!saveIfWanted(true))
        return;
    const QString dir = model->lastDir();
    model->clear();
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
    const QString dir = QFileInfo(fileName).absolutePath();
    model->setLastDir(dir);
    // The model's progress window appears when the load takes longer than a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = model->open(fileName);
    QApplication::restoreOverrideCursor();
    // Opening starts from a cleared project, which forgets the folder just chosen.
    model->setLastDir(dir);

    if (opened) {
        showOpenedProject();
    } else {
        QMessageBox::warning(view, QString(), tr("Cannot open file %1 !.").arg(fileName));
    }
    qCDebug(lcTrace) << " END";
}

void Controller::showOpenedProject()
{
    model->setLocked(false);
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
    const bool saved = model->saveProject();
    if (!saved)
        onSaveProjectAs();
}

void Controller::onSaveProjectAs()
{
    if (deferWhileFileBusy([this] { onSaveProjectAs(); }))
        return;
    VTRACE();
    QString fileName = QFileDialog::getSaveFileName(view, tr("Projekt speichern"), model->lastDir(),
                                                    projectFilter());
    if (fileName.isEmpty())
        return;
    // A name typed without extension would not show up in the open dialog's filter.
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".mvx");
    model->setLastDir(QFileInfo(fileName).absolutePath());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = model->save(fileName);
    QApplication::restoreOverrideCursor();
    if (!saved)
        QMessageBox::warning(view, QStringLiteral("Problem"),
                             tr("Das Projekt konnte nicht gespeichert werden!"));
}

void Controller::onImportBlackBox()
{
    if (deferWhileFileBusy([this] { onImportBlackBox(); }))
        return;
    VTRACE();
    // Imported shots join the current data; saving first is only offered.
    if (model->isProjectModified() && view->askToSave())
        emit view->saveProject();
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
    if (deferWhileFileBusy([=] { onTabProject_onPhaseEditChanged(index, text); }))
        return;
    VTRACE();
    model->setPhaseName(index, text);
}

void Controller::onTabProject_clearDataClicked()
{
    if (deferWhileFileBusy([this] { onTabProject_clearDataClicked(); }))
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
    if (box.clickedButton() == ok)
        model->clearData();
}

void Controller::onTabOszi_deleteMeasurements(const QString& measToDelete)
{
    if (deferWhileFileBusy([=] { onTabOszi_deleteMeasurements(measToDelete); }))
        return;
    VTRACE();
    qCDebug(lcControl).noquote() << "measToDelete=" + measToDelete;
    if (!view->askYesNo(tr("Daten löschen"),
                        tr("Folgende Datensätze werden gelöscht:\n") + measToDelete))
        return;

    // Shot numbers count from 1; every deletion moves the later shots down, so each number
    // is compensated by the deletions of the parts before it.
    int removed = 0;
    const auto deleteShot = [&](qint64 index) {
        // A shot before the first one is refused: the model would report success for a
        // negative index and the count would shift every later number.
        if (index >= 0 && index <= std::numeric_limits<int>::max() &&
            model->deleteChannel(static_cast<int>(index))) {
            ++removed;
            return true;
        }
        qCDebug(lcControl) << "model::deleteChannel returned false!!";
        return false;
    };

    // The plots let go of the sample lists before any is freed.
    emit model->dataAboutToChange();
    model->blockSignals(true);
    const DeviceProtocol::ShotRanges ranges = DeviceProtocol::parseShotRanges(measToDelete);
    for (const DeviceProtocol::ShotRange& part : ranges.parts) {
        qCDebug(lcControl).noquote() << "part: " + part.text;
        // The same index each time, as the later shots move down; once a deletion is
        // refused all further ones of the range would be too.
        const qint64 index = part.first - removed - 1;
        for (qint64 i = part.first; i <= part.last; ++i) {
            if (!deleteShot(index))
                break;
        }
        qCDebug(lcControl).noquote()
            << "numRemoved=" + QString::number(removed) + " (part=" + part.text + ")";
    }
    if (ranges.syntaxError)
        qCWarning(lcControl).noquote()
            << "syntax error in range!!  (range=" + ranges.syntaxError->join(QStringLiteral(", ")) +
                   ")";
    model->blockSignals(false);
    emit model->dataChanged();
}

void Controller::onTabOszi_markerChangedAbsolute(int index, int pos_ms)
{
    if (deferWhileFileBusy([=] { onTabOszi_markerChangedAbsolute(index, pos_ms); }))
        return;
    qCDebug(lcTrace) << "index=" << index << " pos_ms=" << pos_ms;
    model->setVerticalMarkerAbsolute(index, pos_ms);
}

void Controller::onTabOszi_markerChangedRelative(int index, int pos_ms)
{
    if (deferWhileFileBusy([=] { onTabOszi_markerChangedRelative(index, pos_ms); }))
        return;
    qCDebug(lcTrace) << "index=" << index << " pos_ms=" << pos_ms;
    model->setVerticalMarkerRelative(index, pos_ms);
}

void Controller::onTabOszi_checkBoxMarkerAbsClicked(bool absolute)
{
    if (deferWhileFileBusy([=] { onTabOszi_checkBoxMarkerAbsClicked(absolute); }))
        return;
    qCDebug(lcTrace) << "absolute=" << (absolute ? "true" : "false");
    model->viewData().checkBoxMarkerAbsolute = absolute;
}

void Controller::onActionQuit()
{
    if (!stopTransferForQuit())
        return;
    if (deferWhileFileBusy([this] { onActionQuit(); }))
        return;
    VTRACE();
    qCDebug(lcControl) << " modelChanged=" << (model->isProjectModified() ? "true" : "false");
    bool discarded = false;
    if (model->isProjectModified()) {
        const QMessageBox::ButtonRole answer = view->askToSaveAndQuit();
        if (answer == QMessageBox::RejectRole)
            return;
        discarded = answer == QMessageBox::NoRole;
        if (answer == QMessageBox::YesRole) {
            emit view->saveProject();
            if (model->isProjectModified()) {
                qCDebug(lcControl) << "project not saved, quitting stopped";
                return;
            }
        }
    } else if (!view->askToQuit()) {
        return;
    }

    connector->sendRunStop();
    // Shots recorded since the last save do not mark the project modified, so they are
    // written here; changes the user discarded are not, and an unchanged file is left alone.
    if (!discarded && model->changedSinceFile())
        model->saveProject();
    view->setRecordingRunning(false);
    connector->disconnectFromHost();

    QSettings settings(settingsOrganization, settingsApplication);
    settings.setValue(settingsKeyMainWindowPos, view->pos());
    settings.setValue(settingsKeyMainWindowSize, view->geometry().size());
    settings.setValue(settingsKeyLastDir, model->lastDir());
    QCoreApplication::quit();
}
