#include "tests/common/PostgresServer.h"

#include <QDir>
#include <QProcess>

PostgresServer::PostgresServer()
    : m_dir(QDir::tempPath() + QStringLiteral("/ventaro-pg-XXXXXX"))
{
}

PostgresServer::~PostgresServer()
{
    if (m_running)
        stop();
}

bool PostgresServer::start()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder: %1").arg(m_dir.errorString());
        return false;
    }
    QString line;
    if (!script(QStringLiteral("start"), &line))
        return false;
    if (!line.startsWith(QStringLiteral("host="))) {
        m_error = QStringLiteral("pg-server.sh printed no connection string: %1").arg(line);
        return false;
    }
    m_connection = line;
    m_running = true;
    return true;
}

bool PostgresServer::stop()
{
    QString line;
    const bool ok = script(QStringLiteral("stop"), &line);
    m_running = !ok;
    return ok;
}

bool PostgresServer::script(const QString& command, QString* lastLine)
{
    QProcess process;
    process.start(QStringLiteral("bash"),
                  {QStringLiteral(VENTARO_PG_SCRIPT), command, m_dir.path()});
    // initdb and a start each take a few seconds; a loaded machine may need far more.
    if (!process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
        m_error = QStringLiteral("pg-server.sh %1 did not finish").arg(command);
        return false;
    }
    const QStringList lines = QString::fromLocal8Bit(process.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    *lastLine = lines.value(lines.size() - 1).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error =
            QStringLiteral("pg-server.sh %1 failed: %2")
                .arg(command, QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}
