#pragma once

#include "analysis/ShotJudge.h"
#include "analysis/Verdict.h"
#include "model/ReferenceData.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <array>
#include <memory>
#include <optional>

class Model;

// Keeps the verdict of every shot of the model against the project's taught reference.
//
// Shots are judged in order from the first; verdicts()[i] belongs to shot i, and shots at or
// beyond its size have none yet: the shot being recorded waits for its end, and so do shots
// added behind it. Added shots are judged as they come; when lists were freed (open, new
// project, deletion) or the reference, the markers, the phase names or the sample period
// changed, every shot is judged again. Changes of the project are gathered for a moment
// first, so that dragging a marker does not judge the project at every step.
//
// A live session counts the verdicts the recording gave; it starts at a connect, a new or
// opened project and a newly taught reference.
class VerdictMonitor : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        NoReference,
        Active,
        // A reference is kept but cannot judge these shots; problem() says why.
        Unusable
    };

    explicit VerdictMonitor(Model* model, QObject* parent = nullptr);
    ~VerdictMonitor() override;

    State state() const { return m_state; }
    // Why an unusable reference judges nothing, in the current language.
    QString problem() const;
    const QVector<Verdict>& verdicts() const { return m_verdicts; }

    // The shot with this index is being recorded (-1: none) and is not judged before it ends.
    void setRunningShot(int index);
    // The running shot ended: it and the shots waiting behind it are judged.
    void finishRunningShot();
    // Takes the project's reference and markers now instead of after the pause.
    void refresh();

    void startSession();
    int sessionOk() const { return m_sessionOk; }
    int sessionNok() const { return m_sessionNok; }
    // The verdict of the session's last live shot.
    const std::optional<Verdict>& lastLiveVerdict() const { return m_lastLive; }

    // How long project changes are gathered before every shot is judged again.
    static constexpr int settleMs = 150;

signals:
    void verdictsChanged();
    // A live shot got its verdict; the session counts include it.
    void liveShotJudged(int index);

private:
    struct Key
    {
        std::optional<ReferenceData> reference;
        std::array<int, 4> markers{};
        QStringList phaseNames;
        int clock = 0;
        bool operator==(const Key& other) const;
    };

    Key currentKey() const;
    // Judges every shot again with the judge of the current key.
    void rejudgeAll();
    // Judges the shots from the first without a verdict up to the running one; true when
    // one was judged.
    bool judgeNewShots();
    // True while an open replaces the model's data; the verdicts are then renewed after it.
    bool modelBeingReplaced();
    void onDataAboutToChange();
    void onDataChanged();
    void onProjectChanged();

    Model* m_model;
    Key m_key;
    State m_state = State::NoReference;
    enum class Problem
    {
        None,
        Unreadable,
        OtherSamplePeriod
    };
    Problem m_problem = Problem::None;
    int m_referenceClock = 0;
    std::unique_ptr<ShotJudge> m_judge;
    QVector<Verdict> m_verdicts;
    int m_running = -1;
    bool m_stale = false;
    quint64 m_revision = 0;
    QTimer m_settle;
    int m_sessionOk = 0;
    int m_sessionNok = 0;
    std::optional<Verdict> m_lastLive;
};
