#pragma once

#include <QStringList>

// The most recently used files, newest first, kept in the per-user settings.
class RecentFileList
{
public:
    explicit RecentFileList(int maxEntries = 4);

    void Load();
    void Save() const;

    // Puts `path` (made absolute) first, dropping an older entry for it and
    // whatever falls beyond the limit.
    void Add(const QString &path);
    void Remove(const QString &path);
    QStringList Paths() const { return m_paths; }
    int MaxEntries() const { return m_maxEntries; }

private:
    int m_maxEntries;
    QStringList m_paths;
};
