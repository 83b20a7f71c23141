#pragma once

#include "tools/sim/ShotFault.h"

#include <QFile>
#include <QString>

// The labels of a simulated shot set: a CSV file with the header "<key>,fault" and one line
// per shot, the fault's name or "none". Each line reaches the file as the shot is made, so
// a run that is ended keeps the labels of the shots it sent.
class ShotLabels
{
public:
    // Starts the file anew; false with errorString() when it cannot be written.
    bool open(const QString& path, const QString& keyName = QStringLiteral("shot"));
    bool isOpen() const { return m_file.isOpen(); }
    bool append(const QString& key, const ShotFault& fault);
    bool close();
    QString errorString() const { return m_error; }

private:
    bool write(const QByteArray& line);

    QFile m_file;
    QString m_error;
};
