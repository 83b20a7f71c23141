#include "device/ScpTransfer.h"

#include "app/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>

const QString ScpTransfer::userName = QStringLiteral("pi");
const QString ScpTransfer::password = QStringLiteral("k7315ta");
const QString ScpTransfer::remoteUploadFolder = QStringLiteral("/media/usbstick/");
const QString ScpTransfer::remoteDataFolder = QStringLiteral("/media/usbstick/data/");
const QString ScpTransfer::localFetchFolderName = QStringLiteral("tmp-blackbox-dir");

namespace {

int startTimeout = ScpTransfer::defaultStartTimeoutMs;
int finishTimeout = ScpTransfer::defaultFinishTimeoutMs;
QString applicationDirOverride;
constexpr int killWaitMs = 5000;

QString openPieces(const QString& host)
{
    return QStringLiteral("/command \"open ") + ScpTransfer::userName + QLatin1Char(':') +
           ScpTransfer::password + QLatin1Char('@') + host;
}

void restoreOverrideCursor()
{
    if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace

QString ScpTransfer::toolPath()
{
    const QString appDir = applicationDirOverride.isEmpty() ? QCoreApplication::applicationDirPath()
                                                            : applicationDirOverride;
    return appDir + QStringLiteral("/winscp/winscp.com");
}

QString ScpTransfer::localFetchFolder()
{
    return QDir(QDir::tempPath()).absoluteFilePath(localFetchFolderName);
}

QString ScpTransfer::windowsPathForm(const QString& path)
{
    return QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString ScpTransfer::uploadArguments(const QString& host, const QString& localArchivePath)
{
    return openPieces(host) + QStringLiteral(" -hostkey=* \" \"put -preservetime ") +
           windowsPathForm(localArchivePath) + QStringLiteral(" /media/usbstick/\" \"exit\"");
}

QString ScpTransfer::fetchArguments(const QString& host, const QString& directoryName)
{
    return openPieces(host) +
           QStringLiteral(" -hostkey=* \" \"get -preservetime /media/usbstick/data/") +
           directoryName + QStringLiteral("\" \"exit\"");
}

QStringList ScpTransfer::argumentPieces(const QString& argumentText)
{
    return QProcess::splitCommand(argumentText);
}

bool ScpTransfer::runTool(const QString& argumentText, const QString& workingDirectory)
{
    VTRACE();
    const QString tool = toolPath();
    QProcess process;
    QString startLine = QStringLiteral("starting tool: ") + tool + QLatin1Char(' ') + argumentText;
    if (!workingDirectory.isEmpty()) {
        process.setWorkingDirectory(QDir(workingDirectory).absolutePath());
        startLine += QStringLiteral(" in ") + process.workingDirectory();
    }
    qCDebug(lcDevice).noquote() << startLine;

    // Program and arguments are kept apart, so a tool under a folder whose name holds a
    // blank starts too; the tool receives the same pieces as from the one command text.
    process.start(tool, argumentPieces(argumentText), QIODevice::ReadWrite);
    if (!process.waitForStarted(startTimeout)) {
        restoreOverrideCursor();
        QMessageBox::warning(
            nullptr, QStringLiteral("Problem"),
            QStringLiteral("The SCP tool could not be started!<br><br>Tool command: ") + tool +
                QStringLiteral("<br>Error: ") + process.errorString());
        return false;
    }

    // Device lines and paints go on; a click now would start a command in the middle of
    // this one, so user input waits until the transfer is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // A quick tool may have ended while those events were processed; waitForFinished()
    // then reports false although nothing is left to wait for.
    const bool ended =
        process.waitForFinished(finishTimeout) || process.state() == QProcess::NotRunning;
    if (!ended) {
        restoreOverrideCursor();
        QMessageBox::warning(nullptr, QStringLiteral("Problem"),
                             QStringLiteral("SCP did not end (yet)!"));
        // What destroying the process object would do, without Qt's warning about it.
        process.kill();
        process.waitForFinished(killWaitMs);
        return false;
    }

    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    restoreOverrideCursor();
    const int exitCode = process.exitCode();
    const QByteArray standardOutput = process.readAllStandardOutput();
    const QByteArray standardError = process.readAllStandardError();
    qCDebug(lcDevice) << "exit code:" << exitCode;

    if (process.exitStatus() != QProcess::NormalExit) {
        QMessageBox::warning(nullptr, QStringLiteral("Problem"),
                             QStringLiteral("The tool stopped!"));
        return false;
    }
    if (exitCode != 0) {
        const QByteArray output = standardOutput + "\n*******\n" + standardError;
        QMessageBox::warning(nullptr, QStringLiteral("SCP Problem"),
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
                                 const QString& localFolder)
{
    VTRACE();
    QDir folder(localFolder);
    if (!folder.exists(directoryName))
        folder.mkpath(directoryName);
    return runTool(fetchArguments(host, directoryName), folder.absolutePath());
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
