// The controller's gaps: the stretches in which the link was down during a recording, and
// filling them with the shots the device wrote to its stick meanwhile.
#include "control/Controller.h"

#include "analysis/StickMatch.h"
#include "app/Constants.h"
#include "app/Logging.h"
#include "control/BackfillPlan.h"
#include "control/BlackBoxStaging.h"
#include "control/FileJob.h"
#include "control/ScpProblemBox.h"
#include "control/ShotJournal.h"
#include "device/KalvikConnector.h"
#include "device/ScpTransfer.h"
#include "model/BlackBoxFile.h"
#include "model/BlackBoxShot.h"
#include "model/Model.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Long enough for the device to write the shot it was recording as the link came back.
constexpr int retryWithoutShotsMs = 3000;

} // namespace

bool Controller::autoBackfill() const
{
    return QSettings(settingsOrganization, settingsApplication)
        .value(settingsKeyAutoBackfill, true)
        .toBool();
}

void Controller::setAutoBackfill(bool on)
{
    QSettings(settingsOrganization, settingsApplication).setValue(settingsKeyAutoBackfill, on);
}

void Controller::openRecordingGap(const QDateTime& at)
{
    RecordingGap gap;
    gap.from = at;
    model->addRecordingGap(gap);
    qCInfo(lcControl).noquote() << "recording gap from" << at.toString(Qt::ISODateWithMs);
}

void Controller::closeRecordingGaps(const QDateTime& at)
{
    const QVector<RecordingGap> gaps = model->recordingGaps();
    bool closed = false;
    for (int i = 0; i < gaps.size(); ++i) {
        if (!gaps.at(i).isOpen())
            continue;
        RecordingGap gap = gaps.at(i);
        gap.to = at;
        model->setRecordingGap(i, gap);
        closed = true;
    }
    // The shots of the gap are all on the stick once the device wrote the one running as the
    // link came back: after the next shot recorded live.
    if (closed && autoBackfill())
        backfillAfterNextShot = true;
}

void Controller::backfillIfDue()
{
    // A shot ended by a lost link is no shot of a live link: the flag waits for one.
    if (!backfillAfterNextShot || !autoBackfill() || !hasUnfilledGap() || !connector->isConnected())
        return;
    backfillAfterNextShot = false;
    // Not inside the line handler: filling runs the event loop.
    QTimer::singleShot(0, this, [this] { fillGaps(false); });
}

bool Controller::gapOnStick(const RecordingGap& gap, const QVector<StickMatch::Shot>& stick,
                            const StickMatch::Result& match) const
{
    // The device writes a shot at its cycle's end, before the next begins: once the first
    // shot recorded live after the gap is on the stick, so is every shot of the gap.
    for (int i = 0; i < model->numChannels(0); ++i) {
        if (model->isFromBlackBox(i) || !(model->timestamp(i) > gap.to))
            continue;
        const QVector<double> head = StickMatch::headOf(*model->measurement(0, i));
        return std::any_of(stick.cbegin(), stick.cend(), [&head](const StickMatch::Shot& s) {
            return StickMatch::sameShot(s.head, head);
        });
    }
    // No live shot since: a stick shot well after the gap's end.
    const qint64 margin = std::llround((match.toleranceSeconds + 1.0) * 1000.0);
    return std::any_of(stick.cbegin(), stick.cend(), [&](const StickMatch::Shot& s) {
        return s.time.isValid() &&
               BackfillPlan::computerTime(s.time, match) > gap.to.addMSecs(margin);
    });
}

void Controller::retryBackfillLater()
{
    QTimer::singleShot(retryWithoutShotsMs, this, [this] {
        if (!hasUnfilledGap())
            return;
        // A link away or a list cut off by it: later again.
        if (!connector->isConnected() || reconnecting || backfillListPending) {
            backfillListPending = false;
            retryBackfillLater();
            return;
        }
        fillGaps(false);
    });
}

bool Controller::hasUnfilledGap() const
{
    for (const RecordingGap& gap : model->recordingGaps()) {
        if (gap.wantsFilling())
            return true;
    }
    return false;
}

void Controller::fillGaps(bool asked)
{
    if (deferWhileFileBusy([this, asked] { fillGaps(asked); }))
        return;
    if (!hasUnfilledGap()) {
        if (asked)
            view->showInfo(tr("Lücken füllen"), tr("Es gibt keine offenen Lücken."));
        return;
    }
    if (!connector->isConnected()) {
        if (asked)
            view->showInfo(tr("Lücken füllen"),
                           tr("Die Lücken werden aus der Black Box des Geräts gefüllt: bitte "
                              "zuerst verbinden."));
        return;
    }
    backfillAsked = asked;
    backfillListPending = true;
    connector->write(QStringLiteral("list\n"));
    // A reply the link cuts off never comes: then this is tried again.
    retryBackfillLater();
}

void Controller::onListForBackfill(const QStringList& names)
{
    if (!std::exchange(backfillListPending, false))
        return;
    // Not inside the line handler: fetching runs the event loop.
    QTimer::singleShot(0, this, [this, names] { runBackfill(names); });
}

void Controller::runBackfill(const QStringList& names)
{
    if (deferWhileFileBusy([this, names] { runBackfill(names); }))
        return;
    VTRACE();
    QElapsedTimer timer;
    timer.start();
    const QStringList days = BackfillPlan::daysFor(model->recordingGaps(), names);
    if (days.isEmpty()) {
        qCWarning(lcControl) << "backfill: the device lists no day of the gaps";
        if (backfillAsked)
            view->showInfo(tr("Lücken füllen"),
                           tr("Die Black Box des Geräts enthält keinen Tag der Lücken."));
        return;
    }
    const QString staging = usableStagingFolder();
    if (staging.isEmpty())
        return;
    QTemporaryDir incoming(QDir(staging).filePath(QStringLiteral("backfill-XXXXXX")));
    if (!incoming.isValid()) {
        qCWarning(lcControl).noquote() << "backfill: no folder:" << incoming.errorString();
        return;
    }

    // The days through the usual transfer, then their files read on a worker: user commands
    // wait meanwhile, device lines go on.
    QStringList paths;
    fetchRunning = true;
    fetchStopped = false;
    for (const QString& day : days) {
        if (fetchStopped)
            break;
        ScpTransfer::Problem problem;
        if (!ScpTransfer::fetchDirectory(connector->host(), day, incoming.path(), {}, &problem)) {
            qCWarning(lcControl).noquote() << "backfill: fetching" << day << "failed";
            if (backfillAsked)
                ScpProblemBox::show(problem);
            continue;
        }
        const QDir fetched(QDir(incoming.path()).filePath(day));
        for (const QString& file : BlackBoxStaging::blackBoxFiles(fetched.path()))
            paths.append(fetched.filePath(file));
    }
    std::vector<BlackBoxShot> stickShots;
    std::vector<char> read;
    if (!fetchStopped) {
        FileJob job;
        job.run([&paths, &stickShots, &read](const FileJob::Progress& progress) {
            BlackBoxFile::readFiles(paths, stickShots, read, progress);
            return true;
        });
    }
    fetchRunning = false;

    // What the project holds live against what the stick holds.
    // Shots taken from the stick before count as present too, so that none comes twice.
    QVector<StickMatch::Shot> live;
    for (int i = 0; i < model->numChannels(0); ++i) {
        if (!model->timestamp(i).isValid())
            continue;
        live.append({model->timestamp(i), StickMatch::headOf(*model->measurement(0, i))});
    }
    QVector<StickMatch::Shot> stick;
    QVector<QDateTime> stickTimes;
    for (size_t s = 0; s < stickShots.size(); ++s) {
        const bool usable = read.at(s) && stickShots.at(s).recognisedLines > 0;
        const QDateTime time = usable ? stickShots.at(s).timestamp : QDateTime();
        stick.append({time, StickMatch::headOf(stickShots.at(s).samples[0])});
        stickTimes.append(time);
    }
    const StickMatch::Result match = StickMatch::match(live, stick);
    const QVector<RecordingGap> gaps = model->recordingGaps();
    const BackfillPlan::Choice choice = BackfillPlan::choose(gaps, stickTimes, match);
    qCInfo(lcControl).noquote() << QStringLiteral(
                                       "backfill: %1 stick files, offset %2 s, %3 matched (%4 by "
                                       "readings), %5 to add")
                                       .arg(paths.size())
                                       .arg(match.offsetSeconds)
                                       .arg(match.matched)
                                       .arg(match.matchedByReadings)
                                       .arg(choice.shots.size());
    if (!match.ok) {
        if (backfillAsked)
            view->showInfo(tr("Lücken füllen"),
                           tr("Keine Messung des Projekts ist in der Black Box zu finden; ohne "
                              "sie lassen sich die Uhren nicht abgleichen, und es wird nichts "
                              "ergänzt."));
        return;
    }

    // Shots of another sample period would be drawn on the wrong time axis.
    QVector<int> held = choice.held;
    QVector<Model::TakenShot> added;
    for (int c = 0; c < choice.shots.size(); ++c) {
        BlackBoxShot& shot = stickShots.at(static_cast<size_t>(choice.shots.at(c)));
        const QDateTime time = BackfillPlan::computerTime(shot.timestamp, match);
        if (shot.samplePeriodMs > 0 && model->clock() > 0 &&
            shot.samplePeriodMs != model->clock()) {
            qCWarning(lcControl) << "backfill: a stick shot of" << shot.samplePeriodMs
                                 << "ms per sample is not added to a project of" << model->clock();
            --held[choice.gapOf.at(c)];
            continue;
        }
        Model::TakenShot taken;
        for (int k = 0; k < Model::numSensors; ++k)
            taken.samples[static_cast<size_t>(k)] = std::move(shot.samples[static_cast<size_t>(k)]);
        taken.time = time;
        taken.id = QUuid::createUuid();
        taken.fromBlackBox = true;
        added.append(std::move(taken));
    }
    bool incomplete = false;
    for (int g = 0; g < gaps.size(); ++g) {
        if (!gaps.at(g).wantsFilling())
            continue;
        RecordingGap gap = gaps.at(g);
        // A gap whose end is not on the stick yet may have more shots: it stays unfilled and
        // is looked at again after the next shot.
        const bool complete = gapOnStick(gap, stick, match);
        gap.deviceShots = complete ? choice.deviceShots.at(g) : -1;
        gap.filled = held.at(g);
        if (!complete)
            incomplete = true;
        pendingGapUpdates.append({g, gap});
    }
    // Looked at again after the next shot, or without a recording a while later.
    if (incomplete && connector->recordingRequested())
        backfillAfterNextShot = true;
    else if (incomplete)
        retryBackfillLater();
    pendingBackfill += added;
    backfillMs = timer.nsecsElapsed() / 1e6;
    insertBackfillWhenIdle();
}

void Controller::insertBackfillWhenIdle()
{
    // Shots put in before the running one would move it under the recorder: they wait for
    // its end.
    if (recordingRunning) {
        if (!backfillWaitsForShotEnd) {
            backfillWaitsForShotEnd = true;
            connect(this, &Controller::recordingEnded, this, &Controller::insertBackfillWhenIdle,
                    Qt::QueuedConnection);
        }
        return;
    }
    if (backfillWaitsForShotEnd) {
        backfillWaitsForShotEnd = false;
        disconnect(this, &Controller::recordingEnded, this, &Controller::insertBackfillWhenIdle);
    }
    if (model->isFileBusy()) {
        deferWhileFileBusy([this] { insertBackfillWhenIdle(); });
        return;
    }
    const QVector<Model::TakenShot> shots = std::exchange(pendingBackfill, {});
    const auto updates = std::exchange(pendingGapUpdates, {});
    if (!shots.isEmpty()) {
        emit model->dataAboutToChange();
        model->blockSignals(true);
        for (Model::TakenShot shot : shots) {
            shot.index = BackfillPlan::insertionIndex(model->timestamps(), *shot.time);
            if (model->restoreShot(shot))
                shotJournal->addWholeShot(shot.index);
            else
                qCWarning(lcControl) << "backfill: a shot could not be put in at" << shot.index + 1;
        }
        model->blockSignals(false);
        // Taken in: the project changed and counts as unsaved.
        emit model->projectChanged();
        emit model->dataChanged();
    }
    for (const auto& update : updates) {
        if (update.first < model->recordingGaps().size())
            model->setRecordingGap(update.first, update.second);
    }
    if (!shots.isEmpty() || !updates.isEmpty())
        emit gapsFilled(shots.size());
}
