#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// File transfers to and from the device's USB stick through the external SCP tool: the
// fixed values, the script commands of upload and fetch, and the one tool run that both
// share. A failure is handed back as a title and a text; telling the user is the caller's
// business (this layer shows nothing). While the tool runs (at most the start and finish
// time-outs) the event loop goes on without user input: the window repaints and device
// lines arrive, clicks and keys wait until the run is over.
class ScpTransfer
{
public:
    static const QString userName;
    static const QString password;
    static const QString remoteUploadFolder;
    static const QString remoteDataFolder;
    static constexpr int defaultStartTimeoutMs = 3000;
    static constexpr int defaultFinishTimeoutMs = 40000;

    // The application directory followed by "/winscp/winscp.com".
    static QString toolPath();
    // Every "/" replaced by a backslash, the path form the tool on the PC expects.
    static QString windowsPathForm(const QString& path);
    // A path as one word of a script command: in double quotes, a quote inside doubled.
    static QString quotedPath(const QString& path);

    // The arguments the tool receives: "/command" and the script commands open, put or
    // get, and exit. Built as pieces, so that no text inside a piece can split it.
    static QStringList uploadPieces(const QString& host, const QString& localArchivePath);
    static QStringList fetchPieces(const QString& host, const QString& directoryName);
    // The pieces as one command-line text, each piece with a blank or quote in quotes
    // (a quote inside doubled): what the log shows and what the tool gets on Windows.
    static QString argumentText(const QStringList& pieces);
    static QString uploadArguments(const QString& host, const QString& localArchivePath);
    static QString fetchArguments(const QString& host, const QString& directoryName);

    // Called once for every file the tool reports as transferred.
    using FileDone = std::function<void()>;

    // What went wrong, for a warning box: empty when there is nothing to tell (success, a
    // run ended by stopRunning(), a second run refused).
    struct Problem
    {
        QString title;
        QString text;
        bool isEmpty() const { return title.isEmpty() && text.isEmpty(); }
    };

    // Runs the tool once with the pieces, in workingDirectory when one is given. True only
    // when the tool ended normally with exit code 0; otherwise problem, when given, tells
    // why. A run ended by stopRunning() fails with no problem to tell.
    static bool runTool(const QStringList& pieces, const QString& workingDirectory = QString(),
                        const FileDone& fileDone = FileDone(), Problem* problem = nullptr);
    // One fetch: makes sure localFolder/directoryName exists and runs the tool with the
    // fetch arguments in localFolder, where the tool places the remote day folder.
    static bool fetchDirectory(const QString& host, const QString& directoryName,
                               const QString& localFolder, const FileDone& fileDone = FileDone(),
                               Problem* problem = nullptr);
    // The firmware upload: the archive to the root of the stick at host.
    static bool uploadFile(const QString& host, const QString& localArchivePath,
                           Problem* problem = nullptr);

    // Whether a tool runs now, and ending it (the quit of the application).
    static bool isRunning();
    static void stopRunning();

    // For tests only: shorter time-outs (a value < 0 restores the default), and a stand-in
    // for the application directory (empty restores the real one).
    static void setTimeoutsForTesting(int startTimeoutMs, int finishTimeoutMs);
    static void setApplicationDirForTesting(const QString& directory);
    static int startTimeoutMs();
    static int finishTimeoutMs();
};
