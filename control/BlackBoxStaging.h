#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The black-box workflow's local staging folder ("tmp-blackbox-dir" in the temporary
// directory) and the names that may enter it. Day names come from the device or from a
// folder on a stick and become folder names and SCP script text; only names of the
// device's own form are let through, so that none can reach outside the staging folder or
// into the tool's command line.
namespace BlackBoxStaging {

// "dir-" followed by eight digits, the form the device gives its day folders.
bool isDayFolderName(const QString& name);
// A file name without any path: no separator, not "." or "..".
bool isPlainFileName(const QString& name);
// A day folder, "/" and a plain file name: the only form a staged file is named by.
bool isStagedFilePath(const QString& relativePath);
// The day folder of a date text day.month.year ("24.12.2019" gives "dir-20191224"), or
// empty when the text is not of that form.
QString dayFolderForDate(const QString& dateText);

// The date in a day folder name or a path that begins with one: characters 10-11, 8-9 and
// 4-7 as day.month.year ("dir-20191224" gives "24.12.2019").
QString dateOfPath(const QString& path);

// Makes sure the folder can be used safely: creates it for this user alone when missing,
// refuses it when it is a symbolic link, not a directory, or not owned by this user (a
// shared temporary directory lets others plant such a thing), and takes write access
// away from others. False with the reason when it must not be used.
bool prepare(const QString& folder, QString* reason);
// Makes sure folder/dayName exists and is a real directory inside folder.
bool prepareDayFolder(const QString& folder, const QString& dayName, QString* reason);

// The "*.bb" files of a folder, in name order.
QStringList blackBoxFiles(const QString& folder);
// Copies the given files (from blackBoxFiles) of a day folder into the staging folder's
// folder of the same name, leaving files already there as they are, and calls fileDone after
// each. Returns their relative paths (also those whose copy failed: an earlier copy may be
// there). Touches no widget, so that it can run on a worker.
QStringList copyDayFolder(const QString& sourceFolder, const QStringList& files,
                          const QString& stagingFolder, const std::function<void()>& fileDone = {});
// The "*.bb" files of a staged day folder as relative paths, in name order.
QStringList stagedFiles(const QString& stagingFolder, const QString& dayName);

} // namespace BlackBoxStaging
