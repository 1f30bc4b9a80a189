#include "app/RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("Recent File List");
QString Key(int i)
{
    return QStringLiteral("File%1").arg(i + 1);
}
}

RecentFileList::RecentFileList(int maxEntries)
    : m_maxEntries(maxEntries)
{
}

void RecentFileList::Load()
{
    QSettings settings;
    settings.beginGroup(kGroup);
    m_paths.clear();
    for (int i = 0; i < m_maxEntries; ++i) {
        const QString path = settings.value(Key(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths.append(path);
    }
}

void RecentFileList::Save() const
{
    QSettings settings;
    settings.beginGroup(kGroup);
    for (int i = 0; i < m_maxEntries; ++i) {
        if (i < m_paths.size())
            settings.setValue(Key(i), m_paths.at(i));
        else
            settings.remove(Key(i));
    }
}

void RecentFileList::Add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_paths.removeAll(absolute);
    m_paths.prepend(absolute);
    while (m_paths.size() > m_maxEntries)
        m_paths.removeLast();
}

void RecentFileList::Remove(const QString &path)
{
    m_paths.removeAll(QFileInfo(path).absoluteFilePath());
}
