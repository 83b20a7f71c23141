#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The black-box workflow's staging folder (in this user's cache folder of the application,
// one folder per device and one for copies from a stick) and the names that may enter it. Day names
// come from the device or from a folder on a stick and become folder names and SCP script text;
// only names of the device's own form are let through, so that none can reach outside the staging
// folder or into the tool's command line.
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

// The staging folder: "blackbox" in the application's cache location, which belongs to
// this user and this program alone.
QString rootFolder();
// The folder below the staging folder for the files of the device at host, and the one for
// day folders copied from a stick by hand. Files of different devices never meet.
QString deviceFolderName(const QString& host);
extern const QString localCopiesFolderName;

// Makes sure the folder can be used safely: creates it for this user alone when missing,
// refuses it when it is a symbolic link, not a directory, or not owned by this user (a
// shared temporary directory lets others plant such a thing), and takes write access
// away from others. False with the reason when it must not be used.
bool prepare(const QString& folder, QString* reason);
// Makes sure folder/dayName exists and is a real directory inside folder.
bool prepareDayFolder(const QString& folder, const QString& dayName, QString* reason);

// The "*.bb" files of a folder, in name order.
QStringList blackBoxFiles(const QString& folder);
// Makes target a copy of source: a copy already there stays when it is equal, and is
// replaced when it differs. False, with a diagnostic, when target is not a copy afterwards.
bool replaceIfDifferent(const QString& source, const QString& target);
// Copies the given files (from blackBoxFiles) of a day folder into the staging folder's
// folder of the same name, replacing a staged copy that differs, and calls fileDone after
// each. Returns the relative paths of the files now staged as they are in the source, and
// none other. Touches no widget, so that it can run on a worker.
QStringList copyDayFolder(const QString& sourceFolder, const QStringList& files,
                          const QString& stagingFolder, const std::function<void()>& fileDone = {});
// The "*.bb" files of a staged day folder as relative paths, in name order.
QStringList stagedFiles(const QString& stagingFolder, const QString& dayName);

} // namespace BlackBoxStaging
