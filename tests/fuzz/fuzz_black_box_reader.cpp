// Black-box files (*.bb) from the device's stick, read as BlackBoxFile::import reads one.

#include "model/BlackBoxFile.h"
#include "model/Model.h"
#include "tests/fuzz/FuzzQt.h"

#include <QBuffer>
#include <QTextStream>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_black_box_reader: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startQuietApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<int>(size));
    QBuffer buffer(&input);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);

    // The shot is appended first, behind one already recorded, as a batch import does.
    Model model;
    model.blockSignals(true);
    model.addMeasurement();
    int series[Model::numSensors];
    for (int k = 0; k < Model::numSensors; ++k)
        series[k] = model.appendSeries(k);
    model.appendTimestamp();
    const int timestampIndex = model.numTimestamps() - 1;

    QTextStream in(&buffer);
    in.setCodec("UTF-8");
    BlackBoxFile::read(in, model, series, timestampIndex);

    // A reading line fills all five sensors or none of them.
    const int samples = model.measurement(0, series[0])->size();
    for (int k = 1; k < Model::numSensors; ++k) {
        if (model.measurement(k, series[k])->size() != samples)
            fail("sensors out of step");
    }
    const SensorDescription& description = model.sensorDescription();
    if (description.numSensorGroups() > BlackBoxFile::maxCount ||
        description.sensorGroup(0).numSensors() > BlackBoxFile::maxCount)
        fail("a count beyond the limit was taken");
    return 0;
}
