#include "model/BlackBoxFile.h"

#include "app/Logging.h"
#include "model/BlackBoxShot.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtAlgorithms>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

const char* const signature = "bool Model::addBlackBoxFile(const QString&)";

enum class Section
{
    Device,
    Sensors,
    Data
};

using Setting = BlackBoxShot::Setting;

// Integers and doubles that are not numbers count as 0.
int toInt(const QString& text)
{
    return text.trimmed().toInt();
}

double toDouble(const QString& text)
{
    return text.trimmed().toDouble();
}

QString afterFirstEquals(const QString& line)
{
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

bool plausibleCount(int count, const char* what)
{
    if (count >= 0 && count <= BlackBoxFile::maxCount)
        return true;
    qCWarning(lcModel).noquote() << QStringLiteral(
                                        "ERROR: %1 %2 out of range (0 to %3), line ignored")
                                        .arg(QLatin1String(what))
                                        .arg(count)
                                        .arg(BlackBoxFile::maxCount);
    return false;
}

// Line feeds counted eight bytes at a time: a byte of the word XOR "\n\n\n..." is zero
// exactly where a line feed is, and the zero bytes are counted without a false one.
qint64 countLineFeeds(const char* p, const char* end)
{
    constexpr quint64 feeds = 0x0a0a0a0a0a0a0a0aULL;
    constexpr quint64 low7 = 0x7f7f7f7f7f7f7f7fULL;
    qint64 count = 0;
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        const quint64 x = word ^ feeds;
        const quint64 zeroHigh = ~(((x & low7) + low7) | x | low7);
        count += qPopulationCount(zeroHigh);
    }
    for (; p < end; ++p)
        count += *p == '\n';
    return count;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Where the samples of a file go: one list per sensor, filled line by line.
struct SampleSink
{
    SampleList* lists[Model::numSensors];

    void add(const double (&values)[Model::numSensors])
    {
        for (int k = 0; k < Model::numSensors; ++k)
            lists[k]->append(values[k]);
    }
};

// The line the device writes for every sample, "A=[v, v, v, v, v]" of plain decimals, read
// straight from the bytes in one pass. Such a line holds no other marker, so the general
// rules would read it alike; anything else is left to them.
bool readUsualSampleLine(const char* begin, const char* end, SampleSink& sink)
{
    if (end - begin < 5 || begin[0] != 'A' || begin[1] != '=' || begin[2] != '[' ||
        end[-1] != ']')
        return false;
    double values[Model::numSensors];
    const char* p = begin + 3;
    const char* const last = end - 1;
    for (int k = 0; k < Model::numSensors; ++k) {
        while (p < last && isBlank(*p))
            ++p;
        p = NumberText::scanPlainDecimal(p, last, values[k]);
        if (!p)
            return false;
        while (p < last && isBlank(*p))
            ++p;
        if (k + 1 < Model::numSensors) {
            if (p == last || *p != ',')
                return false;
            ++p;
        } else if (p != last) {
            return false;
        }
    }
    sink.add(values);
    return true;
}

void addSetting(BlackBoxShot& shot, Setting::Kind kind, int sensor, const QString& text,
                double number = 0.0, int count = 0)
{
    Setting setting;
    setting.kind = kind;
    setting.sensor = sensor;
    setting.text = text;
    setting.number = number;
    setting.count = count;
    shot.settings.push_back(std::move(setting));
}

void readSensorLine(const QString& line, BlackBoxShot& shot)
{
    if (line.contains(QLatin1String("numGroups="))) {
        const int count = toInt(afterFirstEquals(line));
        qCDebug(lcModel) << "setNumSensorGroups: " << count;
        if (plausibleCount(count, "numGroups"))
            addSetting(shot, Setting::Kind::NumGroups, 0, QString(), 0.0, count);
    } else if (line.contains(QLatin1String("group0/name="))) {
        const QString name = afterFirstEquals(line);
        qCDebug(lcModel).noquote() << "setSensorGroupName: " + name;
        addSetting(shot, Setting::Kind::GroupName, 0, name);
    } else if (line.contains(QLatin1String("group0/numSensors="))) {
        const int count = toInt(afterFirstEquals(line));
        qCDebug(lcModel) << "setNumSensors: " << count;
        if (plausibleCount(count, "numSensors"))
            addSetting(shot, Setting::Kind::NumSensors, 0, QString(), 0.0, count);
    } else if (line.contains(QLatin1String("group0/sensor"))) {
        // The index is the single character after "group0/sensor"; 0 when not a digit.
        const int n = toInt(line.mid(13, 1));
        const QString value = afterFirstEquals(line);
        qCDebug(lcModel) << "sensors: " << n;
        if (line.contains(QLatin1String("/name="))) {
            qCDebug(lcModel).noquote() << "name: " + value;
            addSetting(shot, Setting::Kind::SensorName, n, value);
        } else if (line.contains(QLatin1String("/type="))) {
            qCDebug(lcModel).noquote() << "type: " + value;
            addSetting(shot, Setting::Kind::SensorType, n, value);
        } else if (line.contains(QLatin1String("/min="))) {
            qCDebug(lcModel) << "min: " << toDouble(value);
            addSetting(shot, Setting::Kind::SensorMinimum, n, QString(), toDouble(value));
        } else if (line.contains(QLatin1String("/max="))) {
            qCDebug(lcModel) << "max: " << toDouble(value);
            addSetting(shot, Setting::Kind::SensorMaximum, n, QString(), toDouble(value));
        } else if (line.contains(QLatin1String("/unit="))) {
            qCDebug(lcModel).noquote() << "unit: " + value;
            addSetting(shot, Setting::Kind::SensorUnit, n, value);
        }
    }
}

// Every rule of the format, in its order, for a line as text.
void readLine(const QString& line, Section& section, SampleSink& sink, BlackBoxShot& shot)
{
    if (line.contains(QLatin1String("[device]"))) {
        section = Section::Device;
        ++shot.recognisedLines;
    } else if (line.contains(QLatin1String("[sensors]"))) {
        section = Section::Sensors;
        ++shot.recognisedLines;
    } else if (line.contains(QLatin1String("[data]"))) {
        section = Section::Data;
        ++shot.recognisedLines;
    } else if (line.contains(QLatin1String("A="))) {
        // "A=[v, v, ...]" separates by commas, "A=v v ..." by blanks.
        const bool commaForm =
            line.contains(QLatin1String("A=[")) && line.contains(QLatin1Char(']'));
        QString values = line;
        values.remove(commaForm ? QStringLiteral("A=[") : QStringLiteral("A="));
        values.remove(QLatin1Char(']'));
        values = values.simplified();
        const QStringList items = values.split(commaForm ? QLatin1Char(',') : QLatin1Char(' '));
        if (items.size() != Model::numSensors) {
            qCWarning(lcModel).noquote() << signature << "ERROR: not 5 items in list!";
            return;
        }
        double readings[Model::numSensors];
        for (int k = 0; k < Model::numSensors; ++k) {
            bool ok = false;
            readings[k] = items.at(k).trimmed().toDouble(&ok);
            // A sample that is no finite number would be saved as nothing and read back
            // as 0; the line goes whole, so that the five sensors keep equal counts.
            if (!ok || !std::isfinite(readings[k])) {
                qCWarning(lcModel).noquote()
                    << signature << "ERROR: not a finite number in list, line dropped:"
                    << items.at(k).trimmed().left(40);
                return;
            }
        }
        sink.add(readings);
        ++shot.recognisedLines;
    } else if (section == Section::Data && line.contains(QLatin1String("T="))) {
        const QString text = QString(line).remove(QStringLiteral("T=")).trimmed();
        shot.timestamp = QDateTime::fromString(text, QStringLiteral("yyyyMMdd-hhmmss"));
        ++shot.recognisedLines;
        qCDebug(lcTrace) << "void Model::setTimestamp(int, QDateTime)"
                         << "emit projectChanged()";
    } else if (line.trimmed().startsWith(QLatin1String("t="))) {
        // The sample period line. Matched at the start only: "/unit=" holds "t=" too,
        // and sensor units must not be swallowed by it. The first usable one counts.
        const int period = toInt(line.trimmed().mid(2));
        if (period > 0 && shot.samplePeriodMs == 0)
            shot.samplePeriodMs = period;
        else if (period <= 0)
            qCWarning(lcModel).noquote()
                << signature << "ERROR: sample period not usable:" << line.left(80);
    } else if (section == Section::Sensors) {
        readSensorLine(line, shot);
    }
}

} // namespace

bool BlackBoxFile::import(Model& model, const QString& path)
{
    BlackBoxShot shot;
    if (!readFile(path, shot))
        return false;
    const bool wasBlocked = model.blockSignals(true);
    add(model, std::move(shot));
    if (!wasBlocked) {
        model.blockSignals(false);
        qCDebug(lcTrace) << "emit projectChanged()";
        emit model.projectChanged();
        qCDebug(lcTrace) << "emit dataChanged()";
        emit model.dataChanged();
    }
    return true;
}

bool BlackBoxFile::readFile(const QString& path, BlackBoxShot& shot)
{
    qCDebug(lcTrace).noquote() << signature << "file=" + path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcModel).noquote() << signature << "ERROR: could not open file: " + path;
        return false;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qCWarning(lcModel).noquote()
            << signature << "ERROR: could not read file: " + path + ": " + file.errorString();
        return false;
    }
    shot = parse(content);
    return true;
}

BlackBoxShot BlackBoxFile::parse(const QByteArray& content)
{
    BlackBoxShot shot;
    const char* p = content.constData();
    const char* const end = p + content.size();
    if (end - p >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0)
        p += 3;
    // At most one sample per line, and a sample line takes 9 bytes or more with its line end.
    // Only reserved: a file of anything else costs no memory it does not fill.
    const qint64 lines = countLineFeeds(p, end) + 1;
    const int room = static_cast<int>(std::min<qint64>({lines, (end - p) / 8 + 1, 1 << 24}));
    SampleSink sink;
    for (int k = 0; k < Model::numSensors; ++k) {
        SampleList& samples = shot.samples[static_cast<size_t>(k)];
        samples.reserve(room);
        sink.lists[k] = &samples;
    }

    Section section = Section::Data;
    while (p < end) {
        const char* lineEnd =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!lineEnd)
            lineEnd = end;
        const char* textEnd = lineEnd;
        if (textEnd > p && textEnd[-1] == '\r')
            --textEnd;
        if (readUsualSampleLine(p, textEnd, sink)) {
            ++shot.recognisedLines;
        } else {
            // Read as text the carriage returns are gone, as a file opened in text mode reads.
            QByteArray bytes(p, static_cast<int>(lineEnd - p));
            bytes.replace('\r', QByteArray());
            readLine(QString::fromUtf8(bytes), section, sink, shot);
        }
        p = lineEnd + 1;
    }
    for (SampleList& samples : shot.samples) {
        // Room far beyond the samples (a file of other lines) is given back; a little is
        // kept, since the copy would cost more than it frees.
        if (samples.capacity() > 2 * samples.size() + 64)
            samples.squeeze();
    }
    return shot;
}

void BlackBoxFile::readFiles(const QStringList& paths, std::vector<BlackBoxShot>& shots,
                             std::vector<char>& read, const std::function<void(int)>& progress)
{
    const int count = paths.size();
    shots.assign(static_cast<size_t>(count), BlackBoxShot());
    read.assign(static_cast<size_t>(count), 0);
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    // Takes the next file until none is left; only the calling thread reports, about 60
    // times a second, which is all a progress bar can show.
    const auto readSome = [&](bool reports) {
        QElapsedTimer sinceReport;
        sinceReport.start();
        for (int i = next++; i < count; i = next++) {
            const size_t n = static_cast<size_t>(i);
            read[n] = readFile(paths.at(i), shots[n]) ? 1 : 0;
            ++done;
            if (reports && progress && sinceReport.elapsed() >= 16) {
                sinceReport.restart();
                progress(done);
            }
        }
    };
    // A second reader when there is a second core: the files are independent, and the
    // conversion of their numbers is most of the work.
    std::thread helper;
    if (std::thread::hardware_concurrency() > 1 && count > 1)
        helper = std::thread(readSome, false);
    readSome(true);
    if (helper.joinable())
        helper.join();
    if (progress)
        progress(count);
}

void BlackBoxFile::add(Model& model, BlackBoxShot&& shot)
{
    for (int k = 0; k < Model::numSensors; ++k)
        model.appendSeries(k, std::move(shot.samples[static_cast<size_t>(k)]));
    model.appendTimestamp(shot.timestamp);
    model.setFromBlackBox(model.numChannels(0) - 1, true);

    SensorDescription& description = model.sensorDescription();
    for (const Setting& setting : shot.settings) {
        switch (setting.kind) {
        case Setting::Kind::NumGroups:
            description.setNumSensorGroups(setting.count);
            break;
        case Setting::Kind::GroupName:
            description.sensorGroup(0).setName(setting.text);
            break;
        case Setting::Kind::NumSensors: {
            SensorGroup& group = description.sensorGroup(0);
            group.setNumSensors(setting.count);
            for (int i = 0; i < group.numSensors(); ++i)
                group.setSensorActive(i, true);
            break;
        }
        case Setting::Kind::SensorName:
            description.setSensorName(0, setting.sensor, setting.text);
            break;
        case Setting::Kind::SensorType:
            description.setSensorType(0, setting.sensor, setting.text);
            break;
        case Setting::Kind::SensorMinimum:
            description.setSensorMinimum(0, setting.sensor, setting.number);
            break;
        case Setting::Kind::SensorMaximum:
            description.setSensorMaximum(0, setting.sensor, setting.number);
            break;
        case Setting::Kind::SensorUnit:
            description.setSensorUnit(0, setting.sensor, setting.text);
            break;
        }
    }
}
