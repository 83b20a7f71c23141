#pragma once

#include <cstddef>
#include <cstdint>

// Number formatting for the bulk writers (text export), where QLocale::toString per
// sample dominates the run time. Output is ASCII, not terminated.
namespace NumberText {

// Every function here writes at most this many bytes.
constexpr std::size_t maxChars = 64;

// Byte-identical to QLocale(German, Germany).toString(value, 'g', 6) as UTF-8, so exported
// files stay unchanged; returns the byte count.
int germanG6(double value, char* out);

// Plain decimals as most files write them: an optional "-", 1 to 15 digits and at most one
// ".". The digits as an integer and the power of ten are both exact doubles, so one
// division rounds correctly. Reads from begin up to the first character that cannot
// continue the number and returns where it stopped, or null, with value untouched, when
// what it read is no such decimal (no digit, more than 15). Inline: the readers call it
// for every sample.
inline const char* scanPlainDecimal(const char* begin, const char* end, double& value)
{
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = begin;
    const bool negative = p < end && *p == '-';
    if (negative)
        ++p;
    std::uint64_t digits = 0;
    int count = 0;
    int fraction = -1;
    for (; p < end; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            ++count;
            if (fraction >= 0)
                ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            break;
        }
    }
    if (count == 0 || count > 15)
        return nullptr;
    // Whole numbers, as the device writes micrometres, need no division.
    const double magnitude = fraction > 0 ? static_cast<double>(digits) / powersOfTen[fraction]
                                          : static_cast<double>(digits);
    value = negative ? -magnitude : magnitude;
    return p;
}

// The whole of [begin, end) as a plain decimal; false for anything else, which the caller
// hands to a full parser.
inline bool parsePlainDecimal(const char* begin, const char* end, double& value)
{
    double parsed = 0.0;
    if (scanPlainDecimal(begin, end, parsed) != end)
        return false;
    value = parsed;
    return true;
}

} // namespace NumberText
