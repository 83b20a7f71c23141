#pragma once

#include <QString>
#include <QStringList>

// File transfers to and from the device's USB stick through the external SCP tool
// : the fixed values, the argument texts of upload and fetch, and the one tool
// run that both share, with its message boxes. Everything blocks the GUI thread while the
// tool runs (at most the start and finish time-outs).
class ScpTransfer
{
public:
    static const QString userName;
    static const QString password;
    static const QString remoteUploadFolder;
    static const QString remoteDataFolder;
    static const QString localFetchFolderName;
    static constexpr int defaultStartTimeoutMs = 3000;
    static constexpr int defaultFinishTimeoutMs = 40000;

    // The application directory followed by "/winscp/winscp.com".
    static QString toolPath();
    // "tmp-blackbox-dir" in the system's temporary directory, as an absolute path.
    static QString localFetchFolder();
    // Every "/" replaced by a backslash, the path form the tool on the PC expects.
    static QString windowsPathForm(const QString& path);

    static QString uploadArguments(const QString& host, const QString& localArchivePath);
    static QString fetchArguments(const QString& host, const QString& directoryName);
    // The arguments the tool receives: the argument text split at blanks, a double-quoted
    // stretch forming one argument (the quotes removed).
    static QStringList argumentPieces(const QString& argumentText);

    // Runs the tool once with the argument text, in workingDirectory when one is given,
    // and reports every failure in a message box without parent. True only when the tool
    // ended normally with exit code 0.
    static bool runTool(const QString& argumentText, const QString& workingDirectory = QString());
    // One fetch: makes sure localFolder/directoryName exists and runs the tool with the
    // fetch arguments in localFolder, where the tool places the remote day folder.
    static bool fetchDirectory(const QString& host, const QString& directoryName,
                               const QString& localFolder);

    // For tests only: shorter time-outs (a value < 0 restores the default), and a stand-in
    // for the application directory (empty restores the real one).
    static void setTimeoutsForTesting(int startTimeoutMs, int finishTimeoutMs);
    static void setApplicationDirForTesting(const QString& directory);
    static int startTimeoutMs();
    static int finishTimeoutMs();
};
