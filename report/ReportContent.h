#pragma once

#include "analysis/Spc.h"
#include "analysis/Verdict.h"
#include "charts/ColumnEnvelope.h"
#include "charts/FiveNumberSummary.h"
#include "report/ReportInput.h"

#include <QList>
#include <QString>
#include <QVector>

#include <array>
#include <functional>

// The figures of a report, computed from its input with the pages' own computations, so that
// each equals the one the pages show. Plain values: the input's sample lists are not needed
// after compute().
struct ReportContent
{
    static constexpr int numSensors = ReportInput::numSensors;
    // Columns of the pictures' envelopes: finer than a printed plot resolves.
    static constexpr int pictureColumns = 600;

    struct Summary
    {
        // Sorted ascending; the chart draws from it.
        QList<double> sorted;
        FiveNumberSummary five;
        // Shots that have no value (a marker outside the shot, no threshold crossing).
        int missing = 0;
    };

    struct Overlay
    {
        int shots = 0;
        double toMs = 0.0;
        ColumnEnvelope all;
        // NOK shots drawn over the area, the worst first, at most maxNokCurves.
        QVector<ColumnEnvelope> nok;
    };
    static constexpr int maxNokCurves = 10;

    struct Band
    {
        bool taught = false;
        double toMs = 0.0;
        ColumnEnvelope limits;
        // The shot (0-based) farthest outside the limits, or nearest to them when none
        // leaves them; -1 without shots. distance > 0: that far outside.
        int worstShot = -1;
        double distance = 0.0;
        ColumnEnvelope worst;
    };

    struct NokShot
    {
        int shot = 0;
        QDateTime time;
        QString violation;
    };

    ReportInput input;

    // Figures of the values page: per sensor the maxima between its markers.
    std::array<Summary, numSensors> maxima;
    // Figures of the runtime page for input.runtimeSensor: start, duration, stop in s, with
    // the thresholds they rest on.
    std::array<Summary, 3> runtimes;
    double startValue = 0.0;
    double stopValue = 0.0;
    double longestShotSeconds = 0.0;

    QDateTime firstShot;
    QDateTime lastShot;
    int shotsWithoutTime = 0;

    // The verdict: judged with the stored reference where it can judge these shots.
    bool hasVerdicts = false;
    // Why a stored reference gives no verdicts; empty when it does or none is stored.
    QString verdictProblem;
    QVector<Verdict> verdicts;
    int okCount = 0;
    int nokCount = 0;
    QVector<NokShot> nokShots;

    // SPC of the chosen value where its values exist.
    QString spcKey;
    QString spcName;
    bool spcBaseUnreadable = false;
    QVector<double> spcValues;
    QVector<QString> spcMarks;
    Spc::Result spc;

    std::array<Overlay, numSensors> overlays;
    std::array<Band, numSensors> bands;

    // progress(percent) is called now and then from the calling thread.
    static ReportContent compute(const ReportInput& input,
                                 const std::function<void(int)>& progress = {});
};
