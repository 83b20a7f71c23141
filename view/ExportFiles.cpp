#include "view/ExportFiles.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace ExportFiles {

QString withSuffix(const QString& name, const QString& suffix)
{
    return name.endsWith(suffix, Qt::CaseSensitive) ? name : name + suffix;
}

QByteArray pictureFormat(const QString& path, const QList<QByteArray>& formats)
{
    // Qt's image writer picks the format by the lower-case extension too.
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix.isEmpty())
        return QByteArray();
    for (const QByteArray& format : formats) {
        if (format.toLower() == suffix)
            return format.toLower();
    }
    return QByteArray();
}

QString pictureFilter(const QString& title, const QList<QByteArray>& formats)
{
    QStringList patterns;
    for (const QByteArray& format : formats) {
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        if (!format.isEmpty() && !patterns.contains(pattern))
            patterns.append(pattern);
    }
    std::sort(patterns.begin(), patterns.end());
    return title + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QString pictureSaveFilter(const QList<QByteArray>& writable)
{
    static const char* const offered[][2] = {
        {"BMP", "bmp"}, {"JPG", "jpg"}, {"PNG", "png"}, {"TIFF", "tif"}};
    QStringList filters;
    for (const auto& entry : offered) {
        if (writable.contains(QByteArray(entry[1])))
            filters.append(QStringLiteral("%1 (*.%2)")
                               .arg(QLatin1String(entry[0]), QLatin1String(entry[1])));
    }
    return filters.join(QStringLiteral(";;"));
}

QString terminalHeader(const QString& product, const QDateTime& savedAt)
{
    return product + QStringLiteral(" - terminal: saved on ") +
           savedAt.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" at ") +
           savedAt.toString(QStringLiteral("hh:mm:ss"));
}

} // namespace ExportFiles
