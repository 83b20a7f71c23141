#pragma once

#include "tools/sim/SimulatorOptions.h"

#include <QString>

// Writes a labelled set of simulated shots straight into a project file, as if the device
// had recorded them one after the other at its usual sample period, with no connection
// and no display: five distance sensors in µm as the device reports them, the phase
// markers at the nominal phase boundaries, and the labels file of the options.
class ShotSetWriter
{
public:
    struct Settings
    {
        int shots = 100;
        // The first shots are always good: they are the ones a reference is taught from.
        int goodFirst = 0;
        // The period the application asks for on every connection.
        int samplePeriodMs = 100;
    };

    // options gives the seed, the cycle, the fault rate and kinds, and the labels path.
    // False with error when a file cannot be written or a setting is out of range.
    static bool write(const QString& projectPath, const Settings& settings,
                      const SimulatorOptions& options, QString* error);
};
