#include "tests/common/ProductionRun.h"

#include "analysis/StickMatch.h"
#include "app/Constants.h"
#include "control/BlackBoxStaging.h"
#include "control/Controller.h"
#include "model/BlackBoxFile.h"
#include "model/BlackBoxShot.h"
#include "model/Model.h"
#include "tests/common/LoopbackAddress.h"
#include "tools/sim/KalvikSimulator.h"
#include "ui_TabProject.h"
#include "ui_View.h"
#include "view/GapBar.h"
#include "view/TabOszilloscope.h"
#include "view/TabProject.h"
#include "view/View.h"

#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <algorithm>
#include <cstdio>

ProductionRun::ProductionRun(int area, const Settings& settings)
    : m_settings(settings)
    , m_host(loopbackAddress(area))
{
}

ProductionRun::~ProductionRun()
{
    m_controller.reset();
    m_view.reset();
    m_model.reset();
    m_sim.reset();
}

bool ProductionRun::waitFor(const std::function<bool()>& condition, int timeoutMs,
                            const QString& what)
{
    if (QTest::qWaitFor(condition, timeoutMs))
        return true;
    m_why = QStringLiteral("timed out waiting for %1").arg(what);
    return false;
}

bool ProductionRun::start()
{
    // The staging folder and the stick are the run's own.
    qputenv("TMPDIR", m_dir.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", m_dir.filePath(QStringLiteral("cache")).toLocal8Bit());
    const QString stick = m_dir.filePath(QStringLiteral("stick"));
    QDir().mkpath(stick);
    qputenv("KALVIK_STICK_DIR", stick.toLocal8Bit());
    qputenv("VENTARO_DEVICE_HOST", m_host.toLatin1());
    QSettings(settingsOrganization, settingsApplication).clear();

    SimulatorOptions options;
    options.host = m_host;
    options.stickDir = stick;
    options.generateStick = false;
    options.fixedSeed = true;
    options.seed = 23;
    options.production = true;
    options.cycleMs = m_settings.cycleMs;
    options.machinePeriodMs = m_settings.machinePeriodMs;
    options.clockOffsetSeconds = m_settings.clockOffsetSeconds;
    options.faults = SimulatorOptions::DropConnection;
    options.dropEveryCycles = m_settings.dropEveryCycles;
    options.dropMinMs = m_settings.dropMinMs;
    options.dropMaxMs = m_settings.dropMaxMs;
    options.maxRate = m_settings.maxRate;
    m_shotLog = m_dir.filePath(QStringLiteral("shots.csv"));
    options.shotLogPath = m_shotLog;
    m_sim = std::make_unique<KalvikSimulator>(options);
    m_clock.start();
    QObject::connect(m_sim.get(), &KalvikSimulator::linkLost, [this] {
        ++m_losses;
        m_listeningAgainNs = -1;
    });
    QObject::connect(m_sim.get(), &KalvikSimulator::listeningChanged, [this](bool listening) {
        if (listening && m_losses > 0)
            m_listeningAgainNs = m_clock.nsecsElapsed();
    });
    QObject::connect(m_sim.get(), &KalvikSimulator::cycleWritten,
                     [this](qint64 cycle) { m_lastWritten = std::max(m_lastWritten, cycle); });
    if (!m_sim->start()) {
        m_why = m_sim->errorString();
        return false;
    }

    m_model = std::make_unique<Model>();
    m_view = std::make_unique<View>(m_model.get());
    m_controller = std::make_unique<Controller>(m_model.get(), m_view.get());
    m_controller->setAutoBackfill(m_settings.autoBackfill);
    QObject::connect(m_controller.get(), &Controller::recordingEnded, [this] {
        if (m_model->isConnected())
            ++m_shotsSinceRestore;
    });
    QObject::connect(m_controller.get(), &Controller::linkRestored, [this] {
        m_shotsSinceRestore = 0;
        if (m_listeningAgainNs >= 0)
            m_reconnectMs.append((m_clock.nsecsElapsed() - m_listeningAgainNs) / 1e6);
        m_listeningAgainNs = -1;
    });
    m_view->show();
    m_view->form()->actionConnect->setEnabled(true);
    m_view->form()->actionConnect->trigger();
    if (!waitFor([this] { return m_model->isConnected(); }, 5000, QStringLiteral("the connect")))
        return false;
    QComboBox* box = m_view->tabProject()->form()->selectionBoxClock;
    box->setCurrentText(QStringLiteral("%1ms").arg(m_settings.samplePeriodMs));
    if (!waitFor([this] { return m_model->clock() == m_settings.samplePeriodMs; }, 5000,
                 QStringLiteral("the sample period")))
        return false;
    // From the next cycle on, whose period is then the project's.
    const qint64 cycle = m_sim->cyclesBegun();
    if (!waitFor([this, cycle] { return m_sim->cyclesBegun() > cycle; }, 10000,
                 QStringLiteral("a cycle")))
        return false;
    m_view->form()->actionStartRecording->trigger();
    return waitFor([this] { return m_model->numChannels(0) > 0; },
                   3 * m_settings.machinePeriodMs + 5000, QStringLiteral("the first shot"));
}

bool ProductionRun::record()
{
    const int cycleTimeout =
        m_settings.cycles * (m_settings.machinePeriodMs + m_settings.dropMaxMs) + 10000;
    if (!waitFor([this] { return m_sim->cyclesBegun() >= m_settings.cycles; }, cycleTimeout,
                 QStringLiteral("the cycles")))
        return false;
    // Stopped on a live link; the button says Stop between the shots too.
    if (!waitFor(
            [this] {
                // A shift ends with a shot recorded live after the last loss, as it does at a
                // machine that runs on.
                return m_model->isConnected() && !m_controller->isReconnecting() &&
                       m_controller->isProductionRecording() && m_shotsSinceRestore >= 1;
            },
            5 * (m_settings.machinePeriodMs + m_settings.dropMaxMs) + 5000,
            QStringLiteral("the recording on a live link")))
        return false;
    m_view->form()->actionStartRecording->trigger();
    // The shot stopped goes to the stick whole at its cycle's end.
    const qint64 stoppedIn = m_sim->cyclesBegun();
    return waitFor([this] { return !m_sim->isRecordingRequested(); }, 5000,
                   QStringLiteral("the stop")) &&
           waitFor([this, stoppedIn] { return m_lastWritten >= stoppedIn; },
                   2 * m_settings.machinePeriodMs + 5000, QStringLiteral("the last stick file"));
}

bool ProductionRun::fill()
{
    const auto allFilled = [this] {
        const QVector<RecordingGap>& gaps = m_model->recordingGaps();
        return std::all_of(gaps.cbegin(), gaps.cend(),
                           [](const RecordingGap& g) { return !g.isOpen() && g.isFilled(); });
    };
    if (!m_settings.autoBackfill) {
        // Nothing fills by itself; the gaps wait for the button.
        if (m_model->recordingGaps().isEmpty() || allFilled()) {
            m_why = QStringLiteral("gaps filled without being asked");
            return false;
        }
        auto* button =
            m_view->tabOszi()->gapBar()->findChild<QPushButton*>(QStringLiteral("fillGapsButton"));
        button->click();
    }
    // Every loss is over, the last after the stop too, so that each one's return counts.
    return waitFor(
               [this, allFilled] {
                   return allFilled() && m_model->isConnected() &&
                          !m_controller->isReconnecting() && m_reconnectMs.size() == m_losses;
               },
               60000 + m_settings.dropMaxMs, QStringLiteral("the gaps filled and the link back")) ||
           [this] {
               for (const RecordingGap& gap : m_model->recordingGaps())
                   m_why += QLatin1Char(' ') + gap.toText();
               m_why += QStringLiteral(" reconnects %1 of %2 losses")
                            .arg(m_reconnectMs.size())
                            .arg(m_losses);
               return false;
           }();
}

ProductionRun::Figures ProductionRun::figures() const
{
    Figures f;
    f.losses = m_losses;
    f.reconnectMs = m_reconnectMs;
    f.backfillMs = m_controller->lastBackfillMs();
    for (const RecordingGap& gap : m_model->recordingGaps()) {
        ++f.gaps;
        f.filledGaps += gap.isFilled() ? 1 : 0;
    }

    // Every shot the device wrote, from its stick, in time order.
    const QString stick = qEnvironmentVariable("KALVIK_STICK_DIR");
    QStringList paths;
    QDirIterator files(stick, {QStringLiteral("*.bb")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        paths.append(files.next());
    QVector<StickMatch::Shot> device;
    for (const QString& path : paths) {
        BlackBoxShot shot;
        if (BlackBoxFile::readFile(path, shot) && shot.timestamp.isValid())
            device.append({shot.timestamp, StickMatch::headOf(shot.samples[0])});
    }
    std::sort(device.begin(), device.end(),
              [](const StickMatch::Shot& a, const StickMatch::Shot& b) { return a.time < b.time; });
    // The recording's span: from the device's shot the first live shot is to the one the last
    // is, known by their readings.
    const int shots = m_model->numChannels(0);
    int firstIndex = -1;
    int lastIndex = -1;
    for (int i = 0; i < shots; ++i) {
        if (m_model->isFromBlackBox(i))
            continue;
        const QVector<double> head = StickMatch::headOf(*m_model->measurement(0, i));
        for (int d = 0; d < device.size(); ++d) {
            if (!StickMatch::sameShot(device.at(d).head, head))
                continue;
            firstIndex = firstIndex < 0 ? d : std::min(firstIndex, d);
            lastIndex = std::max(lastIndex, d);
        }
    }
    f.projectShots = shots;
    for (int i = 0; i < shots; ++i) {
        const QVector<double> head = StickMatch::headOf(*m_model->measurement(0, i));
        // A shot stopped after its first few readings says too little to be known by.
        if (head.size() >= StickMatch::shortestHead &&
            std::none_of(device.cbegin(), device.cend(), [&head](const StickMatch::Shot& d) {
                return StickMatch::sameShot(d.head, head);
            }))
            ++f.foreign;
    }
    if (firstIndex < 0)
        return f;
    const QDateTime first = device.at(firstIndex).time;
    const QDateTime last = device.at(lastIndex).time;
    f.deviceShots = lastIndex - firstIndex + 1;
    QFile log(m_shotLog);
    if (log.open(QIODevice::ReadOnly | QIODevice::Text)) {
        log.readLine();
        while (!log.atEnd()) {
            const QList<QByteArray> fields = log.readLine().trimmed().split(',');
            const QDateTime t =
                QDateTime::fromString(QString::fromLatin1(fields.value(1)), Qt::ISODate);
            if (t.isValid() && t >= first && t <= last)
                ++f.loggedShots;
        }
    }
    for (int d = firstIndex; d <= lastIndex; ++d) {
        int found = 0;
        for (int i = 0; i < shots; ++i)
            found += StickMatch::sameShot(device.at(d).head,
                                          StickMatch::headOf(*m_model->measurement(0, i)))
                         ? 1
                         : 0;
        if (found == 0)
            std::fprintf(stderr, "device shot missing: %s\n",
                         qPrintable(device.at(d).time.toString(Qt::ISODate)));
        f.missing += found == 0 ? 1 : 0;
        f.twice += found > 1 ? found - 1 : 0;
    }
    for (int i = 0; i < shots; ++i) {
        for (int k = 1; k < Model::numSensors; ++k) {
            if (m_model->numChannels(k) <= i ||
                m_model->measurement(k, i)->size() != m_model->measurement(0, i)->size()) {
                ++f.unequal;
                break;
            }
        }
        if (i > 0 && m_model->timestamp(i) < m_model->timestamp(i - 1))
            ++f.outOfOrder;
    }
    return f;
}
