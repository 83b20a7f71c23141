#pragma once

#include <QDate>

class ShotFaultPlan;
class ShotLabels;
#include <QString>
#include <QStringList>

// The simulated device's USB stick: a folder standing for /media/usbstick/ with the
// black-box day folders below data/.
class StickFolder
{
public:
    explicit StickFolder(const QString& path);

    QString path() const { return m_path; }
    QString dataPath() const;
    // Names of the folders in data/, sorted (the device lists them for "list").
    QStringList dayFolders() const;
    // What the device lists for "list": every black-box file as its day folder, "/" and
    // its name, by day and name, so that a day counts as many entries as it holds shots.
    QStringList listEntries() const;
    bool hasDayFolders() const { return !dayFolders().isEmpty(); }

    // Writes days day folders ending with lastDay, each with shotsPerDay shots recorded
    // at random times of the working day, in micrometres unless told otherwise. Returns
    // the number of files written. With a fault plan each shot may carry a fault, which
    // labels records under the file as list names it.
    int generate(const QDate& lastDay, int days, int shotsPerDay, unsigned int seed,
                 bool micrometres = true, ShotFaultPlan* faults = nullptr,
                 ShotLabels* labels = nullptr) const;

private:
    QString m_path;
};
