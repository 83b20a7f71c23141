#include "store/RecoverCommand.h"

#include "app/CommandOutput.h"
#include "model/Model.h"
#include "store/Journal.h"
#include "store/ShotProject.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTextStream>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace RecoverCommand {

namespace {

using CommandOutput::csvField;

// With the offset, so that a script reads the same moment on any PC.
QString isoText(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

struct Found
{
    Journal::Entry entry;
    size_t journal = 0;
};

QString shotName(const Found& found, const Journal& journal)
{
    return QStringLiteral("shot %1 of session %2 (%3) in %4")
        .arg(found.entry.shot)
        .arg(found.entry.session)
        .arg(isoText(found.entry.startedAt), QFileInfo(journal.path()).fileName());
}

} // namespace

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Recovers the shots that the journals of this PC hold and no saved project file does "
        "(after a crash, a killed program or a power cut). The journals are in the folder "
        "VENTARO_DATA_DIR names, else in Ventaro's data folder; one that a running Ventaro "
        "holds is left alone.\n"
        "  recover --list    prints them as CSV: session,shot,started_at,samples,project\n"
        "  recover OUT.mvx   writes them in time order into the new project file OUT.mvx and "
        "marks them saved there\n"
        "Exit status: 0 done, 1 a journal or the file could not be read or written, 2 wrong "
        "usage."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("recover"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("OUT.mvx"),
                                 QStringLiteral("The new project file (not with --list)."));
    parser.addOption({QStringLiteral("list"),
                      QStringLiteral("Only list the shots; changes nothing.")});

    const auto usage = [&err](const QString& text) { return CommandOutput::usage(err, text); };
    const auto note = [&err](const QString& text) {
        err << "ventaro-cli: " << text << '\n';
        err.flush();
    };

    if (int exitCode = Success; !CommandOutput::parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    const bool listOnly = parser.isSet(QStringLiteral("list"));
    if (positional.value(0) != QLatin1String("recover") ||
        positional.size() != (listOnly ? 1 : 2))
        return usage(QStringLiteral("expected: recover OUT.mvx, or recover --list"));

    const QString folder = Journal::defaultFolder();
    if (folder.isEmpty()) {
        note(QStringLiteral("the data folder cannot be created"));
        return DataError;
    }
    QString outPath;
    if (!listOnly) {
        outPath = QFileInfo(positional.at(1)).absoluteFilePath();
        // Recovery never replaces a file: it might be the very project the shots belong to.
        if (QFileInfo::exists(outPath)) {
            note(QStringLiteral("%1 exists; name a new project file").arg(outPath));
            return DataError;
        }
    }

    // The locks are held to the end, so that a program starting meanwhile takes a journal of
    // its own instead of one whose shots are being recovered.
    std::vector<std::unique_ptr<QLockFile>> locks;
    std::vector<std::unique_ptr<Journal>> journals;
    std::vector<Found> found;
    bool incomplete = false;
    const QDir dir(folder);
    const QStringList files =
        dir.entryList({QStringLiteral("journal*.sqlite")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString path = dir.filePath(file);
        auto lock = std::make_unique<QLockFile>(Journal::lockPath(path));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            if (lock->error() == QLockFile::LockFailedError) {
                note(QStringLiteral("%1 is held by a running program and left alone").arg(path));
            } else {
                note(QStringLiteral("%1 cannot be locked and is left alone").arg(path));
                incomplete = true;
            }
            continue;
        }
        auto journal =
            std::make_unique<Journal>(QStringLiteral("ventaro-cli-recover-%1").arg(journals.size()));
        if (!journal->open(path)) {
            note(journal->error());
            incomplete = true;
            continue;
        }
        const QVector<Journal::Entry> entries = journal->unsaved();
        if (!journal->error().isEmpty()) {
            note(journal->error());
            incomplete = true;
            continue;
        }
        for (const Journal::Entry& entry : entries)
            found.push_back({entry, journals.size()});
        locks.push_back(std::move(lock));
        journals.push_back(std::move(journal));
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.entry.startedAt < b.entry.startedAt;
    });
    const int status = incomplete ? DataError : Success;

    if (listOnly) {
        out << "session,shot,started_at,samples,project\n";
        for (const Found& f : found) {
            const QString project =
                f.entry.projectName.isEmpty() ? f.entry.projectFile : f.entry.projectName;
            out << f.entry.session << ',' << f.entry.shot << ',' << isoText(f.entry.startedAt)
                << ',' << f.entry.samples << ',' << csvField(project) << '\n';
        }
        out.flush();
        return status;
    }
    if (found.empty()) {
        out << "nothing to recover\n";
        out.flush();
        return status;
    }

    QVector<StoredShot> shots;
    std::map<size_t, QVector<QUuid>> recovered;
    for (const Found& f : found) {
        const Journal& journal = *journals[f.journal];
        std::optional<StoredShot> shot = journal.read(f.entry.id);
        if (!shot) {
            note(journal.error());
            incomplete = true;
            continue;
        }
        // A project has one clock; these wait for a recovery of their own.
        if (!shots.isEmpty() && shot->clockMs != shots.first().clockMs) {
            note(QStringLiteral("%1 was recorded at %2 ms per sample, not %3 ms, and stays in "
                                "the journal")
                     .arg(shotName(f, journal))
                     .arg(shot->clockMs)
                     .arg(shots.first().clockMs));
            continue;
        }
        shots.append(std::move(*shot));
        recovered[f.journal].append(f.entry.id);
    }
    if (shots.isEmpty()) {
        out << "nothing to recover\n";
        out.flush();
        return DataError;
    }

    Model model;
    ShotProject::append(model, shots);
    shots.clear();
    if (!model.save(outPath)) {
        note(QStringLiteral("cannot write %1: %2; nothing was marked")
                 .arg(outPath, model.fileError().isEmpty() ? QStringLiteral("unknown reason")
                                                           : model.fileError()));
        return DataError;
    }
    for (const auto& [index, ids] : recovered) {
        if (!journals[index]->markSaved(ids, outPath)) {
            note(QStringLiteral("%1 written, but %2 shots stay offered: %3")
                     .arg(outPath)
                     .arg(ids.size())
                     .arg(journals[index]->error()));
            incomplete = true;
        }
    }
    out << model.numChannels(0) << " shots recovered into " << outPath << '\n';
    out.flush();
    return incomplete ? DataError : Success;
}

} // namespace RecoverCommand
