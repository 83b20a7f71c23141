#pragma once

#include <cstddef>

// Number formatting for the bulk writers (text export, JSON), where QLocale::toString per
// sample dominates the run time. Output is ASCII, not terminated.
namespace NumberText {

// Every function here writes at most this many bytes.
constexpr std::size_t maxChars = 64;

// Byte-identical to QLocale(German, Germany).toString(value, 'g', 6) as UTF-8, so exported
// files stay unchanged; returns the byte count.
int germanG6(double value, char* out);

// The shortest text that reads back to the identical double, for lossless JSON. Callers
// pass finite values only; NaN and infinities give "0". Returns the byte count.
int shortest(double value, char* out);

// Plain decimals as most files write them: an optional "-", up to 15 digits and at most one
// ".". The digits as an integer and the power of ten are both exact doubles, so one
// division rounds correctly. False, with value untouched, for anything else (exponents,
// signs, more digits, no digit at all), which the caller hands to a full parser.
bool parsePlainDecimal(const char* begin, const char* end, double& value);

} // namespace NumberText
