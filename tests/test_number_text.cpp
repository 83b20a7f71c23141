#include "model/NumberText.h"

#include <QLocale>
#include <QtTest>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

// Rounding boundaries, halfway cases (Qt rounds them up), exponent-form thresholds,
// denormals and the ends of the range; each is also tried negated.
const double edges[] = {0.0,
                        -0.0,
                        1e-5,
                        1234567,
                        1e21,
                        999999.5,
                        0.0001,
                        9.999995e-5,
                        std::numeric_limits<double>::denorm_min(),
                        std::nextafter(DBL_MIN, 0.0),
                        DBL_MIN,
                        DBL_MAX,
                        1234.5,
                        123456,
                        99999.95,
                        999999.4,
                        0.000099999996,
                        0.00009999995,
                        0.000099999949,
                        1e15,
                        123456789,
                        1e6,
                        std::nextafter(1e6, 0.0),
                        100000,
                        0.1,
                        1,
                        12345.25,
                        12345.75,
                        1234565,
                        999998.5,
                        100000.5,
                        123456.5,
                        0.1015625,
                        999.9995,
                        9999995,
                        99999949999.0,
                        1.5e300,
                        1e100,
                        1e-100,
                        1e-4 * (1 - DBL_EPSILON),
                        1e22,
                        1e23};

QByteArray germanText(double v)
{
    char buffer[NumberText::maxChars];
    return QByteArray(buffer, NumberText::germanG6(v, buffer));
}

QByteArray describe(double v, const QByteArray& got, const QByteArray& want)
{
    char number[40];
    std::snprintf(number, sizeof number, "%.17g", v);
    return QByteArray(number) + ": got \"" + got + "\", expected " + want;
}

// Empty when germanG6 agrees with QLocale, else the fault.
QByteArray germanFault(double v)
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    const QByteArray want = german.toString(v, 'g', 6).toUtf8();
    const QByteArray got = germanText(v);
    return got == want ? QByteArray() : describe(v, got, '"' + want + '"');
}

// Raw generator output only: the distributions of <random> differ between libraries.
std::uint64_t below(std::mt19937_64& rng, std::uint64_t n)
{
    return rng() % n;
}

// Fixed pseudo-random values of both signs: decimal magnitudes from denormals to near
// DBL_MAX, arbitrary bit patterns, device readings, and values exactly at or next to a
// halfway point of the sixth digit.
std::vector<double> sweep()
{
    std::mt19937_64 rng(20240611);
    std::vector<double> v(std::begin(edges), std::end(edges));
    auto add = [&v, &rng](double x) { v.push_back((rng() & 1) ? -x : x); };
    auto addWithNeighbours = [&add](double x) {
        add(x);
        add(std::nextafter(x, 0.0));
        add(std::nextafter(x, inf));
    };
    for (int i = 0; i < 200000; ++i) {
        const double mantissa = 1.0 + 9.0 * double(rng() >> 11) * 0x1.0p-53;
        const double x = mantissa * std::pow(10.0, int(below(rng, 629)) - 320);
        if (std::isfinite(x))
            add(x);
        const std::uint64_t bits = rng();
        double pattern;
        std::memcpy(&pattern, &bits, sizeof pattern);
        if (i % 2 == 0 && std::isfinite(pattern))
            v.push_back(pattern);
    }
    for (int i = 0; i < 100000; ++i) {
        // Micrometre readings -20000..20000 with 0..4 decimals, and raw counts in binary
        // steps, which are often exact halfway cases.
        const double scale = std::pow(10.0, int(below(rng, 5)));
        add(double(below(rng, std::uint64_t(20000 * scale) + 1)) / scale);
        const int shift = int(below(rng, 11));
        if (i % 2 == 0)
            add(double(below(rng, std::uint64_t(20000) << shift)) / double(1u << shift));
    }
    for (int i = 0; i < 20000; ++i) {
        // k + odd / 2^n ends in a 5 at the nth decimal; with 7 - n digits in k that is the
        // seventh significant digit. Below 1 some odd / 2^n are such cases, above 10^6
        // some d7 * 10^m (exactly so up to about m = 12).
        const int n = 1 + int(below(rng, 6));
        const std::uint64_t low = std::uint64_t(std::pow(10.0, 6 - n));
        addWithNeighbours(double(low + below(rng, 9 * low)) +
                          double(2 * below(rng, 1u << (n - 1)) + 1) / double(1u << n));
        const int m = 7 + int(below(rng, 14));
        addWithNeighbours(double(2 * below(rng, 1u << (m - 1)) + 1) / double(1u << m));
        const double d7 = double(100000 + below(rng, 900000)) * 10 + 5;
        addWithNeighbours(d7 * std::pow(10.0, int(below(rng, 22))));
    }
    return v;
}

// Runs check on every value; fails with the first few faults and their count.
template <typename Check>
void expectNoFaults(const std::vector<double>& values, Check check)
{
    int faults = 0;
    QByteArray report;
    for (double v : values) {
        const QByteArray fault = check(v);
        if (!fault.isEmpty() && ++faults <= 10)
            report += "\n  " + fault;
    }
    QVERIFY2(faults == 0, (QByteArray::number(faults) + " of " +
                           QByteArray::number(qulonglong(values.size())) + " wrong:" + report)
                              .constData());
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void germanMatchesQtOnEdges_data();
    void germanMatchesQtOnEdges();
    void germanMatchesQtOnSweep();
    void nonFiniteValues();
};

void TestNumberText::germanMatchesQtOnEdges_data()
{
    QTest::addColumn<double>("value");
    for (double v : edges) {
        char name[40];
        std::snprintf(name, sizeof name, "%.17g", v);
        QTest::newRow(name) << v;
    }
}

void TestNumberText::germanMatchesQtOnEdges()
{
    QFETCH(double, value);
    for (double v : {value, -value}) {
        const QByteArray fault = germanFault(v);
        QVERIFY2(fault.isEmpty(), fault.constData());
    }
}

void TestNumberText::germanMatchesQtOnSweep()
{
    expectNoFaults(sweep(), germanFault);
}

void TestNumberText::nonFiniteValues()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {nan, -nan, inf, -inf}) {
        const QByteArray fault = germanFault(v);
        QVERIFY2(fault.isEmpty(), fault.constData());
    }
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"
