#pragma once

#include "analysis/ReferenceBand.h"
#include "analysis/Verdict.h"
#include "model/ProjectData.h"

#include <QStringList>

#include <array>

// Judges shots against a reference band with the project's markers (ms) and phase names.
// Everything that depends only on the band, its settings and the markers is prepared once,
// so judging a shot is one pass over each sensor's monitored samples.
//
// Shots of other lengths than the band: samples beyond the band's end are not judged (the
// recording may stop a little later); a shot that ends more than the time tolerance before
// the band counts its missing samples as outside ("TooShort"). A failed sensor outranks
// every other finding, since it is what the user must see to; otherwise the earliest
// violation over all sensors is reported, the lower sensor on a tie. Sensors the band
// holds nothing for are not judged, so an empty band passes every shot: show no verdict
// without a taught reference.
class ShotJudge
{
public:
    ShotJudge(const ReferenceBand& band, const std::array<int, 4>& markersMs,
              const QStringList& phaseNames);
    // With the markers and phase names of a project's header.
    ShotJudge(const ReferenceBand& band, const ProjectData& project);

    Verdict judge(const ShotSamples& shot) const;

    // The shot with the given index from the model, null lists where a sensor has none.
    static ShotSamples shotOf(const Model& model, int index);
    // Phase 0 to 4 at a time: phase i runs up to marker i, the last one from marker 3 on.
    static int phaseAt(double timeMs, const std::array<int, 4>& markersMs);

private:
    struct Finding
    {
        Verdict::Kind kind = Verdict::Kind::Ok;
        int start = 0;
        int count = 0;
        double deviation = 0.0;
    };
    struct Prepared
    {
        int begin = 0;
        int end = 0;
        // Samples a shot must have before the missing rest counts as outside.
        int requiredEnd = 0;
        bool expectsMovement = false;
        // A shot whose samples span less than this is a flat line.
        double flatBelow = 0.0;
    };

    Finding scan(int sensor, const SampleList* samples) const;

    ReferenceBand m_band;
    std::array<int, 4> m_markers;
    QStringList m_phaseNames;
    std::array<Prepared, ReferenceBand::numSensors> m_prepared;
    int m_minRun = 1;
};
