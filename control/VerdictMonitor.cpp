#include "control/VerdictMonitor.h"

#include "analysis/ReferenceBand.h"
#include "app/Logging.h"
#include "model/Model.h"

#include <algorithm>

bool VerdictMonitor::Key::operator==(const Key& other) const
{
    return reference == other.reference && markers == other.markers &&
           phaseNames == other.phaseNames && clock == other.clock;
}

VerdictMonitor::VerdictMonitor(Model* model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &VerdictMonitor::refresh);
    connect(model, &Model::dataAboutToChange, this, &VerdictMonitor::onDataAboutToChange);
    connect(model, &Model::dataChanged, this, &VerdictMonitor::onDataChanged);
    connect(model, &Model::projectChanged, this, &VerdictMonitor::onProjectChanged);
    connect(model, &Model::fileOperationFinished, this, [this] {
        if (m_stale)
            refresh();
    });
    refresh();
}

VerdictMonitor::~VerdictMonitor() = default;

VerdictMonitor::Key VerdictMonitor::currentKey() const
{
    Key key;
    if (const ReferenceData* reference = m_model->reference())
        key.reference = *reference;
    const ProjectData& project = m_model->projectData();
    key.markers = project.markers;
    key.phaseNames = QStringList(project.phaseNames.cbegin(), project.phaseNames.cend());
    key.clock = std::max(1, m_model->clock());
    return key;
}

bool VerdictMonitor::modelBeingReplaced()
{
    // An open fills the model while the event loop runs; its shots are judged when it ends.
    if (m_model->fileOperation() != Model::FileOperation::Open)
        return false;
    m_stale = true;
    return true;
}

void VerdictMonitor::refresh()
{
    m_settle.stop();
    if (modelBeingReplaced())
        return;
    Key key = currentKey();
    const bool same = key == m_key && !m_stale && m_revision == m_model->dataRevision();
    m_key = std::move(key);
    if (same && m_judge)
        return;

    m_judge.reset();
    m_problem = Problem::None;
    m_state = State::NoReference;
    if (m_key.reference) {
        m_state = State::Unusable;
        const std::optional<ReferenceBand> band = ReferenceBand::fromData(*m_key.reference);
        if (!band) {
            m_problem = Problem::Unreadable;
        } else if (band->clockMs() != m_key.clock) {
            // The band lies on the time axis of its sample period; shots of another would be
            // judged against the wrong moments.
            m_problem = Problem::OtherSamplePeriod;
            m_referenceClock = band->clockMs();
        } else {
            m_judge = std::make_unique<ShotJudge>(*band, m_key.markers, m_key.phaseNames);
            m_state = State::Active;
        }
        if (m_problem != Problem::None)
            qCWarning(lcControl).noquote() << "no verdicts:" << problem();
    }
    rejudgeAll();
}

QString VerdictMonitor::problem() const
{
    switch (m_problem) {
    case Problem::None:
        break;
    case Problem::Unreadable:
        return tr("Die gespeicherte Referenz ist unbrauchbar. Bitte neu einlernen.");
    case Problem::OtherSamplePeriod:
        return tr("Die Referenz wurde bei %1 ms je Messwert eingelernt, die Messungen "
                  "haben %2 ms. Bitte neu einlernen.")
            .arg(m_referenceClock)
            .arg(m_key.clock);
    }
    return QString();
}

void VerdictMonitor::rejudgeAll()
{
    m_stale = false;
    m_revision = m_model->dataRevision();
    m_verdicts.clear();
    judgeNewShots();
    emit verdictsChanged();
}

bool VerdictMonitor::judgeNewShots()
{
    if (!m_judge)
        return false;
    const int shots = m_model->numChannels(0);
    const int end = m_running >= 0 ? std::min(m_running, shots) : shots;
    if (m_verdicts.size() >= end)
        return false;
    m_verdicts.reserve(end);
    for (int i = m_verdicts.size(); i < end; ++i)
        m_verdicts.append(m_judge->judge(ShotJudge::shotOf(*m_model, i)));
    return true;
}

void VerdictMonitor::setRunningShot(int index)
{
    m_running = index;
}

void VerdictMonitor::finishRunningShot()
{
    const int index = m_running;
    m_running = -1;
    if (index < 0 || modelBeingReplaced())
        return;
    // A change of the project that still waits would judge the shot by the old markers.
    bool judged = false;
    if (m_settle.isActive() || m_stale || !(currentKey() == m_key)) {
        refresh();
    } else {
        judged = judgeNewShots();
        m_revision = m_model->dataRevision();
    }
    if (index < m_verdicts.size()) {
        const Verdict& verdict = m_verdicts.at(index);
        (verdict.isOk() ? m_sessionOk : m_sessionNok)++;
        m_lastLive = verdict;
        // The live verdict first: what the pages redraw for the new verdicts may take longer.
        emit liveShotJudged(index);
    }
    if (judged)
        emit verdictsChanged();
}

void VerdictMonitor::startSession()
{
    m_sessionOk = 0;
    m_sessionNok = 0;
    m_lastLive.reset();
}

void VerdictMonitor::onDataAboutToChange()
{
    // The indices of the verdicts no longer fit once lists are freed.
    m_stale = true;
    m_running = -1;
}

void VerdictMonitor::onDataChanged()
{
    // A value line of a recording appends samples only: nothing to judge.
    if ((!m_stale && m_model->dataRevision() == m_revision) || modelBeingReplaced())
        return;
    const bool onlyAdded = !m_stale && m_model->numChannels(0) >= m_verdicts.size();
    if (!onlyAdded || !(currentKey() == m_key)) {
        refresh();
        return;
    }
    m_revision = m_model->dataRevision();
    if (judgeNewShots())
        emit verdictsChanged();
}

void VerdictMonitor::onProjectChanged()
{
    if (!(currentKey() == m_key))
        m_settle.start();
}
