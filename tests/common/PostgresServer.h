#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the test's own, in a temporary folder, started and stopped through
// scripts/pg-server.sh: real, reachable only over a unix socket in that folder, and gone
// with this object.
class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Starts the server, on the same data and socket when it ran before; false with error().
    bool start();
    bool stop();
    bool isRunning() const { return m_running; }
    // The libpq connection string; the same after a restart.
    QString connectionString() const { return m_connection; }
    QString error() const { return m_error; }

private:
    bool script(const QString& command, QString* lastLine);

    QTemporaryDir m_dir;
    QString m_connection;
    QString m_error;
    bool m_running = false;
};
