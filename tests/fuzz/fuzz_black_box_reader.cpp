// Black-box files (*.bb) from the device's stick, read as BlackBoxFile::import reads one.

#include "model/BlackBoxFile.h"
#include "model/BlackBoxShot.h"
#include "model/Model.h"
#include "tests/fuzz/FuzzQt.h"

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
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<int>(size));
    BlackBoxShot shot = BlackBoxFile::parse(input);

    // A reading line fills all five sensors or none of them.
    for (const SampleList& samples : shot.samples) {
        if (samples.size() != shot.samples[0].size())
            fail("sensors out of step");
    }

    // The shot joins a project behind one already recorded, as a batch import adds it.
    Model model;
    model.blockSignals(true);
    model.addMeasurement();
    const int samples = shot.samples[0].size();
    BlackBoxFile::add(model, std::move(shot));
    for (int k = 0; k < Model::numSensors; ++k) {
        if (model.numChannels(k) != 2 || model.measurement(k, 1)->size() != samples)
            fail("shot not added whole");
    }
    const SensorDescription& description = model.sensorDescription();
    if (description.numSensorGroups() > BlackBoxFile::maxCount ||
        description.sensorGroup(0).numSensors() > BlackBoxFile::maxCount)
        fail("a count beyond the limit was taken");
    return 0;
}
