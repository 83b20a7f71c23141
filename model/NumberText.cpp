#include "model/NumberText.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int digitsG6 = 6;
constexpr long minDigits6 = 100000;
constexpr long maxDigits6 = 999999;

// The powers of ten that are exact doubles: scaling by one of them is a single correctly
// rounded operation whose error the fma below recovers exactly.
constexpr double exactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int maxExactPow10 = 22;
// Decimal exponents whose six digits come from one such scaling.
constexpr int minFastExponent = digitsG6 - 1 - maxExactPow10;
constexpr int maxFastExponent = digitsG6 - 1 + maxExactPow10;

// Nearest doubles to 10^minFastExponent .. 10^(maxFastExponent + 1), to find the exponent.
constexpr double nearPow10[] = {1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8,
                                1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,  1e2,
                                1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11, 1e12,
                                1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21, 1e22,
                                1e23,  1e24,  1e25,  1e26,  1e27,  1e28};
static_assert(sizeof nearPow10 / sizeof nearPow10[0] == maxFastExponent - minFastExponent + 2,
              "one entry per fast exponent and one past");

constexpr char digitPairs[] =
    "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243"
    "4445464748495051525354555657585960616263646566676869707172737475767778798081828384858687"
    "888990919293949596979899";

// a * 10^(5 - exponent) rounded to an integer, exact halfway cases up as Qt's conversion
// does (to_chars rounds them to even).
long scaledRound(double a, int exponent)
{
    const int k = digitsG6 - 1 - exponent;
    const double p10 = exactPow10[k >= 0 ? k : -k];
    const double q = k >= 0 ? a * p10 : a / p10;
    // q < 10^7 for every exponent tried, so truncation is floor and the fraction exact.
    long rounded = static_cast<long>(q);
    const double fraction = q - static_cast<double>(rounded);
    // q has far more fractional bits than the exact result is away from it, so only a
    // fraction of exactly one half needs the sign of the exact rounding error.
    rounded += fraction > 0.5;
    if (fraction == 0.5) {
        const double error = k >= 0 ? std::fma(a, p10, -q) : std::fma(-q, p10, a);
        rounded += error >= 0.0;
    }
    return rounded;
}

// Six significant digits (as an integer) of a positive finite value with Qt's rounding, and
// its decimal exponent; false when the exponent is outside the fast range.
bool fastDigits(double a, long& digits6, int& exponent)
{
    if (!(a >= nearPow10[0] && a < nearPow10[maxFastExponent - minFastExponent + 1]))
        return false;
    std::uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int binaryExponent = static_cast<int>(bits >> 52) - 1023; // a is normal, positive
    // floor(log10(2) * binaryExponent) is the exponent or one below it (GCC shifts
    // negative values arithmetically).
    exponent = std::max((binaryExponent * 78913) >> 18, minFastExponent);
    exponent += exponent < maxFastExponent && a >= nearPow10[exponent + 1 - minFastExponent];
    long d6 = scaledRound(a, exponent);
    // The inexact negative powers in the table can leave the exponent one off right at a
    // power of ten; the digit count tells.
    if (d6 < minDigits6 && exponent > minFastExponent)
        d6 = scaledRound(a, --exponent);
    else if (d6 > maxDigits6 + 1 && exponent < maxFastExponent)
        d6 = scaledRound(a, ++exponent);
    if (d6 == maxDigits6 + 1) {
        d6 = minDigits6;
        ++exponent;
    }
    digits6 = d6;
    return d6 >= minDigits6 && d6 <= maxDigits6 && exponent <= maxFastExponent;
}

// The same from to_chars, for exponents outside the fast range. No double there lies
// exactly halfway between six-digit values (that needs -4 <= exponent <= 20), so its
// rounding to even never differs from Qt.
void slowDigits(double a, long& digits6, int& exponent)
{
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, digitsG6 - 1);
    // "d.ddddde+XX"
    long d6 = text[0] - '0';
    for (int i = 2; i < digitsG6 + 1; ++i)
        d6 = d6 * 10 + (text[i] - '0');
    const char* sign = text + digitsG6 + 2;
    int magnitude = 0;
    for (const char* c = sign + 1; c < result.ptr; ++c)
        magnitude = magnitude * 10 + (*c - '0');
    digits6 = d6;
    exponent = *sign == '-' ? -magnitude : magnitude;
}

// NaN and infinities are rare and their spelling is Qt's business.
int viaQLocale(double value, char* out)
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    const QByteArray text = german.toString(value, 'g', digitsG6).toUtf8();
    const int n = std::min(text.size(), static_cast<int>(NumberText::maxChars));
    std::memcpy(out, text.constData(), static_cast<std::size_t>(n));
    return n;
}

} // namespace

namespace NumberText {

// Export data are noisy readings: sign, digit count and decimals vary from sample to
// sample, so the layout below is computed rather than branched on where it is cheap, and
// copies have fixed lengths (plain moves) with out's spare bytes taking the excess.
int germanG6(double value, char* out)
{
    if (!std::isfinite(value))
        return viaQLocale(value, out);
    // Qt drops the sign of -0.
    if (value == 0.0) {
        out[0] = '0';
        return 1;
    }
    char* p = out;
    *p = '-';
    p += std::signbit(value);
    const double a = std::fabs(value);

    long d6 = 0;
    int exponent = 0;
    if (!fastDigits(a, d6, exponent))
        slowDigits(a, d6, exponent);

    char digits[16] = {};
    std::memcpy(digits, digitPairs + 2 * (d6 / 10000), 2);
    std::memcpy(digits + 2, digitPairs + 2 * (d6 / 100 % 100), 2);
    std::memcpy(digits + 4, digitPairs + 2 * (d6 % 100), 2);
    // Significant digits without the trailing zeros 'g' drops.
    const int count = digitsG6 - ((d6 % 10 == 0) + (d6 % 100 == 0) + (d6 % 1000 == 0) +
                                  (d6 % 10000 == 0) + (d6 % 100000 == 0));

    if (exponent < -4 || exponent >= digitsG6) {
        *p++ = digits[0];
        *p = ',';
        std::memcpy(p + 1, digits + 1, 8);
        p += count > 1 ? count : 0;
        *p++ = 'e';
        *p++ = exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        // Qt writes at least two exponent digits, like printf.
        if (magnitude >= 100)
            *p++ = static_cast<char>('0' + magnitude / 100);
        std::memcpy(p, digitPairs + 2 * (magnitude % 100), 2);
        p += 2;
    } else if (exponent >= 0) {
        // Integer digits beyond count are the zeros still in digits.
        const int integerDigits = exponent + 1;
        if (integerDigits > 3) {
            const int lead = integerDigits - 3;
            std::memcpy(p, digits, 4);
            p += lead;
            *p++ = '.';
            std::memcpy(p, digits + lead, 4);
            p += 3;
        } else {
            std::memcpy(p, digits, 4);
            p += integerDigits;
        }
        *p = ',';
        std::memcpy(p + 1, digits + integerDigits, 8);
        p += count > integerDigits ? 1 + count - integerDigits : 0;
    } else {
        // At most four zeros between the comma and the digits.
        std::memcpy(p, "0,0000", 6);
        p += 1 - exponent;
        std::memcpy(p, digits, 8);
        p += count;
    }
    return static_cast<int>(p - out);
}

} // namespace NumberText
