#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

// The content of a project file as plain values, knowing nothing of the model: the reader
// fills it from a file on a worker thread and the model takes it over in one step; the
// writer works from one taken from the model, whose sample lists share their data with the
// model's until the model changes them.
//
// Values are kept as the file gives them, already converted as the file's rules say
// (a text key that holds no text reads as empty text, a number key without a number as
// 0). What a key's absence or wrong type means for the project is decided where the
// document is taken over, so optional members mark keys that were missing or not of their
// type.
struct ProjectDocument
{
    static constexpr int numSensors = 5;
    static constexpr int numImages = 5;

    // The first elements of a number array (as many as anybody uses) and how many the
    // file held in all.
    struct Numbers
    {
        QVector<double> values;
        qint64 size = 0;
    };
    using Shots = QVector<QVector<double>>;

    QString fileVersion;
    QString projectName;
    QString projectNumber;
    QString projectUser;
    QString projectDate;
    QString projectCustomer;
    int closingForce = 0;
    double injectionTime = 0.0;
    double pressTime = 0.0;
    int pressure = 0;
    double clock = 0.0;
    QString comment;
    int kalvikType = 0;
    QString hwVersion;
    QString swVersion;
    std::array<QImage, numImages> images;

    // Per sensor of group 0; "not a text" and "not an array" are empty optionals.
    std::array<std::optional<QString>, numSensors> sensorNames;
    std::array<std::optional<Shots>, numSensors> shots;

    std::optional<Numbers> markers;
    std::optional<QStringList> phases;
    std::optional<Numbers> corrections;
    std::optional<Numbers> minValues;
    std::optional<Numbers> maxValues;

    enum class ViewState
    {
        Missing,
        NotObject,
        Object
    };
    ViewState viewState = ViewState::Missing;
    std::optional<bool> markerAbsolute;
    std::optional<Numbers> osziMinValues;
    std::optional<Numbers> osziMaxValues;

    // Keys that older versions of the program neither write nor read.
    std::optional<QVector<QDateTime>> timestamps;
    std::optional<QString> sensorGroupName;
    std::optional<QStringList> sensorTypes;
    std::optional<QStringList> sensorUnits;
    // The SPC page's settings.
    std::optional<QString> spcValue;
    std::optional<QString> spcBase;
    std::optional<QString> spcRules;
    std::optional<QStringList> spcLimits;
    // Shots taken from the black box, numbered from 1, and the recording's gaps as texts.
    std::optional<Numbers> blackBoxShots;
    std::optional<QStringList> recordingGaps;

    // The taught reference of the quality verdict, key by key as the file gives it; the
    // project keeps it only when every key is there and the whole is sound.
    struct Reference
    {
        std::optional<double> clock;
        std::optional<double> shotCount;
        std::optional<Numbers> shots;
        std::optional<Numbers> valueTolerance;
        std::optional<double> timeTolerance;
        std::optional<double> minDuration;
        std::optional<QString> part;
        std::optional<Numbers> partMarkers;
        std::optional<Shots> mean;
        std::optional<Shots> upper;
        std::optional<Shots> lower;

        bool anyKey() const;
    };
    Reference reference;

    // How many samples the shots hold in all; writers measure their progress by it.
    qint64 sampleCount() const;
    // The shots of sensor 1, which every sensor has as many of.
    int shotCount() const { return shots[0] ? shots[0]->size() : 0; }
};
