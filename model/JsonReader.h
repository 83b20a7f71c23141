#pragma once

#include <QString>

#include <cstddef>
#include <string>

// Reads JSON as a stream of events and takes exactly the texts QJsonDocument takes, since
// every project file before the streaming reader was read by it: raw control characters in
// strings; an escaped character other than the JSON escapes stands for itself ("\a" is
// "a"); "\u" escapes are UTF-16 code units, a lone surrogate included; numbers as
// QByteArray::toDouble reads them ("-.5", "1.", "0e309"), but none beyond the double range
// and none that rounds to zero from non-zero digits; only blanks, tabs, line feeds and
// carriage returns between tokens, and nothing else after the document, a zero byte
// included. One deliberate difference: "-0" reads as -0.0 (QJsonDocument gives 0.0), so
// that a sample written as -0.0 reads back with its sign.
namespace JsonReader {

// QJsonDocument refuses documents nested deeper.
constexpr int maxDepth = 1024;

enum class Error
{
    None,
    Handler,
    IllegalValue,
    IllegalNumber,
    IllegalEscape,
    IllegalUtf8,
    UnterminatedString,
    UnterminatedArray,
    UnterminatedObject,
    MissingNameSeparator,
    MissingValueSeparator,
    DeepNesting,
    GarbageAtEnd,
};

QString errorText(Error error);

// A number as the reader delimits it (an optional "-", digits, "." and digits, an exponent)
// as a double; false where QJsonDocument refuses it.
bool toDouble(const char* text, std::size_t length, double& value);

// Stream: Peek() gives the next byte (0 at the end), Take() takes it, Tell() counts the
// bytes taken, atEnd() tells the real end from a zero byte, skipWhitespace() skips blanks,
// tabs, line feeds and carriage returns.
// Handler: Null(), Bool(bool), Number(double), String(const QString&), Key(const QString&),
// StartObject(), EndObject(), StartArray(), EndArray(); each returns false to stop.
template <typename Stream, typename Handler>
class Reader
{
public:
    Reader(Stream& stream, Handler& handler)
        : m_stream(stream)
        , m_handler(handler)
    {
    }

    // True when the input is one JSON object or array and the handler took every event.
    bool parse()
    {
        m_stream.skipWhitespace();
        const char c = m_stream.Peek();
        if (c != '{' && c != '[')
            return fail(Error::IllegalValue);
        if (!value(0))
            return false;
        m_stream.skipWhitespace();
        if (!m_stream.atEnd())
            return fail(Error::GarbageAtEnd);
        return true;
    }

    Error error() const { return m_error; }
    std::size_t errorOffset() const { return m_errorOffset; }

private:
    bool fail(Error error)
    {
        if (m_error == Error::None) {
            m_error = error;
            m_errorOffset = m_stream.Tell();
        }
        return false;
    }
    bool handled(bool taken) { return taken || fail(Error::Handler); }

    bool value(int depth)
    {
        switch (m_stream.Peek()) {
        case '{':
            return object(depth + 1);
        case '[':
            return array(depth + 1);
        case '"':
            return string() && handled(m_handler.String(text()));
        case 'n':
            return literal("null") && handled(m_handler.Null());
        case 't':
            return literal("true") && handled(m_handler.Bool(true));
        case 'f':
            return literal("false") && handled(m_handler.Bool(false));
        default:
            // Anything else is read as a number, as QJsonDocument does, and refused there.
            return number();
        }
    }

    bool object(int depth)
    {
        if (depth > maxDepth)
            return fail(Error::DeepNesting);
        m_stream.Take();
        if (!handled(m_handler.StartObject()))
            return false;
        m_stream.skipWhitespace();
        if (m_stream.Peek() == '}') {
            m_stream.Take();
            return handled(m_handler.EndObject());
        }
        for (;;) {
            if (m_stream.Peek() != '"')
                return fail(m_stream.atEnd() ? Error::UnterminatedObject : Error::IllegalValue);
            if (!string() || !handled(m_handler.Key(text())))
                return false;
            m_stream.skipWhitespace();
            if (m_stream.Peek() != ':')
                return fail(Error::MissingNameSeparator);
            m_stream.Take();
            m_stream.skipWhitespace();
            if (!value(depth))
                return false;
            m_stream.skipWhitespace();
            const char c = m_stream.Peek();
            if (c == '}') {
                m_stream.Take();
                return handled(m_handler.EndObject());
            }
            if (c != ',')
                return fail(m_stream.atEnd() ? Error::UnterminatedObject
                                             : Error::MissingValueSeparator);
            m_stream.Take();
            m_stream.skipWhitespace();
        }
    }

    bool array(int depth)
    {
        if (depth > maxDepth)
            return fail(Error::DeepNesting);
        m_stream.Take();
        if (!handled(m_handler.StartArray()))
            return false;
        m_stream.skipWhitespace();
        if (m_stream.Peek() == ']') {
            m_stream.Take();
            return handled(m_handler.EndArray());
        }
        for (;;) {
            if (!value(depth))
                return false;
            m_stream.skipWhitespace();
            const char c = m_stream.Peek();
            if (c == ']') {
                m_stream.Take();
                return handled(m_handler.EndArray());
            }
            if (c != ',')
                return fail(m_stream.atEnd() ? Error::UnterminatedArray
                                             : Error::MissingValueSeparator);
            m_stream.Take();
            m_stream.skipWhitespace();
        }
    }

    bool literal(const char* word)
    {
        for (const char* p = word; *p; ++p) {
            if (m_stream.Peek() != *p)
                return fail(Error::IllegalValue);
            m_stream.Take();
        }
        return true;
    }

    bool number()
    {
        m_number.clear();
        auto takeDigits = [this] {
            while (m_stream.Peek() >= '0' && m_stream.Peek() <= '9')
                m_number.push_back(m_stream.Take());
        };
        if (m_stream.Peek() == '-')
            m_number.push_back(m_stream.Take());
        if (m_stream.Peek() == '0')
            m_number.push_back(m_stream.Take());
        else
            takeDigits();
        if (m_stream.Peek() == '.') {
            m_number.push_back(m_stream.Take());
            takeDigits();
        }
        if (m_stream.Peek() == 'e' || m_stream.Peek() == 'E') {
            m_number.push_back(m_stream.Take());
            if (m_stream.Peek() == '+' || m_stream.Peek() == '-')
                m_number.push_back(m_stream.Take());
            takeDigits();
        }
        double d = 0.0;
        if (!toDouble(m_number.data(), m_number.size(), d))
            return fail(Error::IllegalNumber);
        return handled(m_handler.Number(d));
    }

    // The string at the stream, without its quotation marks, into m_text.
    bool string()
    {
        m_text.clear();
        m_stream.Take();
        for (;;) {
            const auto c = static_cast<unsigned char>(m_stream.Peek());
            if (c == 0 && m_stream.atEnd())
                return fail(Error::UnterminatedString);
            m_stream.Take();
            if (c == '"')
                return true;
            if (c == '\\') {
                if (!escape())
                    return false;
            } else if (c < 0x80) {
                m_text.push_back(c);
            } else if (!utf8(c)) {
                return fail(Error::IllegalUtf8);
            }
        }
    }

    bool escape()
    {
        const auto c = static_cast<unsigned char>(m_stream.Peek());
        if (c == 0 && m_stream.atEnd())
            return fail(Error::UnterminatedString);
        m_stream.Take();
        switch (c) {
        case 'b':
            m_text.push_back(u'\b');
            return true;
        case 'f':
            m_text.push_back(u'\f');
            return true;
        case 'n':
            m_text.push_back(u'\n');
            return true;
        case 'r':
            m_text.push_back(u'\r');
            return true;
        case 't':
            m_text.push_back(u'\t');
            return true;
        case 'u': {
            char16_t unit = 0;
            for (int i = 0; i < 4; ++i) {
                const char h = m_stream.Peek();
                int digit = 0;
                if (h >= '0' && h <= '9')
                    digit = h - '0';
                else if (h >= 'a' && h <= 'f')
                    digit = h - 'a' + 10;
                else if (h >= 'A' && h <= 'F')
                    digit = h - 'A' + 10;
                else
                    return fail(Error::IllegalEscape);
                m_stream.Take();
                unit = static_cast<char16_t>(unit * 16 + digit);
            }
            // As a code unit of its own: a pair of escapes makes one character, a lone
            // surrogate stays one unit.
            m_text.push_back(unit);
            return true;
        }
        default:
            // '"', '\\', '/' and any other byte stand for themselves.
            m_text.push_back(c);
            return true;
        }
    }

    // A UTF-8 sequence led by lead, as the strict decoder takes it: no overlong forms, no
    // surrogates, nothing beyond U+10FFFF.
    bool utf8(unsigned char lead)
    {
        int more = 0;
        char32_t code = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            code = lead & 0x0Fu;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            code = lead & 0x07u;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        for (int i = 0; i < more; ++i) {
            const auto c = static_cast<unsigned char>(m_stream.Peek());
            if (c < low || c > high)
                return false;
            m_stream.Take();
            code = (code << 6) | (c & 0x3Fu);
            low = 0x80;
            high = 0xBF;
        }
        if (code > 0xFFFF) {
            code -= 0x10000;
            m_text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            m_text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            m_text.push_back(static_cast<char16_t>(code));
        }
        return true;
    }

    QString text() const
    {
        return QString(reinterpret_cast<const QChar*>(m_text.data()),
                       static_cast<int>(m_text.size()));
    }

    Stream& m_stream;
    Handler& m_handler;
    Error m_error = Error::None;
    std::size_t m_errorOffset = 0;
    std::string m_number;
    std::u16string m_text;
};

} // namespace JsonReader
