#include "model/JsonWriter.h"

#include <QIODevice>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr size_t bufferSize = 1 << 20;
// Room for the longest single piece put at once without a check: separator, indent and
// a number.
constexpr size_t pieceSize = 512;
constexpr int indentWidth = 4;

} // namespace

JsonWriter::JsonWriter(QIODevice& device)
    : m_device(device)
    , m_buffer(bufferSize + pieceSize)
{
    m_levels.reserve(8);
}

void JsonWriter::reserve(size_t count)
{
    if (m_used + count > m_buffer.size()) {
        flush();
        if (count > m_buffer.size())
            m_buffer.resize(count);
    }
}

void JsonWriter::put(const char* bytes, size_t count)
{
    reserve(count);
    std::memcpy(m_buffer.data() + m_used, bytes, count);
    m_used += count;
}

void JsonWriter::putChar(char c)
{
    reserve(1);
    m_buffer[m_used++] = c;
}

void JsonWriter::flush()
{
    if (m_used == 0)
        return;
    if (!m_failed &&
        m_device.write(m_buffer.data(), static_cast<qint64>(m_used)) != static_cast<qint64>(m_used))
        m_failed = true;
    m_used = 0;
}

bool JsonWriter::finish()
{
    flush();
    return !m_failed;
}

void JsonWriter::beginEntry()
{
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    const size_t indent = m_levels.size() * indentWidth;
    reserve(2 + indent);
    char* out = m_buffer.data() + m_used;
    if (!level.empty)
        *out++ = ',';
    *out++ = '\n';
    std::memset(out, ' ', indent);
    m_used = static_cast<size_t>(out + indent - m_buffer.data());
    level.empty = false;
}

void JsonWriter::beginValue()
{
    if (m_afterKey)
        m_afterKey = false;
    else
        beginEntry();
}

void JsonWriter::openContainer(char bracket)
{
    beginValue();
    putChar(bracket);
    m_levels.push_back(Level());
}

void JsonWriter::closeContainer(char bracket)
{
    if (m_levels.empty())
        return;
    m_levels.pop_back();
    // QJsonDocument puts the closing bracket on a line of its own, even for an empty
    // container.
    const size_t indent = m_levels.size() * indentWidth;
    reserve(2 + indent);
    char* out = m_buffer.data() + m_used;
    *out++ = '\n';
    std::memset(out, ' ', indent);
    out += indent;
    *out++ = bracket;
    m_used = static_cast<size_t>(out - m_buffer.data());
    if (m_levels.empty())
        putChar('\n');
}

void JsonWriter::beginObject()
{
    openContainer('{');
}

void JsonWriter::endObject()
{
    closeContainer('}');
}

void JsonWriter::beginArray()
{
    openContainer('[');
}

void JsonWriter::endArray()
{
    closeContainer(']');
}

void JsonWriter::key(const char* name)
{
    beginEntry();
    putChar('"');
    put(name, std::strlen(name));
    put("\": ", 3);
    m_afterKey = true;
}

void JsonWriter::string(const QString& text)
{
    beginValue();
    const QByteArray utf8 = text.toUtf8();
    putChar('"');
    static const char hex[] = "0123456789abcdef";
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            put("\\\"", 2);
            break;
        case '\\':
            put("\\\\", 2);
            break;
        case '\b':
            put("\\b", 2);
            break;
        case '\f':
            put("\\f", 2);
            break;
        case '\n':
            put("\\n", 2);
            break;
        case '\r':
            put("\\r", 2);
            break;
        case '\t':
            put("\\t", 2);
            break;
        default:
            if (u < 0x20) {
                const char escaped[] = {'\\', 'u', '0', '0', hex[u >> 4], hex[u & 0xf]};
                put(escaped, sizeof escaped);
            } else {
                putChar(c);
            }
        }
    }
    putChar('"');
}

char* JsonWriter::formatNumber(double value, char* out)
{
    if (!std::isfinite(value)) {
        std::memcpy(out, "null", 4);
        return out + 4;
    }
    // The shortest digits that read back to the same double, laid out as QJsonDocument
    // does: whole numbers as integers, scientific notation only below 1e-4 and for
    // whole numbers beyond the 64-bit range.
    const double magnitude = std::fabs(value);
    std::to_chars_result result;
    if (magnitude < 9.2e18 && value == std::trunc(value) && !(value == 0.0 && std::signbit(value)))
        result = std::to_chars(out, out + 32, static_cast<long long>(value));
    else if (magnitude >= 9.2e18)
        result = std::to_chars(out, out + 32, value);
    else if (magnitude < 1e-4)
        result = std::to_chars(out, out + 32, value, std::chars_format::scientific);
    else
        result = std::to_chars(out, out + 32, value, std::chars_format::fixed);
    return result.ptr;
}

void JsonWriter::number(double value)
{
    beginValue();
    reserve(32);
    char* out = m_buffer.data() + m_used;
    m_used = static_cast<size_t>(formatNumber(value, out) - m_buffer.data());
}

size_t JsonWriter::arrayTextSize(int count)
{
    return 2 + static_cast<size_t>(count) * 33;
}

char* JsonWriter::formatArray(char* out, const double* values, int count)
{
    *out++ = '[';
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            *out++ = ',';
        out = formatNumber(values[i], out);
    }
    *out++ = ']';
    return out;
}

void JsonWriter::rawValue(const char* text, size_t size)
{
    beginValue();
    put(text, size);
}

void JsonWriter::integer(qint64 value)
{
    beginValue();
    reserve(24);
    char* out = m_buffer.data() + m_used;
    const std::to_chars_result result = std::to_chars(out, out + 24, value);
    m_used = static_cast<size_t>(result.ptr - m_buffer.data());
}

void JsonWriter::boolean(bool value)
{
    beginValue();
    if (value)
        put("true", 4);
    else
        put("false", 5);
}
