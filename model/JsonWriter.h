#pragma once

#include <QString>

#include <vector>

class QIODevice;

// Writes JSON as it goes, indented the way QJsonDocument::Indented lays it out, through a
// buffer of its own to a device; formatArray() gives the one-line arrays of samples. Numbers are written as the shortest text that reads back
// to the same double; non-finite numbers become null, as QJsonDocument writes them.
class JsonWriter
{
public:
    explicit JsonWriter(QIODevice& device);

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // Keys are ASCII names of the format.
    void key(const char* name);
    void string(const QString& text);
    void number(double value);
    void integer(qint64 value);
    void boolean(bool value);

    // A value already laid out, for instance an array formatted on another thread with
    // formatArray().
    void rawValue(const char* text, size_t size);
    // How many containers are open.
    int depth() const { return static_cast<int>(m_levels.size()); }

    // The number as number() writes it, at most 32 bytes; returns the end.
    static char* formatNumber(double value, char* out);
    // An array of numbers on one line, "[1.5,2,null]"; out has room for
    // arrayTextSize(count) bytes. Returns the end.
    static char* formatArray(char* out, const double* values, int count);
    static size_t arrayTextSize(int count);

    // Writes what is left in the buffer; false when any write to the device failed.
    bool finish();

private:
    struct Level
    {
        bool empty = true;
    };

    // Separator, line break and indent before an array element or an object key.
    void beginEntry();
    // Where a value goes: after a key, or as an array element.
    void beginValue();
    void openContainer(char bracket);
    void closeContainer(char bracket);
    void put(const char* bytes, size_t count);
    void putChar(char c);
    void reserve(size_t count);
    void flush();

    QIODevice& m_device;
    std::vector<char> m_buffer;
    size_t m_used = 0;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
    bool m_failed = false;
};
