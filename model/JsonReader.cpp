#include "model/JsonReader.h"

#include "model/NumberText.h"

#include <QByteArray>

#include <charconv>
#include <cmath>

namespace JsonReader {

QString errorText(Error error)
{
    switch (error) {
    case Error::None:
        return QStringLiteral("no error");
    case Error::Handler:
        return QStringLiteral("stopped by the reader");
    case Error::IllegalValue:
        return QStringLiteral("illegal value");
    case Error::IllegalNumber:
        return QStringLiteral("illegal number");
    case Error::IllegalEscape:
        return QStringLiteral("invalid escape sequence");
    case Error::IllegalUtf8:
        return QStringLiteral("invalid UTF-8 in a string");
    case Error::UnterminatedString:
        return QStringLiteral("unterminated string");
    case Error::UnterminatedArray:
        return QStringLiteral("unterminated array");
    case Error::UnterminatedObject:
        return QStringLiteral("unterminated object");
    case Error::MissingNameSeparator:
        return QStringLiteral("missing name separator");
    case Error::MissingValueSeparator:
        return QStringLiteral("missing value separator");
    case Error::DeepNesting:
        return QStringLiteral("nested deeper than %1 levels").arg(maxDepth);
    case Error::GarbageAtEnd:
        return QStringLiteral("garbage at the end of the document");
    }
    return QString();
}

bool toDouble(const char* text, std::size_t length, double& value)
{
    const char* const end = text + length;
    // Nearly every sample of a file.
    if (NumberText::parsePlainDecimal(text, end, value))
        return true;

    // A digit other than 0 before the exponent: a result of zero is an underflow, which
    // QJsonDocument refuses.
    bool nonZero = false;
    for (const char* p = text; p < end && *p != 'e' && *p != 'E'; ++p) {
        if (*p >= '1' && *p <= '9') {
            nonZero = true;
            break;
        }
    }
    double parsed = 0.0;
    const std::from_chars_result result = std::from_chars(text, end, parsed);
    if (result.ec == std::errc() && result.ptr == end && std::isfinite(parsed) &&
        (parsed != 0.0 || !nonZero)) {
        value = parsed;
        return true;
    }
    // What from_chars does not take (forms such as "-.5", results it counts as out of
    // range) is decided the way QJsonDocument decides it.
    bool ok = false;
    parsed = QByteArray::fromRawData(text, static_cast<int>(length)).toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

} // namespace JsonReader
