#include "control/RecentProjects.h"

#include "app/Constants.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

RecentProjects::RecentProjects(const QStringList& paths)
{
    // Oldest first, so that each add puts the later one in front.
    for (auto it = paths.crbegin(); it != paths.crend(); ++it)
        add(*it);
}

QString RecentProjects::cleanPath(const QString& path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void RecentProjects::add(const QString& path)
{
    const QString clean = cleanPath(path);
    if (clean.isEmpty())
        return;
    m_paths.removeAll(clean);
    m_paths.prepend(clean);
    while (m_paths.size() > maxCount)
        m_paths.removeLast();
}

void RecentProjects::remove(const QString& path)
{
    m_paths.removeAll(cleanPath(path));
}

RecentProjects RecentProjects::fromSettings()
{
    return RecentProjects(QSettings(settingsOrganization, settingsApplication)
                              .value(settingsKeyRecentFiles)
                              .toStringList());
}

void RecentProjects::store() const
{
    QSettings(settingsOrganization, settingsApplication).setValue(settingsKeyRecentFiles, m_paths);
}
