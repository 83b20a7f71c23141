// The controller's black-box workflow: the device's day list, fetching days with the SCP
// tool, copying a stick's folders by hand, and importing the ticked files.
#include "control/Controller.h"

#include "app/Logging.h"
#include "control/BlackBoxFilesTableModel.h"
#include "control/BlackBoxStaging.h"
#include "control/TabBlackBox.h"
#include "device/KalvikConnector.h"
#include "device/ScpTransfer.h"
#include "model/BlackBoxFile.h"
#include "model/BlackBoxShot.h"
#include "model/FileJob.h"
#include "model/Model.h"
#include "ui_TabBlackBox.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMessageBox>
#include <QVector>

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
    const QString folder = ScpTransfer::localFetchFolder();
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
        if (BlackBoxStaging::isDayFolderName(name))
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
    const QString staging = usableStagingFolder();
    if (staging.isEmpty())
        return;

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

    QStringList dayNames;
    const QStringList dates = tab->getSelectedDates();
    for (const QString& date : dates) {
        const QString name = BlackBoxStaging::dayFolderForDate(date);
        if (name.isEmpty())
            qCWarning(lcControl).noquote() << "ERROR: date refused:" << date.left(80);
        else
            dayNames.append(name);
    }
    qCDebug(lcControl) << "dirListToFetch:" << dayNames;

    ProgressIndicator indicator(view, tr("Dateien übertragen..."));
    indicator.setObjectName(QStringLiteral("fetchProgressIndicator"));
    BlackBoxFilesTableModel* files = tab->filesModel();
    QHash<QString, int> rowOfPath;
    for (int row = 0; row < files->rowCount(); ++row)
        rowOfPath.insert(files->path(row), row);
    for (const QString& name : dayNames) {
        qCDebug(lcControl).noquote() << "dir=" + name;
        QString reason;
        if (!BlackBoxStaging::prepareDayFolder(staging, name, &reason)) {
            qCWarning(lcControl).noquote() << "ERROR: day folder refused:" << name << reason;
            continue;
        }
        if (!ScpTransfer::fetchDirectory(connector->host(), name, staging))
            continue;
        const QStringList fetched = BlackBoxStaging::stagedFiles(staging, name);
        // A day fetched again keeps its rows; the new files are appended.
        QStringList added;
        QList<int> fetchedRows;
        for (const QString& path : fetched) {
            qCDebug(lcControl).noquote() << "New file:" << path;
            int row = rowOfPath.value(path, -1);
            if (row < 0) {
                row = files->rowCount() + added.size();
                rowOfPath.insert(path, row);
                added.append(path);
            }
            fetchedRows.append(row);
        }
        tab->addDownloadedFiles(added);
        for (int row : qAsConst(fetchedRows)) {
            files->setDownloaded(row, true);
            tab->selectFileRow(row);
        }
    }
    indicator.close();
    tab->form()->buttonImportFiles->setEnabled(true);
}

void Controller::onTabBlackBox_importFilesClicked()
{
    if (deferWhileFileBusy([this] { onTabBlackBox_importFilesClicked(); }))
        return;
    VTRACE();
    TabBlackBox* tab = view->tabBlackBox();
    const QString staging = ScpTransfer::localFetchFolder();
    if (!QFileInfo(staging).isDir() && !QFileInfo(staging).isSymLink()) {
        qCWarning(lcControl).noquote()
            << "ERROR: temp dir does not exists! (" + staging + QLatin1Char(')');
        return;
    }
    if (usableStagingFolder().isEmpty())
        return;

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
    const bool wasBlocked = model->blockSignals(true);
    for (int i = 0; i < paths.size(); ++i) {
        const size_t n = static_cast<size_t>(i);
        const QString name = QFileInfo(paths.at(i)).fileName();
        if (!read[n]) {
            unreadable.append(name);
        } else if (shots[n].recognisedLines == 0) {
            // Nothing of the format in it: an empty shot would only mislead the evaluation.
            qCWarning(lcControl).noquote() << "ERROR: not a black-box file:" << paths.at(i);
            notBlackBox.append(name);
        } else {
            BlackBoxFile::add(*model, std::move(shots[n]));
        }
    }
    model->blockSignals(wasBlocked);
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
    if (!problems.isEmpty()) {
        const int skipped = unreadable.size() + notBlackBox.size() + refused.size();
        QMessageBox::warning(view, QStringLiteral("Problem"),
                             tr("%n Datei(en) wurden nicht importiert.", nullptr, skipped) +
                                 QStringLiteral("<br><br>") +
                                 problems.join(QStringLiteral("<br><br>")));
    }
}
