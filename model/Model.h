#pragma once

#include "model/ProjectData.h"
#include "model/ReferenceData.h"
#include "model/RecordingGap.h"
#include "model/SensorDescription.h"
#include "model/SpcSettings.h"
#include "model/ViewData.h"

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QString>
#include <QUuid>
#include <QVector>

#include <array>
#include <optional>
#include <functional>
#include <memory>
#include <vector>

// Samples of one sensor during one shot, taken every clock() milliseconds.
using SampleList = QVector<double>;

// The open project: header, recorded shots of the five sensors of group 0, sensor
// description, offsets, colours, markers, phases, pictures and view settings, plus the
// connection and modified flags.
//
// Every shot's sample list is allocated on its own, so its address stays the same while
// other shots are added; plots may keep pointers to it until the shot is deleted or the
// data are cleared.
class Model : public QObject
{
    Q_OBJECT

public:
    static constexpr int numSensors = 5;
    static constexpr int numColors = 100;
    static constexpr int numImages = 5;

    explicit Model(const QString& fileToOpen = QString(), QObject* parent = nullptr);
    ~Model() override;

    void clear();
    void clearData();

    // --- recorded shots ("channels" of a sensor)
    bool hasData() const;
    int numChannels(int sensor) const;
    // The sample list of one shot, null for a bad index.
    SampleList* measurement(int sensor, int index);
    const SampleList* measurement(int sensor, int index) const;
    // Appends an empty shot to every sensor and an invalid timestamp; emits dataChanged.
    void addMeasurement();
    // Appends an empty shot to the list of one sensor only and returns its index, or -1
    // for a bad sensor. Emits nothing; loaders and the recorder emit the summary signal.
    int appendSeries(int sensor);
    // The same, taking the samples over.
    int appendSeries(int sensor, SampleList&& samples);
    void appendTimestamp(const QDateTime& time = QDateTime());
    void appendSample(int sensor, int index, double value);
    bool deleteChannel(int index);
    // A shot as deleteChannel takes it out of every list, for putting it back.
    struct TakenShot
    {
        int index = -1;
        std::array<std::optional<SampleList>, numSensors> samples;
        std::optional<QDateTime> time;
        std::optional<QUuid> id;
        bool fromBlackBox = false;
    };
    // What deleteChannel(index) would remove; the sample lists are shared, not copied.
    TakenShot shotAt(int index) const;
    // Puts a taken shot back at its index (undoing deletions from the first index up).
    // Emits dataChanged; false when the shots before it are not there.
    bool restoreShot(const TakenShot& shot);
    // Grows whenever shots are added, deleted or cleared, but not when samples are appended
    // to a shot: an unchanged revision means every sample list is still where it was.
    quint64 dataRevision() const { return m_dataRevision; }
    // Grows whenever the project is replaced (new project, open): what a page keeps for
    // one project is dropped when it changed.
    quint64 projectGeneration() const { return m_projectGeneration; }

    double minimumValue(int sensor, int index) const;
    double maximumValue(int sensor, int index) const;
    double overallMinimum(int sensor) const;
    double overallMaximum(int sensor) const;
    double latestValue(int group, int sensor) const;

    // The journal's id of a live shot, so that its saving or deletion can be told to the
    // journal; null for shots from files and the black box. Kept with the shots (deleted
    // and cleared with them), not in the project file.
    QUuid shotId(int index) const { return m_shotIds.value(index); }
    // Whether shot index was taken from the device's black box (an import, or a gap filled)
    // rather than recorded here; kept in the project file.
    bool isFromBlackBox(int index) const { return m_fromBlackBox.value(index, false); }
    void setFromBlackBox(int index, bool fromBlackBox);
    // The stretches of recording in which the link was down, in time order; kept in the
    // project file. Both setters emit projectChanged.
    const QVector<RecordingGap>& recordingGaps() const { return m_gaps; }
    void addRecordingGap(const RecordingGap& gap);
    void setRecordingGap(int index, const RecordingGap& gap);
    void setShotId(int index, const QUuid& id);
    // The ids of the shots from first to last, null ones included.
    QVector<QUuid> shotIds(int first, int last) const;

    int numTimestamps() const { return m_timestamps.size(); }
    const QVector<QDateTime>& timestamps() const { return m_timestamps; }
    QDateTime timestamp(int index) const;
    void setTimestamp(int index, const QDateTime& time);

    // --- markers, phases, header
    void setVerticalMarkerAbsolute(int index, int pos);
    void setVerticalMarkerRelative(int index, int pos);
    int verticalMarker(int index) const;
    QString phaseName(int index) const;
    void setPhaseName(int index, const QString& name);
    // After a language switch: the phases that still carry a default name take the
    // default of the new language; names the user typed stay. Leaves the project as
    // modified, and as changed since its file, as it was.
    void retranslatePhaseNames();
    const ProjectData& projectData() const { return m_projectData; }
    void setProjectData(const ProjectData& data);
    QString comment() const { return m_comment; }
    void setComment(const QString& comment);

    // --- the taught reference of the quality verdict; null when none was taught.
    const ReferenceData* reference() const { return m_reference.get(); }
    // Both emit projectChanged: the reference is kept in the project file.
    void setReference(const ReferenceData& reference);
    void clearReference();

    // --- the SPC page's settings, kept in the project file; emits projectChanged on a change.
    const SpcSettings& spcSettings() const { return m_spcSettings; }
    void setSpcSettings(const SpcSettings& settings);

    // --- sensors of group 0
    QString sensorName(int i) const;
    void setSensorName(int i, const QString& name);
    void setSensorMinimum(int group, int sensor, double value);
    void setSensorMaximum(int group, int sensor, double value);
    SensorDescription& sensorDescription() { return m_sensorDescription; }
    const SensorDescription& sensorDescription() const { return m_sensorDescription; }

    double offset(int i) const;
    void setOffset(int i, double value);
    void resetOffsets();
    QColor color(quint8 index) const;
    void setColor(quint8 index, const QColor& color);

    // --- state
    void setProjectModifiedFlag(bool flag);
    bool isProjectModified() const { return m_projectModified; }
    bool isConnected() const { return m_connected; }
    // The controller emits appStateChanged after changing the flag.
    void setConnected(bool flag) { m_connected = flag; }
    bool isLocked() const { return m_locked; }
    void setLocked(bool locked) { m_locked = locked; }

    QImage projectImage(int i) const;
    void setProjectImage(int i, const QImage& image);

    // Written in place without a signal.
    ViewData& viewData() { return m_viewData; }
    const ViewData& viewData() const { return m_viewData; }

    int clock() const { return m_clock; }
    QString hwVersion() const { return m_hwVersion; }
    void setHwVersion(const QString& version) { m_hwVersion = version; }
    QString swVersion() const { return m_swVersion; }
    void setSwVersion(const QString& version) { m_swVersion = version; }
    QString firmwareVersion() const { return m_firmwareVersion; }
    void setFirmwareVersion(const QString& version) { m_firmwareVersion = version; }
    int kalvikType() const { return m_kalvikType; }
    void setKalvikType(int type) { m_kalvikType = type; }
    QString lastDir() const { return m_lastDir; }
    void setLastDir(const QString& dir) { m_lastDir = dir; }
    QString projectFileName() const { return m_projectFileName; }
    void setProjectFileName(const QString& path) { m_projectFileName = path; }

    // --- files
    bool open(const QString& path);
    bool save(const QString& path);
    bool saveProject();
    bool exportText(const QString& path);
    bool addBlackBoxFile(const QString& path);
    // Why the last save or export failed, in the system's words; empty after a success.
    QString fileError() const { return m_fileError; }
    void setFileError(const QString& reason) { m_fileError = reason; }
    // The file named at start, and whether it could not be opened.
    QString startFile() const { return m_startFile; }
    bool startFileFailed() const { return m_startFileFailed; }

    // A file operation reads or writes data of its own on a worker thread while the event
    // loop goes on; only one runs at a time.
    enum class FileOperation
    {
        None,
        Open,
        Save,
        Export,
        // Black-box files read on a worker; the model takes the shots in one step at the end.
        Import,
        // A report computed and written on a worker from shared copies of the samples.
        Report
    };
    FileOperation fileOperation() const { return m_fileOperation; }
    bool isFileBusy() const { return m_fileOperation != FileOperation::None; }
    // False (with a diagnostic) while another one runs.
    bool beginFileOperation(FileOperation operation);
    // File work reads or writes data of its own and reports its percent through a callback.
    using FileProgress = std::function<void(int percent)>;
    using FileWork = std::function<bool(const FileProgress& progress)>;
    // Runs work to its end and returns its result; progress is called in the calling
    // thread. Where the work runs, and whether the event loop goes on meanwhile, is the
    // runner's business: the controller runs it on a worker thread. Without a runner the
    // work runs right here.
    using FileWorkRunner = std::function<bool(const FileWork& work, const FileProgress& progress)>;
    void setFileWorkRunner(FileWorkRunner runner) { m_fileWorkRunner = std::move(runner); }
    // Runs work through the runner; fileProgress() reports its percent, each value once.
    bool runFileWork(const FileWork& work);
    void endFileOperation();
    // Grows with every projectChanged and dataChanged, so that a save can tell whether the
    // project changed while it was written.
    quint64 changeCount() const { return m_changeCount; }
    // Whether anything changed since the project file was last written or read.
    bool changedSinceFile() const { return m_changeCount != m_changeCountAtFile; }
    // The file holds the project as it stood at change count count.
    void setFileChangeCount(quint64 count) { m_changeCountAtFile = count; }

public slots:
    void setClock(int clock);

signals:
    void appStateChanged();
    void projectChanged();
    void dataChanged();
    void viewDataChanged();
    // Sample lists are about to be freed or replaced (clear, delete, open). Emitted before
    // the bulk change blocks the signals, because the change may let the event loop run;
    // whoever keeps pointers to sample lists drops them here and takes them again on
    // dataChanged.
    void dataAboutToChange();
    void fileOperationStarted();
    void fileProgress(int percent);
    // Emitted once the operation's changes to the model are complete.
    void fileOperationFinished();
    // The project file path was written with the first shots shots, as they stood when the
    // save began (shots recorded during the save are not in it).
    void projectWritten(const QString& path, int shots);

private:
    bool isSensor(int sensor) const { return sensor >= 0 && sensor < numSensors; }

    using Series = std::vector<std::unique_ptr<SampleList>>;

    std::array<double, numSensors> m_offsets{};
    // The default phase names as the language shown gave them.
    std::array<QString, ProjectData::numPhases> m_defaultPhaseNames;
    std::array<Series, numSensors> m_measurements;
    QVector<QDateTime> m_timestamps;
    QVector<QUuid> m_shotIds;
    QVector<bool> m_fromBlackBox;
    QVector<RecordingGap> m_gaps;
    std::array<QColor, numColors> m_colors;
    QString m_lastDir;
    bool m_connected = false;
    bool m_projectModified = false;
    ProjectData m_projectData;
    QString m_swVersion;
    QString m_hwVersion;
    QString m_firmwareVersion;
    QString m_comment;
    int m_kalvikType = 0;
    std::array<QImage, numImages> m_projectImages;
    std::unique_ptr<ReferenceData> m_reference;
    SpcSettings m_spcSettings;
    QString m_projectFileName;
    int m_clock = 100;
    SensorDescription m_sensorDescription;
    ViewData m_viewData;
    bool m_locked = false;
    quint64 m_dataRevision = 0;
    quint64 m_projectGeneration = 0;
    quint64 m_changeCount = 0;
    quint64 m_changeCountAtFile = 0;
    FileOperation m_fileOperation = FileOperation::None;
    FileWorkRunner m_fileWorkRunner;
    QString m_fileError;
    QString m_startFile;
    bool m_startFileFailed = false;
};
