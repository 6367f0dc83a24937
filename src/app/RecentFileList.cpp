// Reading and writing the recent-file list in QSettings.
#include "app/RecentFileList.h"

#include <QSettings>

namespace {
const char kSection[] = "Recent File List";
}

CRecentFileList::CRecentFileList()
{
    QSettings settings;
    settings.beginGroup(kSection);
    for (int i = 1; i <= kSize; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) m_files << path;
    }
}

void CRecentFileList::Add(const QString& path)
{
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > kSize) m_files.removeLast();
    Save();
}

void CRecentFileList::Remove(const QString& path)
{
    m_files.removeAll(path);
    Save();
}

void CRecentFileList::Save() const
{
    QSettings settings;
    settings.beginGroup(kSection);
    for (int i = 1; i <= kSize; ++i) {
        if (i <= m_files.size()) {
            settings.setValue(QStringLiteral("File%1").arg(i), m_files[i - 1]);
        } else {
            settings.remove(QStringLiteral("File%1").arg(i));
        }
    }
}
