#include "model/ProjectDocument.h"

qint64 ProjectDocument::sampleCount() const
{
    qint64 count = 0;
    for (const std::optional<Shots>& sensor : shots) {
        if (!sensor)
            continue;
        for (const QVector<double>& samples : *sensor)
            count += samples.size();
    }
    return count;
}

bool ProjectDocument::Reference::anyKey() const
{
    return clock || shotCount || shots || valueTolerance || timeTolerance || minDuration || part ||
           partMarkers || mean || upper || lower;
}
