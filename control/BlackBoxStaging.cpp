#include "control/BlackBoxStaging.h"

#include "app/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace BlackBoxStaging {

namespace {

const QString blackBoxPattern = QStringLiteral("*.bb");

bool sameContent(const QString& a, const QString& b)
{
    QFile first(a);
    QFile second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 chunk = 1 << 16;
    while (!first.atEnd()) {
        if (first.read(chunk) != second.read(chunk))
            return false;
    }
    return second.atEnd();
}

void setReason(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
}

bool ownedByThisUser(const QFileInfo& info)
{
#ifdef Q_OS_UNIX
    return info.ownerId() == static_cast<uint>(::geteuid());
#else
    Q_UNUSED(info);
    return true;
#endif
}

} // namespace

bool isDayFolderName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("\\Adir-[0-9]{8}\\z"));
    return pattern.match(name).hasMatch();
}

bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QLatin1Char('\0'));
}

bool isStagedFilePath(const QString& relativePath)
{
    const int slash = relativePath.indexOf(QLatin1Char('/'));
    return slash > 0 && isDayFolderName(relativePath.left(slash)) &&
           isPlainFileName(relativePath.mid(slash + 1));
}

QString dayFolderForDate(const QString& dateText)
{
    static const QRegularExpression pattern(
        QStringLiteral("\\A([0-9]{2})\\.([0-9]{2})\\.([0-9]{4})\\z"));
    const QRegularExpressionMatch match = pattern.match(dateText);
    if (!match.hasMatch())
        return QString();
    return QStringLiteral("dir-") + match.captured(3) + match.captured(2) + match.captured(1);
}

QString dateOfPath(const QString& path)
{
    return path.mid(10, 2) + QLatin1Char('.') + path.mid(8, 2) + QLatin1Char('.') + path.mid(4, 4);
}

const QString localCopiesFolderName = QStringLiteral("local");

QString rootFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .absoluteFilePath(QStringLiteral("blackbox"));
}

QString deviceFolderName(const QString& host)
{
    // An address or host name; anything else in it (an IPv6 colon) becomes "_".
    QString name = QStringLiteral("device-") + host.left(253);
    for (QChar& c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('.') &&
            c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return name;
}

bool prepare(const QString& folder, QString* reason)
{
    QFileInfo info(folder);
    if (!info.isSymLink() && !info.exists()) {
        // The cache location itself may not exist yet on a fresh account.
        QDir().mkpath(info.absolutePath());
        // mkdir, not mkpath: it fails when something appeared in the meantime, which is
        // then judged below like anything found there.
        if (QDir().mkdir(folder))
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        info.refresh();
    }
    if (info.isSymLink()) {
        setReason(reason, QStringLiteral("is a symbolic link"));
        return false;
    }
    if (!info.isDir()) {
        setReason(reason, info.exists() ? QStringLiteral("is not a directory")
                                        : QStringLiteral("cannot be created"));
        return false;
    }
    if (!ownedByThisUser(info)) {
        setReason(reason, QStringLiteral("belongs to another user"));
        return false;
    }
    const QFile::Permissions othersWrite = QFile::WriteGroup | QFile::WriteOther;
    if (info.permissions() & othersWrite)
        QFile::setPermissions(folder, info.permissions() & ~othersWrite);
    return true;
}

bool prepareDayFolder(const QString& folder, const QString& dayName, QString* reason)
{
    if (!isDayFolderName(dayName)) {
        setReason(reason, QStringLiteral("not a day folder name"));
        return false;
    }
    const QString path = QDir(folder).filePath(dayName);
    QFileInfo info(path);
    if (!info.isSymLink() && !info.exists()) {
        QDir().mkdir(path);
        info.refresh();
    }
    if (info.isSymLink() || !info.isDir()) {
        setReason(reason, info.isSymLink() ? QStringLiteral("is a symbolic link")
                                           : QStringLiteral("is not a directory"));
        return false;
    }
    return true;
}

QStringList blackBoxFiles(const QString& folder)
{
    QStringList names = QDir(folder).entryList({blackBoxPattern}, QDir::Files, QDir::Name);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString& name) { return !isPlainFileName(name); }),
                names.end());
    return names;
}

bool replaceIfDifferent(const QString& source, const QString& target)
{
    const QFileInfo staged(target);
    if (staged.isSymLink() || staged.isDir()) {
        qCWarning(lcControl).noquote() << "ERROR: not a file, left alone:" << target;
        return false;
    }
    if (staged.exists()) {
        if (sameContent(source, target))
            return true;
        qCDebug(lcControl).noquote() << "staged copy differs, replaced:" << target;
        if (!QFile::remove(target)) {
            qCWarning(lcControl).noquote() << "ERROR: staged copy cannot be replaced:" << target;
            return false;
        }
    }
    if (!QFile::copy(source, target)) {
        qCWarning(lcControl).noquote() << "ERROR: file could not be copied:" << source;
        return false;
    }
    return true;
}

QStringList copyDayFolder(const QString& sourceFolder, const QStringList& files,
                          const QString& stagingFolder, const std::function<void()>& fileDone)
{
    const QString name = QFileInfo(sourceFolder).fileName();
    QString reason;
    if (!prepareDayFolder(stagingFolder, name, &reason)) {
        qCWarning(lcControl).noquote() << "ERROR: day folder refused:" << name << reason;
        return QStringList();
    }
    const QDir source(sourceFolder);
    const QDir target(QDir(stagingFolder).filePath(name));
    QStringList relativePaths;
    for (const QString& file : files) {
        if (!isPlainFileName(file))
            continue;
        qCDebug(lcControl).noquote() << "file = " + file;
        if (replaceIfDifferent(source.filePath(file), target.filePath(file)))
            relativePaths.append(name + QLatin1Char('/') + file);
        if (fileDone)
            fileDone();
    }
    return relativePaths;
}

QStringList stagedFiles(const QString& stagingFolder, const QString& dayName)
{
    QStringList relativePaths;
    if (!isDayFolderName(dayName))
        return relativePaths;
    const QStringList files = blackBoxFiles(QDir(stagingFolder).filePath(dayName));
    for (const QString& file : files)
        relativePaths.append(dayName + QLatin1Char('/') + file);
    return relativePaths;
}

} // namespace BlackBoxStaging
