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

} // namespace NumberText
