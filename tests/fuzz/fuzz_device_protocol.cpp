// Lines from the device, split and decoded as the connector delivers them, through every
// parser of the line protocol; the whole input also as the user's shot-range text.

#include "control/DeviceProtocol.h"
#include "model/ProjectData.h"
#include "model/SensorDescription.h"
#include "tests/fuzz/FuzzQt.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace DeviceProtocol;

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_device_protocol: %s\n", what);
    std::abort();
}

void parseLine(const QString& line, bool& inList, SensorDescription& description)
{
    const Kind kind = classify(line, inList);
    classify(line, !inList);
    if (kind == Kind::ListBegin)
        inList = true;
    else if (kind == Kind::ListEnd)
        inList = false;

    for (const bool thousandths : {false, true}) {
        const Readings readings = parseValues(line, thousandths);
        if (!readings.values.isEmpty() && readings.values.size() != numReadings)
            fail("a value line taken without exactly five readings");
        if (readings.values.isEmpty() == readings.error.isEmpty())
            fail("readings and error disagree");
        for (const double v : readings.values) {
            if (!std::isfinite(v))
                fail("a reading that is not finite");
        }
    }

    QString error;
    const std::optional<int> period = parseSamplePeriod(line, &error);
    if (period && (*period < 1 || *period > maxSamplePeriod))
        fail("sample period out of range taken");
    if (!period && error.isEmpty())
        fail("sample period refused without a diagnostic");

    ProjectData current;
    current.markers = {1, 2, 3, 4};
    parseDeviceDescription(line, current);
    applySensorDescription(line, description);
    listEntry(line);
    parseShotRanges(line);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startQuietApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* const begin = reinterpret_cast<const char*>(data);
    const char* const end = begin + size;
    bool inList = false;
    SensorDescription description;
    for (const char* p = begin; p < end;) {
        const void* feed = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        const char* next = feed ? static_cast<const char*>(feed) + 1 : end;
        // A line keeps its line feed, and ends at a zero byte, as the connector gives it.
        const void* zero = std::memchr(p, '\0', static_cast<std::size_t>(next - p));
        const char* stop = zero ? static_cast<const char*>(zero) : next;
        parseLine(QString::fromLatin1(p, static_cast<int>(stop - p)), inList, description);
        p = next;
    }
    parseShotRanges(QString::fromUtf8(begin, static_cast<int>(size)));
    return 0;
}
