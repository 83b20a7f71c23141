#include "model/ProjectReader.h"

#include "model/JsonReader.h"
#include "model/ProjectDocument.h"

#include <QIODevice>

#include <array>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Reads a device ahead on a thread of its own, so that the disk and the kernel's copying
// work while the JSON is parsed. Pieces are handed out in order; each has one spare byte
// behind its content for the stream's end mark.
class ReadAhead
{
public:
    // sizeHint: the bytes expected, so that a small file takes small pieces.
    ReadAhead(QIODevice& device, qint64 sizeHint)
        : m_device(device)
        , m_pieceSize(qBound<qint64>(4096, sizeHint + 1, 1 << 20))
    {
        for (auto& piece : m_pieces)
            piece.data.reset(new char[static_cast<size_t>(m_pieceSize) + 1]);
        for (size_t i = 0; i < m_pieces.size(); ++i)
            m_free.push_back(&m_pieces[i]);
        m_thread = std::thread([this] { run(); });
    }
    ~ReadAhead()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    struct Piece
    {
        std::unique_ptr<char[]> data;
        qint64 size = 0;
        bool failed = false;
    };

    qint64 pieceSize() const { return m_pieceSize; }

    // The next piece, once it is read; the one handed out before goes back for reuse. A
    // piece shorter than pieceSize() is the last.
    Piece& next()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_current)
            m_free.push_back(m_current);
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_filled.empty(); });
        m_current = m_filled.front();
        m_filled.pop_front();
        return *m_current;
    }

private:
    void run()
    {
        for (;;) {
            Piece* piece = nullptr;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stop || !m_free.empty(); });
                if (m_stop)
                    return;
                piece = m_free.back();
                m_free.pop_back();
            }
            // A short read is the end only when nothing more comes.
            piece->size = 0;
            piece->failed = false;
            while (piece->size < m_pieceSize) {
                const qint64 n =
                    m_device.read(piece->data.get() + piece->size, m_pieceSize - piece->size);
                if (n < 0)
                    piece->failed = true;
                if (n <= 0)
                    break;
                piece->size += n;
            }
            const bool last = piece->size < m_pieceSize;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_filled.push_back(piece);
            }
            m_changed.notify_all();
            if (last)
                return;
        }
    }

    QIODevice& m_device;
    const qint64 m_pieceSize;
    std::array<Piece, 3> m_pieces;
    std::vector<Piece*> m_free;
    std::deque<Piece*> m_filled;
    Piece* m_current = nullptr;
    bool m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};

// A byte stream over a device for the JSON reader, read in large pieces. It marks the end
// of the content with a NUL byte, so that the reader's look at the next byte needs no end
// check; a NUL byte in the content is told from the end by atEnd().
class DeviceStream
{
public:
    using Ch = char;

    DeviceStream(QIODevice& device, qint64 size, const ProjectReader::Progress& progress)
        : m_ahead(device, size)
        , m_size(size)
        , m_progress(progress)
    {
        read();
        // QJsonDocument skips a UTF-8 byte order mark.
        if (m_last - m_current >= 3 && std::memcmp(m_current, "\xEF\xBB\xBF", 3) == 0)
            m_current += 3;
    }

    Ch Peek() const { return *m_current; }
    Ch Take()
    {
        const Ch c = *m_current;
        advance();
        return c;
    }
    size_t Tell() const { return static_cast<size_t>(m_count + (m_current - m_begin)); }
    bool atEnd() const { return m_eof && m_current == m_last; }

    bool failed() const { return m_failed; }

    // Indented files are mostly blanks; skipping them over the buffer instead of byte by
    // byte through Peek and Take halves the reading time.
    void skipWhitespace()
    {
        for (;;) {
            Ch* p = m_current;
            while (p < m_last && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t'))
                ++p;
            m_current = p;
            const Ch c = *m_current;
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                return;
            // m_current is the buffer's last byte and a blank.
            advance();
            if (m_eof && m_current == m_last && *m_current == '\0')
                return;
        }
    }

private:
    void advance()
    {
        if (m_current < m_last)
            ++m_current;
        else if (!m_eof)
            read();
    }

    // The piece holds the bytes up to and including m_last; after the last piece m_last
    // is the NUL mark behind the content.
    void read()
    {
        m_count += m_readCount;
        ReadAhead::Piece& piece = m_ahead.next();
        if (piece.failed)
            m_failed = true;
        const qint64 got = piece.size;
        m_readCount = got;
        m_begin = piece.data.get();
        m_current = m_begin;
        if (got < m_ahead.pieceSize()) {
            m_begin[got] = '\0';
            m_last = m_current + got;
            m_eof = true;
        } else {
            m_last = m_current + got - 1;
        }
        if (m_progress && m_size > 0)
            m_progress(static_cast<int>(qMin<qint64>(99, (m_count + got) * 100 / m_size)));
    }

    ReadAhead m_ahead;
    qint64 m_size;
    const ProjectReader::Progress& m_progress;
    Ch* m_begin = nullptr;
    Ch* m_current = nullptr;
    Ch* m_last = nullptr;
    qint64 m_count = 0;
    qint64 m_readCount = 0;
    bool m_eof = false;
    bool m_failed = false;
};

enum class Top
{
    Unknown,
    FileVersion,
    ProjectName,
    ProjectNumber,
    ProjectUser,
    ProjectDate,
    ProjectCustomer,
    ClosingForce,
    InjectionTime,
    PressTime,
    Pressure,
    Clock,
    Comment,
    KalvikType,
    HwVersion,
    SwVersion,
    Image,
    SensorName,
    Shots,
    Markers,
    Phases,
    Corrections,
    MinValues,
    MaxValues,
    ViewData,
    Timestamps,
    GroupName,
    Types,
    Units,
    RefClock,
    RefShotCount,
    RefShots,
    RefValueTolerance,
    RefTimeTolerance,
    RefMinDuration,
    RefPart,
    RefPartMarkers,
    RefMean,
    RefUpper,
    RefLower,
    SpcValue,
    SpcBase,
    SpcRules,
    SpcLimits,
    BlackBoxShots,
    Gaps,
};

struct TopKey
{
    const char* name;
    Top top;
    int index;
};

const TopKey topKeys[] = {
    {"fileVersion", Top::FileVersion, 0},
    {"projectName", Top::ProjectName, 0},
    {"projectNumber", Top::ProjectNumber, 0},
    {"projectUser", Top::ProjectUser, 0},
    {"projectDate", Top::ProjectDate, 0},
    {"projectCustomer", Top::ProjectCustomer, 0},
    {"paramClosingForce", Top::ClosingForce, 0},
    {"paramInjectionTime", Top::InjectionTime, 0},
    {"paramPressureTime", Top::PressTime, 0},
    {"paramPressure", Top::Pressure, 0},
    {"clock", Top::Clock, 0},
    {"comment", Top::Comment, 0},
    {"kalvikType", Top::KalvikType, 0},
    {"hwVersion", Top::HwVersion, 0},
    {"swVersion", Top::SwVersion, 0},
    {"projectImage", Top::Image, 0},
    {"projectImage1", Top::Image, 1},
    {"projectImage2", Top::Image, 2},
    {"projectImage3", Top::Image, 3},
    {"projectImage4", Top::Image, 4},
    {"sensorName 1", Top::SensorName, 0},
    {"sensorName 2", Top::SensorName, 1},
    {"sensorName 3", Top::SensorName, 2},
    {"sensorName 4", Top::SensorName, 3},
    {"sensorName 5", Top::SensorName, 4},
    {"sensor 1", Top::Shots, 0},
    {"sensor 2", Top::Shots, 1},
    {"sensor 3", Top::Shots, 2},
    {"sensor 4", Top::Shots, 3},
    {"sensor 5", Top::Shots, 4},
    {"markers", Top::Markers, 0},
    {"phases", Top::Phases, 0},
    {"corrections", Top::Corrections, 0},
    {"sensor minValues", Top::MinValues, 0},
    {"sensor maxValues", Top::MaxValues, 0},
    {"ViewData", Top::ViewData, 0},
    {"timestamps", Top::Timestamps, 0},
    {"sensorGroupName", Top::GroupName, 0},
    {"sensorTypes", Top::Types, 0},
    {"sensorUnits", Top::Units, 0},
    {"referenceClock", Top::RefClock, 0},
    {"referenceShotCount", Top::RefShotCount, 0},
    {"referenceShots", Top::RefShots, 0},
    {"referenceValueTolerance", Top::RefValueTolerance, 0},
    {"referenceTimeTolerance", Top::RefTimeTolerance, 0},
    {"referenceMinDuration", Top::RefMinDuration, 0},
    {"referencePart", Top::RefPart, 0},
    {"referencePartMarkers", Top::RefPartMarkers, 0},
    {"referenceMean", Top::RefMean, 0},
    {"referenceUpper", Top::RefUpper, 0},
    {"referenceLower", Top::RefLower, 0},
    {"spcValue", Top::SpcValue, 0},
    {"spcBase", Top::SpcBase, 0},
    {"spcRules", Top::SpcRules, 0},
    {"spcLimits", Top::SpcLimits, 0},
    {"blackBoxShots", Top::BlackBoxShots, 0},
    {"recordingGaps", Top::Gaps, 0},
};

enum class ViewKey
{
    Unknown,
    MarkerAbsolute,
    OsziMin,
    OsziMax
};

// An integer key: whole numbers in the int range are taken, anything else gives 0.
int integerValue(double d)
{
    if (!std::isfinite(d) || d != std::trunc(d) ||
        d < static_cast<double>(std::numeric_limits<int>::min()) ||
        d > static_cast<double>(std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(d);
}

// The JSON events of a project file, turned into the document as they come. Every value
// read where a number belongs gives 0 when it is none, every value where a text belongs
// the empty text, as QJsonValue's conversions do; a key given twice counts with its last
// value, as in QJsonDocument.
class Handler
{
public:
    explicit Handler(ProjectDocument& document)
        : doc(document)
    {
    }

    // What the reader found besides the JSON syntax.
    bool notObject = false;
    std::array<QByteArray, ProjectDocument::numImages> imageTexts;

    bool Null() { return scalar(Scalar{}); }
    bool Bool(bool b)
    {
        Scalar s;
        s.kind = Scalar::Bool;
        s.boolean = b;
        return scalar(s);
    }
    bool Number(double d)
    {
        if (depth == 3 && context[3] == Context::Shot) {
            samples.push_back(d);
            return true;
        }
        Scalar s;
        s.kind = Scalar::Number;
        s.number = d;
        return scalar(s);
    }
    bool String(const QString& text)
    {
        Scalar s;
        s.kind = Scalar::String;
        s.text = &text;
        return scalar(s);
    }
    bool Key(const QString& key)
    {
        if (skip > 0)
            return true;
        if (depth == 1) {
            top = Top::Unknown;
            topIndex = 0;
            for (const TopKey& k : topKeys) {
                if (key == QLatin1String(k.name)) {
                    top = k.top;
                    topIndex = k.index;
                    break;
                }
            }
        } else if (depth == 2 && context[2] == Context::View) {
            viewKey = key == QLatin1String("checkBoxMarkerAbsolute") ? ViewKey::MarkerAbsolute
                      : key == QLatin1String("osziMinValues")        ? ViewKey::OsziMin
                      : key == QLatin1String("osziMaxValues")        ? ViewKey::OsziMax
                                                                     : ViewKey::Unknown;
        }
        return true;
    }
    bool StartObject() { return start(false); }
    bool EndObject() { return end(); }
    bool StartArray() { return start(true); }
    bool EndArray() { return end(); }

private:
    struct Scalar
    {
        enum Kind
        {
            Null,
            Bool,
            Number,
            String
        } kind = Null;
        bool boolean = false;
        double number = 0.0;
        const QString* text = nullptr;

        double toDouble() const { return kind == Number ? number : 0.0; }
        QString toString() const { return kind == String ? *text : QString(); }
        std::optional<QString> stringOnly() const
        {
            if (kind != String)
                return std::nullopt;
            return toString();
        }
    };

    // What an open container at a given depth is.
    enum class Context
    {
        None,
        Root,
        Shots,
        Shot,
        Numbers,
        Texts,
        Timestamps,
        View
    };

    static std::optional<ProjectDocument::Numbers>& numbersOf(ProjectDocument& doc, Top top)
    {
        switch (top) {
        case Top::Markers:
            return doc.markers;
        case Top::Corrections:
            return doc.corrections;
        case Top::MinValues:
            return doc.minValues;
        case Top::RefShots:
            return doc.reference.shots;
        case Top::RefValueTolerance:
            return doc.reference.valueTolerance;
        case Top::RefPartMarkers:
            return doc.reference.partMarkers;
        case Top::BlackBoxShots:
            return doc.blackBoxShots;
        default:
            return doc.maxValues;
        }
    }

    // How many leading elements of a number array are kept: the markers, the five
    // sensors, and for the ranges one more, which meets the range check.
    static int numbersKept(Top top)
    {
        switch (top) {
        case Top::Markers:
            return 4;
        case Top::MinValues:
        case Top::MaxValues:
            return ProjectDocument::numSensors + 1;
        // Every taught shot counts; the file's size bounds them.
        case Top::RefShots:
        case Top::BlackBoxShots:
            return std::numeric_limits<int>::max();
        default:
            return ProjectDocument::numSensors;
        }
    }

    // Lists of sample lists: the shots of a sensor, or one of the reference band's lists
    // (one list per sensor).
    std::optional<ProjectDocument::Shots>& shotsOf(Top top, size_t sensor)
    {
        return top == Top::RefMean    ? doc.reference.mean
               : top == Top::RefUpper ? doc.reference.upper
               : top == Top::RefLower ? doc.reference.lower
                                      : doc.shots[sensor];
    }

    std::optional<QStringList>& textsOf(Top top)
    {
        return top == Top::Phases      ? doc.phases
               : top == Top::Types     ? doc.sensorTypes
               : top == Top::SpcLimits ? doc.spcLimits
               : top == Top::Gaps      ? doc.recordingGaps
                                       : doc.sensorUnits;
    }

    // The sensors' and phases' texts are five; the SPC limits (one per value) and the gaps
    // are as many as the file holds.
    static int textsKept(Top top)
    {
        return top == Top::SpcLimits || top == Top::Gaps ? std::numeric_limits<int>::max()
                                                         : ProjectDocument::numSensors;
    }

    void addNumber(double value)
    {
        if (numbers->values.size() < numbersLimit)
            numbers->values.append(value);
        ++numbers->size;
    }

    void addText(const QString& text)
    {
        if (texts->size() < textsLimit)
            texts->append(text);
    }

    bool scalar(const Scalar& s)
    {
        if (skip > 0)
            return true;
        switch (depth) {
        case 0:
            notObject = true;
            return false;
        case 1:
            topScalar(s);
            return true;
        default:
            break;
        }
        switch (context[depth]) {
        case Context::Shots:
            shots->append(QVector<double>());
            break;
        case Context::Shot:
            samples.push_back(s.toDouble());
            break;
        case Context::Numbers:
            addNumber(s.toDouble());
            break;
        case Context::Texts:
            addText(s.toString());
            break;
        case Context::Timestamps:
            doc.timestamps->append(QDateTime::fromString(s.toString(), Qt::ISODateWithMs));
            break;
        case Context::View:
            if (viewKey == ViewKey::MarkerAbsolute)
                doc.markerAbsolute =
                    s.kind == Scalar::Bool ? std::optional<bool>(s.boolean) : std::nullopt;
            else if (viewKey == ViewKey::OsziMin)
                doc.osziMinValues.reset();
            else if (viewKey == ViewKey::OsziMax)
                doc.osziMaxValues.reset();
            break;
        default:
            break;
        }
        return true;
    }

    void topScalar(const Scalar& s)
    {
        const auto sensor = static_cast<size_t>(topIndex);
        switch (top) {
        case Top::Unknown:
            break;
        case Top::FileVersion:
            doc.fileVersion = s.toString();
            break;
        case Top::ProjectName:
            doc.projectName = s.toString();
            break;
        case Top::ProjectNumber:
            doc.projectNumber = s.toString();
            break;
        case Top::ProjectUser:
            doc.projectUser = s.toString();
            break;
        case Top::ProjectDate:
            doc.projectDate = s.toString();
            break;
        case Top::ProjectCustomer:
            doc.projectCustomer = s.toString();
            break;
        case Top::ClosingForce:
            doc.closingForce = integerValue(s.toDouble());
            break;
        case Top::InjectionTime:
            doc.injectionTime = s.toDouble();
            break;
        case Top::PressTime:
            doc.pressTime = s.toDouble();
            break;
        case Top::Pressure:
            doc.pressure = integerValue(s.toDouble());
            break;
        case Top::Clock:
            doc.clock = s.toDouble();
            break;
        case Top::Comment:
            doc.comment = s.toString();
            break;
        case Top::KalvikType:
            doc.kalvikType = integerValue(s.toDouble());
            break;
        case Top::HwVersion:
            doc.hwVersion = s.toString();
            break;
        case Top::SwVersion:
            doc.swVersion = s.toString();
            break;
        case Top::Image:
            imageTexts[sensor] = s.kind == Scalar::String ? s.text->toUtf8() : QByteArray();
            break;
        case Top::SensorName:
            doc.sensorNames[sensor] = s.stringOnly();
            break;
        case Top::GroupName:
            doc.sensorGroupName = s.stringOnly();
            break;
        case Top::SpcValue:
            doc.spcValue = s.stringOnly();
            break;
        case Top::SpcBase:
            doc.spcBase = s.stringOnly();
            break;
        case Top::SpcRules:
            doc.spcRules = s.stringOnly();
            break;
        case Top::Shots:
        case Top::RefMean:
        case Top::RefUpper:
        case Top::RefLower:
            shotsOf(top, sensor).reset();
            break;
        case Top::Markers:
        case Top::Corrections:
        case Top::MinValues:
        case Top::MaxValues:
        case Top::RefShots:
        case Top::RefValueTolerance:
        case Top::RefPartMarkers:
        case Top::BlackBoxShots:
            numbersOf(doc, top).reset();
            break;
        case Top::RefClock:
            doc.reference.clock = s.toDouble();
            break;
        case Top::RefShotCount:
            doc.reference.shotCount = s.toDouble();
            break;
        case Top::RefTimeTolerance:
            doc.reference.timeTolerance = s.toDouble();
            break;
        case Top::RefMinDuration:
            doc.reference.minDuration = s.toDouble();
            break;
        case Top::RefPart:
            doc.reference.part = s.toString();
            break;
        case Top::Phases:
        case Top::Types:
        case Top::Units:
        case Top::SpcLimits:
        case Top::Gaps:
            textsOf(top).reset();
            break;
        case Top::Timestamps:
            doc.timestamps.reset();
            break;
        case Top::ViewData:
            doc.viewState = ProjectDocument::ViewState::NotObject;
            break;
        }
    }

    bool start(bool isArray)
    {
        const int level = depth;
        ++depth;
        if (skip > 0) {
            ++skip;
            return true;
        }
        Context opened = Context::None;
        if (level == 0) {
            if (isArray) {
                notObject = true;
                return false;
            }
            opened = Context::Root;
        } else if (level == 1) {
            opened = startTop(isArray);
        } else {
            opened = startInner(level, isArray);
        }
        if (opened == Context::None)
            skip = 1;
        else
            context[depth] = opened;
        return true;
    }

    // A container as the value of a top-level key.
    Context startTop(bool isArray)
    {
        const auto sensor = static_cast<size_t>(topIndex);
        switch (top) {
        case Top::Shots:
        case Top::RefMean:
        case Top::RefUpper:
        case Top::RefLower: {
            std::optional<ProjectDocument::Shots>& target = shotsOf(top, sensor);
            target.reset();
            if (!isArray)
                return Context::None;
            target.emplace();
            shots = &*target;
            return Context::Shots;
        }
        case Top::Markers:
        case Top::Corrections:
        case Top::MinValues:
        case Top::MaxValues:
        case Top::RefShots:
        case Top::RefValueTolerance:
        case Top::RefPartMarkers:
        case Top::BlackBoxShots: {
            std::optional<ProjectDocument::Numbers>& target = numbersOf(doc, top);
            target.reset();
            if (!isArray)
                return Context::None;
            // Not emplace(): clang takes Numbers, a nested struct with member initialisers,
            // as not default-constructible there.
            target = ProjectDocument::Numbers();
            numbers = &*target;
            numbersLimit = numbersKept(top);
            return Context::Numbers;
        }
        case Top::Phases:
        case Top::Types:
        case Top::Units:
        case Top::SpcLimits:
        case Top::Gaps: {
            std::optional<QStringList>& target = textsOf(top);
            target.reset();
            if (!isArray)
                return Context::None;
            target.emplace();
            texts = &*target;
            textsLimit = textsKept(top);
            return Context::Texts;
        }
        case Top::Timestamps:
            doc.timestamps.reset();
            if (!isArray)
                return Context::None;
            doc.timestamps.emplace();
            return Context::Timestamps;
        case Top::ViewData:
            if (isArray) {
                doc.viewState = ProjectDocument::ViewState::NotObject;
                return Context::None;
            }
            doc.viewState = ProjectDocument::ViewState::Object;
            doc.markerAbsolute.reset();
            doc.osziMinValues.reset();
            doc.osziMaxValues.reset();
            viewKey = ViewKey::Unknown;
            return Context::View;
        default:
            // A container where a single value belongs reads as that value's default.
            topScalar(Scalar{});
            return Context::None;
        }
    }

    // A container inside a top-level array or inside the view settings.
    Context startInner(int level, bool isArray)
    {
        switch (context[level]) {
        case Context::Shots:
            shots->append(QVector<double>());
            if (!isArray)
                return Context::None;
            samples.clear();
            return Context::Shot;
        case Context::Shot:
            samples.push_back(0.0);
            return Context::None;
        case Context::Numbers:
            addNumber(0.0);
            return Context::None;
        case Context::Texts:
            addText(QString());
            return Context::None;
        case Context::Timestamps:
            doc.timestamps->append(QDateTime());
            return Context::None;
        case Context::View: {
            if (viewKey == ViewKey::MarkerAbsolute) {
                doc.markerAbsolute.reset();
                return Context::None;
            }
            if (viewKey != ViewKey::OsziMin && viewKey != ViewKey::OsziMax)
                return Context::None;
            std::optional<ProjectDocument::Numbers>& target =
                viewKey == ViewKey::OsziMin ? doc.osziMinValues : doc.osziMaxValues;
            target.reset();
            if (!isArray)
                return Context::None;
            target = ProjectDocument::Numbers();
            numbers = &*target;
            numbersLimit = ProjectDocument::numSensors;
            return Context::Numbers;
        }
        default:
            return Context::None;
        }
    }

    bool end()
    {
        --depth;
        if (skip > 0) {
            --skip;
            return true;
        }
        // A shot grows in a buffer that is used again for the next one, and is then
        // copied once at its final size: no growth steps, nothing reserved in vain.
        if (context[depth + 1] == Context::Shot)
            shots->last() = QVector<double>(samples.cbegin(), samples.cend());
        context[depth + 1] = Context::None;
        return true;
    }

    ProjectDocument& doc;
    int depth = 0;
    int skip = 0;
    // Only the first levels carry meaning; deeper containers are always skipped.
    std::array<Context, 4> context{};
    Top top = Top::Unknown;
    int topIndex = 0;
    ViewKey viewKey = ViewKey::Unknown;
    ProjectDocument::Shots* shots = nullptr;
    std::vector<double> samples;
    ProjectDocument::Numbers* numbers = nullptr;
    int numbersLimit = 0;
    int textsLimit = ProjectDocument::numSensors;
    QStringList* texts = nullptr;
};

} // namespace

namespace ProjectReader {

bool read(QIODevice& device, qint64 size, ProjectDocument& document, QString& error,
          const Progress& progress)
{
    document = ProjectDocument();
    Handler handler(document);
    DeviceStream stream(device, size, progress);
    JsonReader::Reader<DeviceStream, Handler> reader(stream, handler);
    const bool parsed = reader.parse();
    if (!parsed || stream.failed()) {
        document = ProjectDocument();
        error = QStringLiteral(" jdoc is no object!");
        if (stream.failed())
            error += QStringLiteral(" (the file could not be read: ") + device.errorString() +
                     QLatin1Char(')');
        else if (!handler.notObject)
            error += QStringLiteral(" (JSON error at byte %1: %2)")
                         .arg(reader.errorOffset())
                         .arg(JsonReader::errorText(reader.error()));
        return false;
    }
    for (size_t i = 0; i < handler.imageTexts.size(); ++i) {
        if (!handler.imageTexts[i].isEmpty())
            document.images[i].loadFromData(QByteArray::fromBase64(handler.imageTexts[i]), "PNG");
    }
    if (progress)
        progress(100);
    return true;
}

} // namespace ProjectReader
