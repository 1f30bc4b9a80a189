#pragma once

#include <QStringList>

// The most recently used files, newest first, kept in the per-user settings.
class RecentFileList
{
public:
    explicit RecentFileList(int maxEntries = 4);

    void Load();
    // Written on a thread of its own, in order: the settings are written
    // whole and synced to the disk, which can take a busy disk tens of
    // milliseconds, and it comes at the end of every open.
    void Save() const;
    // Written here, once the writes under way are done (at exit).
    void SaveNow() const;
    // Returns once every write Save began is done.
    static void WaitForSaves();

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
