// The controller's black-box workflow: the device's day list, fetching days with the SCP
// tool, copying a stick's folders by hand, and importing the ticked files.
#include "control/Controller.h"

#include "app/Logging.h"
#include "view/BlackBoxDatesTableModel.h"
#include "view/BlackBoxFilesTableModel.h"
#include "control/BlackBoxStaging.h"
#include "control/FileJob.h"
#include "control/ScpProblemBox.h"
#include "view/TabBlackBox.h"
#include "device/KalvikConnector.h"
#include "device/ScpTransfer.h"
#include "model/BlackBoxFile.h"
#include "model/BlackBoxShot.h"
#include "model/Model.h"
#include "ui_TabBlackBox.h"
#include "view/TabOszilloscope.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QVector>

#include <algorithm>
#include <vector>

namespace {

// More names than this in one message would not fit on the screen.
constexpr int maxNamesShown = 10;

QString listOfNames(const QStringList& names)
{
    QStringList shown = names.mid(0, maxNamesShown);
    if (names.size() > maxNamesShown)
        shown.append(QStringLiteral("…"));
    return shown.join(QStringLiteral("<br>"));
}

} // namespace

QString Controller::usableStagingFolder()
{
    const QString folder = BlackBoxStaging::rootFolder();
    QString reason;
    if (BlackBoxStaging::prepare(folder, &reason))
        return folder;
    qCWarning(lcControl).noquote() << "ERROR: staging folder refused:" << folder << reason;
    QMessageBox::warning(
        view, QStringLiteral("Problem"),
        tr("Der Zwischenordner für BlackBox-Dateien kann nicht sicher verwendet werden:<br>%1"
           "<br><br>Er ist ein symbolischer Link oder gehört nicht diesem Benutzer. Bitte "
           "entfernen Sie ihn oder lassen Sie ihn vom Administrator entfernen.")
            .arg(folder.toHtmlEscaped()));
    return QString();
}

void Controller::showBlackBoxDateList(const QStringList& names)
{
    QStringList days;
    for (const QString& name : names) {
        // The device names each file of a day ("dir-20191224/shot_...bb"), so that the day
        // is counted once per shot; a bare day folder counts once.
        if (BlackBoxStaging::isDayFolderName(name) || BlackBoxStaging::isStagedFilePath(name))
            days.append(name);
        else
            qCWarning(lcControl).noquote() << "ERROR: day folder name refused:" << name.left(80);
    }
    TabBlackBox* tab = view->tabBlackBox();
    tab->setBlackBoxDateList(days);
    tab->form()->buttonFetchBlackBoxData->setEnabled(true);
}

void Controller::onTabBlackBox_getListClicked()
{
    if (deferWhileFileBusy([this] { onTabBlackBox_getListClicked(); }))
        return;
    VTRACE();
    view->tabBlackBox()->clearFileList();
    if (connector->isConnected())
        connector->write(QStringLiteral("list\n"));
}

void Controller::onTabBlackBox_getLocalListClicked()
{
    if (deferWhileFileBusy([this] { onTabBlackBox_getLocalListClicked(); }))
        return;
    VTRACE();
    TabBlackBox* tab = view->tabBlackBox();
    tab->clearFileList();
    const QString root = usableStagingFolder();
    if (root.isEmpty())
        return;
    // Copies from a stick stay apart from the files of any device fetched over the network.
    const QString staging = QDir(root).filePath(BlackBoxStaging::localCopiesFolderName);
    QString reason;
    if (!BlackBoxStaging::prepare(staging, &reason)) {
        qCWarning(lcControl).noquote() << "ERROR: staging folder refused:" << staging << reason;
        return;
    }
    stagedFilesFolder = staging;

    const QString source =
        QFileDialog::getExistingDirectory(view, tr("Daten-Verzeichnis wählen"), model->lastDir());
    if (source.isEmpty()) {
        qCDebug(lcControl) << " directory name is empty!";
        return;
    }
    qCDebug(lcControl).noquote() << " sourceDirName = " + source;
    qCDebug(lcControl).noquote() << " tempDirName = " + staging;
    model->setLastDir(source);

    const QDir stagingDir(staging);
    const QString last = source.mid(source.lastIndexOf(QLatin1Char('/')) + 1);
    QStringList days;
    bool recognised = true;
    if (last.left(4) == QLatin1String("dir-")) {
        qCDebug(lcControl) << "selected dir starts with 'dir-'";
        days.append(source);
    } else if (last == QLatin1String("data")) {
        qCDebug(lcControl) << "directory 'data' selected";
        const QDir data(source);
        const QStringList names =
            data.entryList({QStringLiteral("dir-*")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& day : names) {
            qCDebug(lcControl).noquote() << "  dir=" + data.filePath(day);
            days.append(data.filePath(day));
        }
    } else {
        qCDebug(lcControl) << "selected dir does not contain data!";
        recognised = false;
    }

    // A stick holds thousands of files: they are copied on a worker under a progress bar,
    // and the table is filled once they are all there.
    QVector<QStringList> dayFiles;
    int total = 0;
    for (const QString& day : days) {
        dayFiles.append(BlackBoxStaging::blackBoxFiles(day));
        total += dayFiles.last().size();
    }
    QStringList listed;
    if (total > 0) {
        ProgressIndicator indicator(view, tr("Dateien kopieren..."), total);
        indicator.setObjectName(QStringLiteral("copyProgressIndicator"));
        FileJob job;
        connect(&job, &FileJob::progress, &indicator, &ProgressIndicator::setProgress);
        job.run([&](const FileJob::Progress& progress) {
            int copied = 0;
            const std::function<void()> fileCopied = [&copied, &progress] { progress(++copied); };
            for (int d = 0; d < days.size(); ++d)
                listed += copyLocalDirToTmpDir(days.at(d), dayFiles.at(d), stagingDir, fileCopied);
            return true;
        });
    }
    tab->addDownloadedFiles(listed);
    tab->form()->buttonImportFiles->setEnabled(true);

    if (!recognised) {
        QMessageBox::information(
            view, tr("BlackBox"),
            tr("Der gewählte Ordner enthält keine BlackBox-Messungen.<br><br>Bitte einen "
               "Tagesordner (\"dir-\" und das Datum) oder den Ordner \"data\" des USB-Sticks "
               "wählen."));
    } else if (tab->filesModel()->rowCount() == 0) {
        QMessageBox::information(view, tr("BlackBox"),
                                 tr("Im gewählten Ordner wurden keine BlackBox-Dateien (*.bb) "
                                    "gefunden:<br>%1")
                                     .arg(QDir::toNativeSeparators(source).toHtmlEscaped()));
    }
    qCDebug(lcControl) << "END";
}

QStringList Controller::copyLocalDirToTmpDir(const QString& path, const QStringList& files,
                                             const QDir& stagingFolder,
                                             const std::function<void()>& fileCopied)
{
    VTRACE();
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (!BlackBoxStaging::isDayFolderName(name)) {
        qCWarning(lcControl).noquote() << "ERROR: day folder name refused:" << name.left(80);
        return QStringList();
    }
    return BlackBoxStaging::copyDayFolder(path, files, stagingFolder.absolutePath(), fileCopied);
}

void Controller::onTabBlackBox_fetchBlackBoxDataClicked()
{
    if (deferWhileFileBusy([this] { onTabBlackBox_fetchBlackBoxDataClicked(); }))
        return;
    VTRACE();
    TabBlackBox* tab = view->tabBlackBox();
    const QString staging = usableStagingFolder();
    if (staging.isEmpty())
        return;
    const QString host = connector->host();
    const QString deviceFolder = QDir(staging).filePath(BlackBoxStaging::deviceFolderName(host));
    QString reason;
    if (!BlackBoxStaging::prepare(deviceFolder, &reason)) {
        qCWarning(lcControl).noquote()
            << "ERROR: staging folder refused:" << deviceFolder << reason;
        return;
    }

    // The device's list counts each day's files, which is how far the progress goes.
    const BlackBoxDatesTableModel* dates = tab->datesModel();
    QStringList dayNames;
    int expectedFiles = 0;
    const QStringList selectedDates = tab->getSelectedDates();
    for (const QString& date : selectedDates) {
        const QString name = BlackBoxStaging::dayFolderForDate(date);
        if (name.isEmpty()) {
            qCWarning(lcControl).noquote() << "ERROR: date refused:" << date.left(80);
            continue;
        }
        dayNames.append(name);
        for (int row = 0; row < dates->rowCount(); ++row) {
            if (dates->index(row, 0).data().toString() == date)
                expectedFiles += dates->index(row, 1).data().toInt();
        }
    }
    qCDebug(lcControl) << "dirListToFetch:" << dayNames;

    // The tool writes into a folder of this fetch alone, so that what it brought is known
    // exactly; only that is staged, listed and ticked.
    QTemporaryDir incoming(QDir(staging).filePath(QStringLiteral("incoming-XXXXXX")));
    if (!incoming.isValid()) {
        qCWarning(lcControl).noquote()
            << "ERROR: no folder for the fetch:" << incoming.errorString();
        return;
    }
    BlackBoxFilesTableModel* files = tab->filesModel();
    files->clear();
    stagedFilesFolder = deviceFolder;

    ProgressIndicator indicator(view, tr("Dateien übertragen..."), expectedFiles);
    indicator.setObjectName(QStringLiteral("fetchProgressIndicator"));
    // Not modal: the main window's close button must reach the controller during a fetch.
    const bool shown = indicator.isVisible();
    indicator.hide();
    indicator.setWindowModality(Qt::NonModal);
    if (shown)
        indicator.show();
    int transferred = 0;
    const ScpTransfer::FileDone fileDone = [&indicator, &transferred, expectedFiles] {
        ++transferred;
        if (expectedFiles > 0)
            indicator.setProgress(std::min(transferred, expectedFiles));
    };

    fetchRunning = true;
    fetchStopped = false;
    for (const QString& name : qAsConst(dayNames)) {
        if (fetchStopped)
            break;
        qCDebug(lcControl).noquote() << "dir=" + name;
        ScpTransfer::Problem problem;
        if (!ScpTransfer::fetchDirectory(host, name, incoming.path(), fileDone, &problem)) {
            ScpProblemBox::show(problem);
            continue;
        }
        if (!BlackBoxStaging::prepareDayFolder(deviceFolder, name, &reason)) {
            qCWarning(lcControl).noquote() << "ERROR: day folder refused:" << name << reason;
            continue;
        }
        const QDir fetchedDay(QDir(incoming.path()).filePath(name));
        const QDir stagedDay(QDir(deviceFolder).filePath(name));
        QStringList staged;
        for (const QString& file : BlackBoxStaging::blackBoxFiles(fetchedDay.path())) {
            qCDebug(lcControl).noquote() << "New file:" << name + QLatin1Char('/') + file;
            if (BlackBoxStaging::replaceIfDifferent(fetchedDay.filePath(file),
                                                    stagedDay.filePath(file)))
                staged.append(name + QLatin1Char('/') + file);
        }
        const int first = files->rowCount();
        tab->addDownloadedFiles(staged);
        for (int row = first; row < files->rowCount(); ++row) {
            files->setDownloaded(row, true);
            tab->selectFileRow(row);
        }
    }
    fetchRunning = false;
    indicator.close();
    tab->form()->buttonImportFiles->setEnabled(true);
    // Commands given during the fetch, a quit among them, run now in their order.
    if (!deferredCommands.empty())
        QTimer::singleShot(0, this, &Controller::runDeferredCommands);
}

bool Controller::stopTransferForQuit()
{
    if (!fetchRunning)
        return true;
    VTRACE();
    if (!view->askYesNo(tr("BlackBox"),
                        tr("Die BlackBox-Dateien werden noch übertragen.<br><br>Übertragung "
                           "abbrechen?")))
        return false;
    // The fetch ends with the tool; the quit waits for that like any command.
    fetchStopped = true;
    ScpTransfer::stopRunning();
    return true;
}

void Controller::onTabBlackBox_importFilesClicked()
{
    if (deferWhileFileBusy([this] { onTabBlackBox_importFilesClicked(); }))
        return;
    VTRACE();
    TabBlackBox* tab = view->tabBlackBox();
    const QString root = BlackBoxStaging::rootFolder();
    if (!QFileInfo(root).isDir() && !QFileInfo(root).isSymLink()) {
        qCWarning(lcControl).noquote()
            << "ERROR: temp dir does not exists! (" + root + QLatin1Char(')');
        return;
    }
    if (usableStagingFolder().isEmpty())
        return;
    // The rows name files of the folder the last fetch or copy filled.
    const QString staging = stagedFilesFolder.isEmpty()
                                ? QDir(root).filePath(BlackBoxStaging::localCopiesFolderName)
                                : stagedFilesFolder;

    QStringList paths;
    QStringList refused;
    const QStringList selected = tab->getSelectedFilesToImport();
    for (const QString& relative : selected) {
        if (BlackBoxStaging::isStagedFilePath(relative)) {
            paths.append(QDir(staging).filePath(relative));
        } else {
            qCWarning(lcControl).noquote() << "ERROR: file name refused:" << relative.left(80);
            refused.append(relative);
        }
    }

    if (!model->beginFileOperation(Model::FileOperation::Import))
        return;
    std::vector<BlackBoxShot> shots;
    std::vector<char> read;
    {
        ProgressIndicator indicator(view, tr("Messungen importieren..."), paths.size());
        indicator.setObjectName(QStringLiteral("importProgressIndicator"));
        FileJob job;
        connect(&job, &FileJob::progress, &indicator, &ProgressIndicator::setProgress);
        // The files are read on the worker into shots of their own; the model is not
        // touched until all are read, so neither device lines nor paints meet half an import.
        job.run([&paths, &shots, &read](const FileJob::Progress& progress) {
            BlackBoxFile::readFiles(paths, shots, read, progress);
            return true;
        });
    }

    QStringList unreadable;
    QStringList notBlackBox;
    QStringList otherPeriod;
    // Every sample of a project is one clock apart: a project without shots takes the period
    // of the first file, and a file of another period would be drawn stretched or squeezed.
    const int clockBefore = model->clock();
    int clock = clockBefore;
    bool clockOpen = !model->hasData();
    const bool wasBlocked = model->blockSignals(true);
    for (int i = 0; i < paths.size(); ++i) {
        const size_t n = static_cast<size_t>(i);
        const QString name = QFileInfo(paths.at(i)).fileName();
        const int period = shots[n].samplePeriodMs;
        if (!read[n]) {
            unreadable.append(name);
        } else if (shots[n].recognisedLines == 0) {
            // Nothing of the format in it: an empty shot would only mislead the evaluation.
            qCWarning(lcControl).noquote() << "ERROR: not a black-box file:" << paths.at(i);
            notBlackBox.append(name);
        } else if (period > 0 && !clockOpen && period != clock) {
            qCWarning(lcControl).noquote() << "ERROR: sample period" << period << "ms, project"
                                           << clock << "ms:" << paths.at(i);
            otherPeriod.append(name + QStringLiteral(" (%1 ms)").arg(period));
        } else {
            // A file without a period is taken at the project's clock, as ever.
            if (period > 0)
                clock = period;
            clockOpen = false;
            BlackBoxFile::add(*model, std::move(shots[n]));
        }
    }
    if (clock != clockBefore)
        model->setClock(clock);
    model->blockSignals(wasBlocked);
    if (clock != clockBefore) {
        qCDebug(lcControl) << "clock taken from the imported files:" << clock;
        view->tabOszi()->setClock(clock, 100 * clock);
        // Live shots recorded next must be sampled alike, as after choosing it on the
        // project tab.
        if (connector->isConnected())
            connector->setSampleRate(QString::number(clock) + QStringLiteral("ms"));
    }
    qCDebug(lcTrace) << "emit model.projectChanged()";
    emit model->projectChanged();
    qCDebug(lcTrace) << "emit model.dataChanged()";
    emit model->dataChanged();

    view->setTabEnabled(View::Tabs::Project, true);
    view->setTabEnabled(View::Tabs::Sensors, true);
    view->setTabEnabled(View::Tabs::Oszi, true);
    view->setTabEnabled(View::Tabs::Evaluation, model->hasData());
    view->setCurrentTab(View::Tabs::Project);
    model->endFileOperation();

    QStringList problems;
    if (!unreadable.isEmpty())
        problems.append(tr("Nicht lesbar:") + QStringLiteral("<br>") + listOfNames(unreadable));
    if (!notBlackBox.isEmpty())
        problems.append(tr("Keine BlackBox-Datei:") + QStringLiteral("<br>") +
                        listOfNames(notBlackBox));
    if (!refused.isEmpty())
        problems.append(tr("Ungültiger Dateiname:") + QStringLiteral("<br>") +
                        listOfNames(refused));
    if (!otherPeriod.isEmpty())
        problems.append(tr("Andere Abtastrate als das Projekt (%1 ms):").arg(clock) +
                        QStringLiteral("<br>") + listOfNames(otherPeriod));
    if (!problems.isEmpty()) {
        const int skipped =
            unreadable.size() + notBlackBox.size() + refused.size() + otherPeriod.size();
        QMessageBox::warning(view, QStringLiteral("Problem"),
                             tr("%n Datei(en) wurden nicht importiert.", nullptr, skipped) +
                                 QStringLiteral("<br><br>") +
                                 problems.join(QStringLiteral("<br><br>")));
    }
}
