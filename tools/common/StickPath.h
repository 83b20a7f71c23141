#pragma once

#include <QDir>
#include <QString>
#include <QtGlobal>

// Where the simulated device keeps its USB stick: the folder that stands for the device's
// /media/usbstick/. Shared by kalvik-sim and the SCP tool stand-in, so that both agree
// without being told twice: an explicit choice, else KALVIK_STICK_DIR, else a folder in
// the system's temporary directory.
inline QString kalvikStickDir(const QString& explicitChoice = QString())
{
    if (!explicitChoice.isEmpty())
        return QDir(explicitChoice).absolutePath();
    const QString fromEnvironment = qEnvironmentVariable("KALVIK_STICK_DIR");
    if (!fromEnvironment.isEmpty())
        return QDir(fromEnvironment).absolutePath();
    return QDir(QDir::tempPath()).absoluteFilePath(QStringLiteral("kalvik-stick"));
}
