#pragma once

#include <QDateTime>
#include <QString>

// A stretch of a recording in which the link to the device was down: shots the machine made
// meanwhile reached the project only through the device's black box, if at all. A plain
// value; the project keeps its gaps as texts "from|to|deviceShots|filled".
struct RecordingGap
{
    // The computer's times of the loss and of the link's return; an open gap has no end yet.
    QDateTime from;
    QDateTime to;
    // Shots the device recorded in the gap, -1 while that is not known.
    int deviceShots = -1;
    // Shots taken into the project from the black box for it.
    int filled = 0;

    bool isOpen() const { return !to.isValid(); }
    // Every shot the device made in it is in the project.
    bool isFilled() const { return deviceShots >= 0 && filled >= deviceShots; }
    // Closed and not filled: the black box can be asked for its shots.
    bool wantsFilling() const { return !isOpen() && !isFilled(); }

    QString toText() const;
    // False for a text that is no gap; gap stays as it was then.
    static bool fromText(const QString& text, RecordingGap* gap);

    bool operator==(const RecordingGap& other) const;
    bool operator!=(const RecordingGap& other) const { return !(*this == other); }
};
