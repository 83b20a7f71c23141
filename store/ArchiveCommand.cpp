#include "store/ArchiveCommand.h"

#include "app/CommandOutput.h"
#include "model/Model.h"
#include "store/ArchiveStore.h"
#include "store/ShotProject.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace ArchiveCommand {

namespace {

using CommandOutput::csvField;

// An ISO date or date and time, local unless it names its offset. A bare date as the end of
// a span means the whole of that day, as "--from 2024-05-02 --to 2024-05-02" is meant.
QDateTime parseTime(const QString& text, bool endOfSpan)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid() && text.size() == 10)
        return endOfSpan ? QDateTime(date.addDays(1), QTime(0, 0)).addMSecs(-1)
                         : QDateTime(date, QTime(0, 0));
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

} // namespace

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads the plant archive, a PostgreSQL server that the stations send their shots to.\n"
        "  archive shots            one CSV line per shot: station,shot_uuid,started_at,"
        "samples,verdict (started_at in UTC)\n"
        "  archive export OUT.mvx   the shots of one station as a Ventaro project\n"
        "Exit status: 0 done, 1 no server, the server unreachable or nothing to export, 2 "
        "wrong usage."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("archive"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("shots|export"), QStringLiteral("What to do."));
    parser.addOption({QStringLiteral("station"),
                      QStringLiteral("Only the shots of this station (required for export)."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("from"),
                      QStringLiteral("Only shots started at or after this ISO date or time "
                                     "(local unless it names its offset)."),
                      QStringLiteral("ISO")});
    parser.addOption({QStringLiteral("to"),
                      QStringLiteral("Only shots started at or before this ISO date or time; a "
                                     "date includes its whole day."),
                      QStringLiteral("ISO")});
    parser.addOption({QStringLiteral("archive"),
                      QStringLiteral("The server as a libpq connection string (default: "
                                     "VENTARO_ARCHIVE)."),
                      QStringLiteral("CONN")});

    const auto usage = [&err](const QString& text) { return CommandOutput::usage(err, text); };
    const auto dataError = [&err](const QString& text) {
        return CommandOutput::dataError(err, text);
    };

    if (int exitCode = Success; !CommandOutput::parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    const QString command = positional.value(1);
    const bool exporting = command == QLatin1String("export");
    if (positional.value(0) != QLatin1String("archive") ||
        (command != QLatin1String("shots") && !exporting) ||
        positional.size() != (exporting ? 3 : 2))
        return usage(QStringLiteral("expected: archive shots or archive export OUT.mvx"));
    const QString station = parser.value(QStringLiteral("station"));
    if (exporting && station.isEmpty())
        return usage(QStringLiteral("export needs --station NAME"));
    QDateTime span[2];
    const char* const spanNames[2] = {"from", "to"};
    for (int end = 0; end < 2; ++end) {
        const QString name = QLatin1String(spanNames[end]);
        if (!parser.isSet(name))
            continue;
        span[end] = parseTime(parser.value(name), end == 1);
        if (!span[end].isValid())
            return usage(QStringLiteral("--%1 takes an ISO date or time such as "
                                        "2024-05-02T06:00, not \"%2\"")
                             .arg(name, parser.value(name)));
    }
    const QString connection = parser.isSet(QStringLiteral("archive"))
                                   ? parser.value(QStringLiteral("archive"))
                                   : ArchiveStore::connectionFromEnvironment();
    if (connection.trimmed().isEmpty())
        return dataError(QStringLiteral("no archive: give --archive CONN or set VENTARO_ARCHIVE"));

    ArchiveStore archive(QStringLiteral("ventaro-cli-archive"));
    if (!archive.open(connection))
        return dataError(archive.error());
    const std::optional<QVector<ArchiveStore::Row>> rows = archive.list(station, span[0], span[1]);
    if (!rows)
        return dataError(archive.error());

    if (!exporting) {
        out << "station,shot_uuid,started_at,samples,verdict\n";
        for (const ArchiveStore::Row& row : *rows)
            out << csvField(row.station) << ',' << row.id.toString(QUuid::WithoutBraces) << ','
                << row.startedAt.toUTC().toString(Qt::ISODateWithMs) << ',' << row.samples << ','
                << row.verdict << '\n';
        out.flush();
        return Success;
    }

    if (rows->isEmpty())
        return dataError(
            QStringLiteral("the archive holds no shots of station %1 in that time").arg(station));
    QVector<StoredShot> shots;
    shots.reserve(rows->size());
    for (const ArchiveStore::Row& row : *rows) {
        std::optional<StoredShot> shot = archive.read(row.id);
        if (!shot)
            return dataError(archive.error());
        shots.append(std::move(*shot));
    }
    Model model;
    ShotProject::append(model, shots);
    const QString path = positional.at(2);
    if (!model.save(path))
        return dataError(QStringLiteral("cannot write %1").arg(path));
    return Success;
}

} // namespace ArchiveCommand
