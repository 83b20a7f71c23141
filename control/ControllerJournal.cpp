// The journal of live shots, recovery after a crash, and the plant archive.
#include "control/Controller.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "control/ShotJournal.h"
#include "control/StorageDialog.h"
#include "control/VerdictMonitor.h"
#include "model/Model.h"
#include "store/ArchiveForwarder.h"
#include "store/ArchiveStore.h"
#include "store/ShotProject.h"
#include "view/View.h"

#include <QApplication>
#include <QFileInfo>
#include <QHostInfo>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

#include <algorithm>

namespace {

QString archiveConnection()
{
    const QString fromEnvironment = ArchiveStore::connectionFromEnvironment();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QSettings(settingsOrganization, settingsApplication)
        .value(settingsKeyArchive)
        .toString()
        .trimmed();
}

QString stationName()
{
    const QString station = QSettings(settingsOrganization, settingsApplication)
                                .value(settingsKeyStation)
                                .toString()
                                .trimmed();
    return station.isEmpty() ? QHostInfo::localHostName() : station;
}

int journalDays()
{
    const int days = QSettings(settingsOrganization, settingsApplication)
                         .value(settingsKeyJournalDays, defaultJournalDays)
                         .toInt();
    return days > 0 ? days : defaultJournalDays;
}

} // namespace

void Controller::setUpJournal()
{
    shotJournal = new ShotJournal(model, Journal::defaultFolder(), this);
    connect(shotJournal, &ShotJournal::failed, this, [](const QString& error) {
        qCWarning(lcControl).noquote() << "ERROR: the journal cannot be written:" << error;
    });
    if (!shotJournal->isOpen()) {
        QTimer::singleShot(0, this, [this] {
            QMessageBox box(QMessageBox::Warning, tr("Journal"),
                            tr("Das Journal der Messungen kann nicht geöffnet werden; Messungen "
                               "sind bis zum Speichern nur im Speicher.\n") +
                                shotJournal->error(),
                            QMessageBox::Ok, view);
            box.setObjectName(QStringLiteral("journalFailureBox"));
            box.setTextFormat(Qt::PlainText);
            box.exec();
        });
        return;
    }
    const QString connection = archiveConnection();
    // At start, and every few hours for a station that runs for weeks.
    const auto prune = [this] {
        shotJournal->prune(journalDays(), !archiveConnection().isEmpty());
    };
    prune();
    timerPruneJournal.setInterval(pruneIntervalMs);
    connect(&timerPruneJournal, &QTimer::timeout, this, prune);
    timerPruneJournal.start();
    startArchive(connection);
    // After the window and a project from the command line are shown.
    QTimer::singleShot(0, this, [this] { offerRecovery(); });
}

void Controller::startArchive(const QString& connection)
{
    stopArchive();
    if (connection.isEmpty() || !shotJournal->isOpen()) {
        view->showArchiveState(QString(), false);
        return;
    }
    auto* forwarder = new ArchiveForwarder(shotJournal->path(), connection, stationName());
    forwarder->moveToThread(&archiveThread);
    connect(&archiveThread, &QThread::finished, forwarder, &QObject::deleteLater);
    connect(forwarder, &ArchiveForwarder::stateChanged, this, &Controller::showArchiveState);
    connect(shotJournal, &ShotJournal::shotFinished, forwarder, &ArchiveForwarder::forwardNow);
    archiveForwarder = forwarder;
    archiveThread.setObjectName(QStringLiteral("archive"));
    archiveThread.start();
    QMetaObject::invokeMethod(forwarder, &ArchiveForwarder::start, Qt::QueuedConnection);
    archiveState.reset();
    showArchiveConnecting();
}

void Controller::showArchiveConnecting()
{
    view->showArchiveState(tr("Archiv: verbinden..."), false);
}

// Texts the controller gave the window, again in the language just chosen.
void Controller::retranslateStates()
{
    showVerdicts();
    if (archiveState)
        showArchiveState(std::get<0>(*archiveState), std::get<1>(*archiveState),
                         std::get<2>(*archiveState));
    else if (archiveForwarder)
        showArchiveConnecting();
}

void Controller::stopArchive()
{
    if (!archiveThread.isRunning())
        return;
    archiveThread.quit();
    archiveThread.wait();
    archiveForwarder = nullptr;
}

void Controller::showArchiveState(bool connected, int waiting, const QString& error)
{
    archiveState = std::make_tuple(connected, waiting, error);
    QString text;
    if (connected && waiting == 0)
        text = tr("Archiv: verbunden");
    else if (connected)
        text = tr("Archiv: %1 Messungen warten").arg(waiting);
    else
        text = tr("Archiv nicht erreichbar: %1 Messungen warten").arg(waiting);
    view->showArchiveState(text, !connected);
    view->archiveStateLabel()->setToolTip(error);
}

void Controller::onSettingsRequested()
{
    if (deferWhileFileBusy([this] { onSettingsRequested(); }))
        return;
    QSettings settings(settingsOrganization, settingsApplication);
    StorageDialog dialog(journalDays(), settings.value(settingsKeyArchive).toString(),
                         settings.value(settingsKeyStation).toString(), QHostInfo::localHostName(),
                         !ArchiveStore::connectionFromEnvironment().isEmpty(), view);
    if (dialog.exec() != QDialog::Accepted)
        return;
    settings.setValue(settingsKeyJournalDays, dialog.journalDays());
    settings.setValue(settingsKeyArchive, dialog.archive());
    settings.setValue(settingsKeyStation, dialog.station());
    if (shotJournal->isOpen())
        startArchive(archiveConnection());
}

void Controller::offerRecovery()
{
    const QVector<Journal::Entry> left = shotJournal->leftBehind();
    if (left.isEmpty())
        return;
    // The shots of one project file at a time, the oldest project first.
    QVector<QString> files;
    for (const Journal::Entry& entry : left) {
        if (!files.contains(entry.projectFile))
            files.append(entry.projectFile);
    }
    for (const QString& file : files) {
        QVector<Journal::Entry> group;
        std::copy_if(left.cbegin(), left.cend(), std::back_inserter(group),
                     [&file](const Journal::Entry& e) { return e.projectFile == file; });
        if (!offerRecovery(group))
            return;
    }
}

bool Controller::offerRecovery(const QVector<Journal::Entry>& shots)
{
    const QString file = shots.first().projectFile;
    const QString project = !file.isEmpty()                        ? QFileInfo(file).fileName()
                            : !shots.first().projectName.isEmpty() ? shots.first().projectName
                                                                   : tr("ohne Namen");
    const QLocale locale;
    QMessageBox box(QMessageBox::Question, tr("Messungen wiederherstellen"),
                    tr("Im Journal liegen %1 nicht gespeicherte Messungen aus dem Projekt „%2“, "
                       "aufgenommen von %3 bis %4. Ventaro wurde beendet, bevor sie gespeichert "
                       "oder verworfen waren.\n\nWiederherstellen?")
                        .arg(shots.size())
                        .arg(project)
                        .arg(locale.toString(shots.first().startedAt, QLocale::ShortFormat))
                        .arg(locale.toString(shots.last().startedAt, QLocale::ShortFormat)),
                    QMessageBox::NoButton, view);
    box.setObjectName(QStringLiteral("recoveryBox"));
    box.setTextFormat(Qt::PlainText);
    QPushButton* intoProject = nullptr;
    if (!file.isEmpty() && QFileInfo(file).isFile()) {
        intoProject = box.addButton(tr("In dieses Projekt"), QMessageBox::YesRole);
        intoProject->setObjectName(QStringLiteral("recoverIntoProjectButton"));
    }
    QPushButton* intoNew = box.addButton(tr("In ein neues Projekt"), QMessageBox::AcceptRole);
    intoNew->setObjectName(QStringLiteral("recoverIntoNewButton"));
    QPushButton* later = box.addButton(tr("Später"), QMessageBox::RejectRole);
    later->setObjectName(QStringLiteral("recoverLaterButton"));
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() != intoProject && box.clickedButton() != intoNew)
        return false;
    // The present project goes first; what it holds unsaved is the user's to decide.
    if (!saveIfWanted(false))
        return false;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool opened = true;
    if (box.clickedButton() == intoProject) {
        opened = model->open(file);
    } else {
        ++dataGeneration;
        model->clear();
    }
    QVector<StoredShot> restored;
    for (const Journal::Entry& entry : shots) {
        if (std::optional<StoredShot> shot = shotJournal->reader()->read(entry.id))
            restored.append(std::move(*shot));
    }
    std::stable_sort(
        restored.begin(), restored.end(),
        [](const StoredShot& a, const StoredShot& b) { return a.startedAt < b.startedAt; });
    if (opened)
        ShotProject::append(*model, restored);
    QApplication::restoreOverrideCursor();
    if (!opened) {
        showOpenFailure(file);
        return false;
    }
    ++dataGeneration;
    startVerdictSession();
    // The restored shots are in no file yet.
    model->setProjectModifiedFlag(true);
    showOpenedProject();
    qCInfo(lcControl) << "restored" << restored.size() << "shots from the journal";
    return true;
}
