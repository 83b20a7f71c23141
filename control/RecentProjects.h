#pragma once

#include <QStringList>

// The projects opened or saved last, the latest first, kept in the settings. Paths are
// absolute and clean, so that a file reached by two spellings is listed once.
class RecentProjects
{
public:
    static constexpr int maxCount = 5;

    explicit RecentProjects(const QStringList& paths = QStringList());

    // To the front; an entry of the same file moves there, the oldest beyond five goes.
    void add(const QString& path);
    void remove(const QString& path);
    QStringList paths() const { return m_paths; }

    static RecentProjects fromSettings();
    void store() const;

private:
    static QString cleanPath(const QString& path);

    QStringList m_paths;
};
