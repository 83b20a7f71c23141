// Live recording at the device's fastest rate with a full day's project open: value lines
// from the simulated device (a child process on a loopback address of its own) travel
// through the connector into the controller while the main window and its pages exist.
// Prints the processing time per line and the GUI thread's share of the CPU.
//
//   bench_live [--shots N] [--samples N] [--lines N]
#include "bench/BenchUtil.h"
#include "control/Controller.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "tests/common/LoopbackAddress.h"
#include "ui_View.h"
#include "view/View.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>

namespace {

void fill(Model& model, int shots, int samples)
{
    model.blockSignals(true);
    for (int shot = 0; shot < shots; ++shot) {
        model.addMeasurement();
        for (int k = 0; k < Model::numSensors; ++k) {
            SampleList& list = *model.measurement(k, model.numChannels(k) - 1);
            list.reserve(samples);
            for (int i = 0; i < samples; ++i)
                list.append(1000.0 * k + 8000.0 * i / samples + shot % 7);
        }
    }
    model.blockSignals(false);
    emit model.dataChanged();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int shots = 2000;
    int samples = 3000;
    int lines = 5000;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--shots"))
            shots = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--samples"))
            samples = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--lines"))
            lines = args[i + 1].toInt();
    }

    const QString host = loopbackAddress(40);
    qputenv("VENTARO_DEVICE_HOST", host.toLatin1());
    QTemporaryDir stick;
    QProcess device;
    if (!bench::startDevice(device, host, stick.path()))
        qFatal("kalvik-sim did not start");

    const bench::PrivateDataDir dataDir;
    Model model;
    View view(&model);
    Controller controller(&model, &view);
    view.show();
    std::printf("# %d shots x %d samples open\n", shots, samples);

    // Connect before the project fills, so that the sensor description needs no notice.
    KalvikConnector* connector = controller.kalvikConnector();
    if (!bench::waitFor(
            [&] {
                if (!model.isConnected() && !connector->isConnected())
                    controller.onActionConnect();
                return bench::waitFor([&] { return model.isConnected(); }, 200);
            },
            5000))
        qFatal("no connection to the simulated device at %s", qPrintable(host));
    if (!bench::waitFor(
            [&] {
                return model.sensorDescription().sensorGroup(0).numSensors() == 5 &&
                       !model.sensorDescription().sensorGroup(0).name().isEmpty();
            },
            3000))
        qFatal("no sensor description");
    fill(model, shots, samples);
    connector->setSampleRate(QStringLiteral("1ms"));
    if (!bench::waitFor([&] { return model.clock() == 1; }, 3000))
        qFatal("the device did not take the sample period");

    // Every line still reaches the controller; value lines are timed on their way.
    QObject::disconnect(connector, &KalvikConnector::messageReceived, &controller,
                        &Controller::onMessageReceived);
    std::vector<double> durations;
    durations.reserve(static_cast<size_t>(lines) + 64);
    QObject::connect(connector, &KalvikConnector::messageReceived, &controller,
                     [&](const QString& msg) {
                         const bool value = !msg.isEmpty() && msg.at(0).isDigit();
                         QElapsedTimer t;
                         t.start();
                         controller.onMessageReceived(msg);
                         if (value)
                             durations.push_back(t.nsecsElapsed() / 1000.0);
                     });

    // One shot per page shown: the sensors page, then the oscilloscope page.
    const struct
    {
        View::Tabs tab;
        const char* prefix;
    } pages[] = {{View::Tabs::Sensors, "sensors_"}, {View::Tabs::Oszi, ""}};
    for (const auto& page : pages) {
        view.setCurrentTab(page.tab);
        controller.onActionStartStopRecording();
        if (!bench::waitFor([&] { return controller.isRecordingRunning(); }, 3000))
            qFatal("the shot did not start");
        const double cpuBefore = bench::threadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        durations.clear();
        bench::waitFor([&] { return static_cast<int>(durations.size()) >= lines; }, lines * 20 + 5000);
        const double wallSeconds = wall.nsecsElapsed() / 1e9;
        const double cpuSeconds = bench::threadCpuSeconds() - cpuBefore;
        controller.onActionStartStopRecording();
        bench::waitFor([&] { return !controller.isRecordingRunning(); }, 3000);
        if (durations.empty())
            qFatal("no value lines arrived");

        std::vector<double> sorted = durations;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0;
        for (double d : sorted)
            sum += d;
        const size_t p99 = std::min(sorted.size() - 1, sorted.size() * 99 / 100);
        const std::string prefix = page.prefix;
        std::printf("# %s page shown: %zu value lines at 1 ms\n",
                    page.tab == View::Tabs::Oszi ? "oscilloscope" : "sensors", durations.size());
        bench::report((prefix + "line_mean_us").c_str(), sum / sorted.size(), "us");
        bench::report((prefix + "line_p99_us").c_str(), sorted[p99], "us");
        bench::report((prefix + "lines_per_second").c_str(), durations.size() / wallSeconds,
                      "lines/s");
        bench::report((prefix + "gui_cpu_percent").c_str(), 100.0 * cpuSeconds / wallSeconds, "%");
    }
    connector->disconnectFromHost();
    device.kill();
    device.waitForFinished(3000);

    // The lines reached the shot that was recorded.
    const int recorded = model.measurement(0, model.numChannels(0) - 1)->size();
    if (recorded < static_cast<int>(durations.size()))
        qFatal("only %d of %zu readings were stored", recorded, durations.size());
    return 0;
}
