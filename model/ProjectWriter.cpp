#include "model/ProjectWriter.h"

#include "model/JsonWriter.h"
#include "model/NumberText.h"
#include "model/ProjectDocument.h"

#include <QBuffer>
#include <QIODevice>

#include <charconv>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Reports whole percents of the samples done, each once.
class SampleProgress
{
public:
    SampleProgress(const ProjectWriter::Progress& progress, qint64 total)
        : m_progress(progress)
        , m_total(qMax<qint64>(1, total))
    {
    }
    void add(qint64 samples)
    {
        m_done += samples;
        const int percent = static_cast<int>(qMin<qint64>(100, m_done * 100 / m_total));
        if (m_progress && percent != m_percent) {
            m_percent = percent;
            m_progress(percent);
        }
    }

private:
    const ProjectWriter::Progress& m_progress;
    qint64 m_total;
    qint64 m_done = 0;
    int m_percent = -1;
};

// The text of one shot, formatted into memory that is used again for the next batch.
struct ShotText
{
    std::unique_ptr<char[]> data;
    size_t capacity = 0;
    size_t size = 0;

    // Room for at least bytes, not cleared.
    char* room(size_t bytes)
    {
        if (bytes > capacity) {
            data.reset(new char[bytes]);
            capacity = bytes;
        }
        return data.get();
    }
};

// Formatting the samples is most of the work, and the GUI thread mostly waits meanwhile:
// shots are formatted in batches, each batch split between this thread and a second one,
// and handed out in their order.
template <typename Format, typename Output>
void formatShots(int count, const Format& format, const Output& output)
{
    static const bool twoThreads = std::thread::hardware_concurrency() > 1;
    constexpr int batch = 64;
    std::vector<ShotText> texts(batch);
    for (int first = 0; first < count; first += batch) {
        const int n = qMin(batch, count - first);
        // A second thread only pays for itself on a batch of some size.
        const int split = twoThreads && n >= 8 ? n / 2 : n;
        const auto formatRange = [&](int from, int to) {
            for (int i = from; i < to; ++i)
                format(first + i, texts[static_cast<size_t>(i)]);
        };
        std::thread second;
        if (split < n)
            second = std::thread(formatRange, split, n);
        formatRange(0, split);
        if (second.joinable())
            second.join();
        for (int i = 0; i < n; ++i) {
            const ShotText& text = texts[static_cast<size_t>(i)];
            output(first + i, text.data.get(), text.size);
        }
    }
}

QString imageToText(const QImage& image)
{
    if (image.isNull())
        return QString();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(png.toBase64());
}

void writeNumbers(JsonWriter& json, const char* key,
                  const std::optional<ProjectDocument::Numbers>& numbers)
{
    if (!numbers)
        return;
    json.key(key);
    json.beginArray();
    for (double v : numbers->values)
        json.number(v);
    json.endArray();
}

void writeTexts(JsonWriter& json, const char* key, const std::optional<QStringList>& texts)
{
    if (!texts)
        return;
    json.key(key);
    json.beginArray();
    for (const QString& text : *texts)
        json.string(text);
    json.endArray();
}

void writeString(JsonWriter& json, const char* key, const QString& text)
{
    json.key(key);
    json.string(text);
}

void writeNumber(JsonWriter& json, const char* key, const std::optional<double>& value)
{
    if (!value)
        return;
    json.key(key);
    json.number(*value);
}

// A list of number lists, each laid out as the shots are.
void writeLists(JsonWriter& json, const char* key,
                const std::optional<ProjectDocument::Shots>& lists)
{
    if (!lists)
        return;
    json.key(key);
    json.beginArray();
    std::vector<char> text;
    for (const QVector<double>& values : *lists) {
        text.resize(JsonWriter::arrayTextSize(values.size()));
        const char* end = JsonWriter::formatArray(text.data(), values.constData(), values.size());
        json.rawValue(text.data(), static_cast<size_t>(end - text.data()));
    }
    json.endArray();
}

// The reference's keys all begin with "reference", which sorts between "projectUser" and
// "sensor 1"; among themselves they are written in that order too.
void writeReference(JsonWriter& json, const ProjectDocument::Reference& ref)
{
    writeNumber(json, "referenceClock", ref.clock);
    writeLists(json, "referenceLower", ref.lower);
    writeLists(json, "referenceMean", ref.mean);
    writeNumber(json, "referenceMinDuration", ref.minDuration);
    if (ref.part)
        writeString(json, "referencePart", *ref.part);
    writeNumbers(json, "referencePartMarkers", ref.partMarkers);
    writeNumber(json, "referenceShotCount", ref.shotCount);
    writeNumbers(json, "referenceShots", ref.shots);
    writeNumber(json, "referenceTimeTolerance", ref.timeTolerance);
    writeLists(json, "referenceUpper", ref.upper);
    writeNumbers(json, "referenceValueTolerance", ref.valueTolerance);
}

// Buffered bytes for the text export; the device sees large writes only, and samples are
// formatted straight into the buffer.
class TextOut
{
public:
    explicit TextOut(QIODevice& device)
        : m_device(device)
        , m_buffer(capacity + reserve)
    {
    }
    void text(const QString& text) { bytes(text.toUtf8()); }
    void bytes(const QByteArray& bytes) { append(bytes.constData(), bytes.size()); }
    void append(const char* data, qint64 size)
    {
        if (m_used + static_cast<size_t>(size) > m_buffer.size())
            flush();
        if (static_cast<size_t>(size) > m_buffer.size())
            m_buffer.resize(static_cast<size_t>(size));
        std::memcpy(m_buffer.data() + m_used, data, static_cast<size_t>(size));
        m_used += static_cast<size_t>(size);
    }
    bool finish()
    {
        flush();
        return !m_failed;
    }

private:
    static constexpr size_t capacity = 1 << 20;
    // Room for one sample and its separator beyond the capacity.
    static constexpr size_t reserve = NumberText::maxChars + 8;
    void flush()
    {
        if (m_used == 0)
            return;
        const auto size = static_cast<qint64>(m_used);
        if (!m_failed && m_device.write(m_buffer.data(), size) != size)
            m_failed = true;
        m_used = 0;
    }

    QIODevice& m_device;
    std::vector<char> m_buffer;
    size_t m_used = 0;
    bool m_failed = false;
};

} // namespace

namespace ProjectWriter {

bool writeProject(const ProjectDocument& doc, QIODevice& device, const Progress& progress)
{
    SampleProgress done(progress, doc.sampleCount());
    JsonWriter json(device);
    // Keys in the order QJsonDocument sorts them, so files keep their familiar layout.
    json.beginObject();
    json.key("ViewData");
    json.beginObject();
    json.key("checkBoxMarkerAbsolute");
    json.boolean(doc.markerAbsolute.value_or(true));
    writeNumbers(json, "osziMaxValues", doc.osziMaxValues);
    writeNumbers(json, "osziMinValues", doc.osziMinValues);
    json.endObject();

    writeNumbers(json, "blackBoxShots", doc.blackBoxShots);
    json.key("clock");
    json.integer(static_cast<qint64>(doc.clock));
    writeString(json, "comment", doc.comment);
    writeNumbers(json, "corrections", doc.corrections);
    writeString(json, "fileVersion", doc.fileVersion);
    writeString(json, "hwVersion", doc.hwVersion);
    json.key("kalvikType");
    json.integer(doc.kalvikType);
    if (doc.markers) {
        json.key("markers");
        json.beginArray();
        for (double m : doc.markers->values)
            json.integer(static_cast<qint64>(m));
        json.endArray();
    }
    json.key("paramClosingForce");
    json.integer(doc.closingForce);
    json.key("paramInjectionTime");
    json.number(doc.injectionTime);
    json.key("paramPressure");
    json.integer(doc.pressure);
    json.key("paramPressureTime");
    json.number(doc.pressTime);
    writeTexts(json, "phases", doc.phases);
    writeString(json, "projectCustomer", doc.projectCustomer);
    writeString(json, "projectDate", doc.projectDate);
    static const char* const imageKeys[ProjectDocument::numImages] = {
        "projectImage", "projectImage1", "projectImage2", "projectImage3", "projectImage4"};
    for (int i = 0; i < ProjectDocument::numImages; ++i)
        writeString(json, imageKeys[i], imageToText(doc.images[static_cast<size_t>(i)]));
    writeString(json, "projectName", doc.projectName);
    writeString(json, "projectNumber", doc.projectNumber);
    writeString(json, "projectUser", doc.projectUser);
    writeReference(json, doc.reference);

    static const char* const shotKeys[ProjectDocument::numSensors] = {
        "sensor 1", "sensor 2", "sensor 3", "sensor 4", "sensor 5"};
    for (int k = 0; k < ProjectDocument::numSensors; ++k) {
        const auto& shots = doc.shots[static_cast<size_t>(k)];
        if (!shots)
            continue;
        json.key(shotKeys[k]);
        json.beginArray();
        formatShots(
            shots->size(),
            [&](int j, ShotText& text) {
                const QVector<double>& samples = shots->at(j);
                char* const begin = text.room(JsonWriter::arrayTextSize(samples.size()));
                text.size = static_cast<size_t>(
                    JsonWriter::formatArray(begin, samples.constData(), samples.size()) - begin);
            },
            [&](int j, const char* text, size_t size) {
                json.rawValue(text, size);
                done.add(shots->at(j).size());
            });
        json.endArray();
    }
    writeNumbers(json, "sensor maxValues", doc.maxValues);
    writeNumbers(json, "sensor minValues", doc.minValues);
    if (doc.sensorGroupName)
        writeString(json, "sensorGroupName", *doc.sensorGroupName);
    static const char* const nameKeys[ProjectDocument::numSensors] = {
        "sensorName 1", "sensorName 2", "sensorName 3", "sensorName 4", "sensorName 5"};
    for (int k = 0; k < ProjectDocument::numSensors; ++k) {
        if (const auto& name = doc.sensorNames[static_cast<size_t>(k)])
            writeString(json, nameKeys[k], *name);
    }
    writeTexts(json, "sensorTypes", doc.sensorTypes);
    writeTexts(json, "sensorUnits", doc.sensorUnits);
    writeTexts(json, "recordingGaps", doc.recordingGaps);
    if (doc.spcBase)
        writeString(json, "spcBase", *doc.spcBase);
    writeTexts(json, "spcLimits", doc.spcLimits);
    if (doc.spcRules)
        writeString(json, "spcRules", *doc.spcRules);
    if (doc.spcValue)
        writeString(json, "spcValue", *doc.spcValue);
    writeString(json, "swVersion", doc.swVersion);
    if (doc.timestamps) {
        json.key("timestamps");
        json.beginArray();
        // An unset timestamp is stored as empty text, so every shot keeps its place.
        for (const QDateTime& time : *doc.timestamps)
            json.string(time.isValid() ? time.toString(Qt::ISODateWithMs) : QString());
        json.endArray();
    }
    json.endObject();
    done.add(0);
    return json.finish();
}

bool writeText(const ProjectDocument& doc, const QString& fileName, QIODevice& device,
               const Progress& progress)
{
    SampleProgress done(progress, doc.sampleCount());
    TextOut out(device);
    out.text(QStringLiteral("Dateiname: ") + fileName + QLatin1Char('\n'));
    out.text(QStringLiteral("\n"));
    out.text(QStringLiteral("Projekt: ") + doc.projectName + QLatin1Char('\n'));
    out.text(QStringLiteral("Proj.Nr.: ") + doc.projectNumber + QLatin1Char('\n'));
    out.text(QStringLiteral("Bearbeiter: ") + doc.projectUser + QLatin1Char('\n'));
    out.text(QStringLiteral("Datum: ") + doc.projectDate + QLatin1Char('\n'));
    out.text(QStringLiteral("\n"));
    out.text(QStringLiteral("Abtastrate: %1ms\n").arg(static_cast<qint64>(doc.clock)));
    for (int k = 0; k < ProjectDocument::numSensors; ++k) {
        out.text(QStringLiteral("Sensor %1: ").arg(k + 1) +
                 doc.sensorNames[static_cast<size_t>(k)].value_or(QString()) + QLatin1Char('\n'));
        const auto& shots = doc.shots[static_cast<size_t>(k)];
        if (!shots)
            continue;
        formatShots(
            shots->size(),
            [&](int j, ShotText& text) {
                const QVector<double>& samples = shots->at(j);
                char* const begin = text.room(
                    static_cast<size_t>(samples.size()) * (NumberText::maxChars + 1) + 32);
                char* out = begin;
                std::memcpy(out, "data ", 5);
                out = std::to_chars(out + 5, out + 32, j).ptr;
                *out++ = ';';
                for (int i = 0; i < samples.size(); ++i) {
                    if (i > 0)
                        *out++ = ';';
                    out += NumberText::germanG6(samples.at(i), out);
                }
                *out++ = '\n';
                text.size = static_cast<size_t>(out - begin);
            },
            [&](int j, const char* text, size_t size) {
                out.append(text, static_cast<qint64>(size));
                done.add(shots->at(j).size());
            });
    }
    done.add(0);
    return out.finish();
}

} // namespace ProjectWriter
