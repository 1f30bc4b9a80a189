#include "app/RecentFileList.h"

#include <QFileInfo>
#include <QSettings>
#include <QThreadPool>

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

namespace {

void Write(const QStringList &paths, int maxEntries)
{
    QSettings settings;
    settings.beginGroup(kGroup);
    for (int i = 0; i < maxEntries; ++i) {
        if (i < paths.size())
            settings.setValue(Key(i), paths.at(i));
        else
            settings.remove(Key(i));
    }
}

// One thread, so the lists are written in the order they were made.
QThreadPool &Writer()
{
    static QThreadPool *pool = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(1);
        made->setExpiryTimeout(-1);
        return made;
    }();
    return *pool;
}

} // namespace

void RecentFileList::Save() const
{
    const QStringList paths = m_paths;
    const int maxEntries = m_maxEntries;
    Writer().start([paths, maxEntries] { Write(paths, maxEntries); });
}

void RecentFileList::SaveNow() const
{
    WaitForSaves();
    Write(m_paths, m_maxEntries);
}

void RecentFileList::WaitForSaves()
{
    Writer().waitForDone();
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
