#include "device/ScpTransfer.h"

#include "app/Logging.h"
#include "device/DeviceAddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

const QString ScpTransfer::userName = QStringLiteral("pi");
const QString ScpTransfer::password = QStringLiteral("k7315ta");
const QString ScpTransfer::remoteUploadFolder = QStringLiteral("/media/usbstick/");
const QString ScpTransfer::remoteDataFolder = QStringLiteral("/media/usbstick/data/");

namespace {

int startTimeout = ScpTransfer::defaultStartTimeoutMs;
int finishTimeout = ScpTransfer::defaultFinishTimeoutMs;
QString applicationDirOverride;
constexpr int killWaitMs = 5000;

// The one tool run in progress; a second is refused, since both would report through the
// same boxes and the quit could stop only one.
struct Run
{
    QProcess* process = nullptr;
    QEventLoop* loop = nullptr;
    bool stopped = false;
};
Run* currentRun = nullptr;

QString openCommand(const QString& host)
{
    return QStringLiteral("open ") + ScpTransfer::userName + QLatin1Char(':') +
           ScpTransfer::password + QLatin1Char('@') + host + QStringLiteral(" -hostkey=* ");
}

// Hands a failure to the caller, who tells the user.
bool failed(ScpTransfer::Problem* problem, const QString& title, const QString& text)
{
    if (problem) {
        problem->title = title;
        problem->text = text;
    }
    return false;
}

// The address becomes script text; anything but an address or a host name is refused.
bool usableHost(const QString& host, ScpTransfer::Problem* problem)
{
    if (isDeviceAddressText(host))
        return true;
    qCWarning(lcDevice).noquote() << "ERROR: device address refused:" << host.left(80);
    return failed(problem, QStringLiteral("Problem"),
                  QStringLiteral("The device address is not valid: ") +
                      host.left(80).toHtmlEscaped());
}

// The console tool reports each transferred file on a line of its own ending in "100%".
int completedFileLines(QByteArray& pending)
{
    int files = 0;
    int end;
    while ((end = pending.indexOf('\n')) >= 0) {
        if (pending.left(end).trimmed().endsWith("100%"))
            ++files;
        pending.remove(0, end + 1);
    }
    return files;
}

} // namespace

QString ScpTransfer::toolPath()
{
    const QString appDir = applicationDirOverride.isEmpty() ? QCoreApplication::applicationDirPath()
                                                            : applicationDirOverride;
    return appDir + QStringLiteral("/winscp/winscp.com");
}

QString ScpTransfer::windowsPathForm(const QString& path)
{
    return QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString ScpTransfer::quotedPath(const QString& path)
{
    return QLatin1Char('"') + QString(path).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QStringList ScpTransfer::uploadPieces(const QString& host, const QString& localArchivePath)
{
    return {QStringLiteral("/command"), openCommand(host),
            QStringLiteral("put -preservetime ") + quotedPath(windowsPathForm(localArchivePath)) +
                QLatin1Char(' ') + quotedPath(remoteUploadFolder),
            QStringLiteral("exit")};
}

QStringList ScpTransfer::fetchPieces(const QString& host, const QString& directoryName)
{
    return {QStringLiteral("/command"), openCommand(host),
            QStringLiteral("get -preservetime ") + quotedPath(remoteDataFolder + directoryName),
            QStringLiteral("exit")};
}

QString ScpTransfer::argumentText(const QStringList& pieces)
{
    QStringList words;
    for (const QString& piece : pieces) {
        const bool quote =
            piece.isEmpty() || piece.contains(QLatin1Char(' ')) || piece.contains(QLatin1Char('"'));
        words.append(quote ? quotedPath(piece) : piece);
    }
    return words.join(QLatin1Char(' '));
}

QString ScpTransfer::uploadArguments(const QString& host, const QString& localArchivePath)
{
    return argumentText(uploadPieces(host, localArchivePath));
}

QString ScpTransfer::fetchArguments(const QString& host, const QString& directoryName)
{
    return argumentText(fetchPieces(host, directoryName));
}

bool ScpTransfer::runTool(const QStringList& pieces, const QString& workingDirectory,
                          const FileDone& fileDone, Problem* problem)
{
    VTRACE();
    if (currentRun) {
        qCWarning(lcDevice) << "ERROR: the SCP tool runs already; a second run is refused";
        return false;
    }
    const QString tool = toolPath();
    QProcess process;
    QString startLine =
        QStringLiteral("starting tool: ") + tool + QLatin1Char(' ') + argumentText(pieces);
    if (!workingDirectory.isEmpty()) {
        process.setWorkingDirectory(QDir(workingDirectory).absolutePath());
        startLine += QStringLiteral(" in ") + process.workingDirectory();
    }
    qCDebug(lcDevice).noquote() << startLine;

    // Program and arguments are kept apart, so a tool under a folder whose name holds a
    // blank starts too. Windows hands a process one command line, quoted as the tool reads it.
    process.setProgram(tool);
#ifdef Q_OS_WIN
    process.setNativeArguments(argumentText(pieces));
#else
    process.setArguments(pieces);
#endif

    QEventLoop loop;
    Run run;
    run.process = &process;
    run.loop = &loop;
    bool started = false;
    bool failedToStart = false;
    bool timedOut = false;
    QByteArray standardOutput;
    QByteArray pendingLines;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&process, &QProcess::started, &loop, [&] {
        started = true;
        deadline.start(finishTimeout);
    });
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failedToStart = true;
            loop.quit();
        }
    });
    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                     &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    const auto takeOutput = [&] {
        const QByteArray bytes = process.readAllStandardOutput();
        standardOutput += bytes;
        pendingLines += bytes;
        for (int n = completedFileLines(pendingLines); n > 0 && fileDone; --n)
            fileDone();
    };
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, takeOutput);

    currentRun = &run;
    deadline.start(startTimeout);
    process.start(QIODevice::ReadWrite);
    // Device lines and paints go on; a click now would start a command in the middle of
    // this one, so user input waits until the run is over.
    if (!failedToStart && process.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    currentRun = nullptr;
    deadline.stop();

    if (!started) {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(killWaitMs);
        }
        if (run.stopped)
            return false;
        return failed(problem, QStringLiteral("Problem"),
                      QStringLiteral("The SCP tool could not be started!<br><br>Tool command: ") +
                          tool + QStringLiteral("<br>Error: ") + process.errorString());
    }
    if (process.state() != QProcess::NotRunning) {
        // Out of time, stopped, or the application is quitting (which ends every loop).
        process.kill();
        process.waitForFinished(killWaitMs);
        if (!timedOut || run.stopped) {
            qCDebug(lcDevice) << "tool stopped";
            return false;
        }
        return failed(problem, QStringLiteral("Problem"), QStringLiteral("SCP did not end (yet)!"));
    }
    if (run.stopped) {
        qCDebug(lcDevice) << "tool stopped";
        return false;
    }

    takeOutput();
    const int exitCode = process.exitCode();
    const QByteArray standardError = process.readAllStandardError();
    qCDebug(lcDevice) << "exit code:" << exitCode;

    if (process.exitStatus() != QProcess::NormalExit) {
        return failed(problem, QStringLiteral("Problem"), QStringLiteral("The tool stopped!"));
    }
    if (exitCode != 0) {
        const QByteArray output = standardOutput + "\n*******\n" + standardError;
        failed(problem, QStringLiteral("SCP Problem"),
               QStringLiteral("SCP was NOT successful!!\n\nPlease check output:") +
                   QString::fromLatin1(output.constData()));
        qCWarning(lcDevice).noquote() << QString(64, QLatin1Char('-'));
        qCWarning(lcDevice).noquote() << "SCP Problem:";
        qCWarning(lcDevice).noquote() << "  StdOut:  " + QString::fromLatin1(standardOutput);
        qCWarning(lcDevice).noquote() << "  StdErr:  " + QString::fromLatin1(standardError);
        return false;
    }
    qCDebug(lcDevice) << "Normal Exit";
    return true;
}

bool ScpTransfer::fetchDirectory(const QString& host, const QString& directoryName,
                                 const QString& localFolder, const FileDone& fileDone,
                                 Problem* problem)
{
    VTRACE();
    if (!usableHost(host, problem))
        return false;
    QDir folder(localFolder);
    if (!folder.exists(directoryName))
        folder.mkpath(directoryName);
    return runTool(fetchPieces(host, directoryName), folder.absolutePath(), fileDone, problem);
}

bool ScpTransfer::uploadFile(const QString& host, const QString& localArchivePath,
                             Problem* problem)
{
    VTRACE();
    return usableHost(host, problem) &&
           runTool(uploadPieces(host, localArchivePath), QString(), FileDone(), problem);
}

bool ScpTransfer::isRunning()
{
    return currentRun != nullptr;
}

void ScpTransfer::stopRunning()
{
    if (!currentRun)
        return;
    qCDebug(lcDevice) << "stopping the SCP tool";
    currentRun->stopped = true;
    currentRun->process->kill();
    currentRun->loop->quit();
}

void ScpTransfer::setTimeoutsForTesting(int startTimeoutMs, int finishTimeoutMs)
{
    startTimeout = startTimeoutMs < 0 ? defaultStartTimeoutMs : startTimeoutMs;
    finishTimeout = finishTimeoutMs < 0 ? defaultFinishTimeoutMs : finishTimeoutMs;
}

void ScpTransfer::setApplicationDirForTesting(const QString& directory)
{
    applicationDirOverride = directory;
}

int ScpTransfer::startTimeoutMs()
{
    return startTimeout;
}

int ScpTransfer::finishTimeoutMs()
{
    return finishTimeout;
}
