#include "document/RecentFileList.h"

#include "core/Options.h"
#include "core/SettingsStore.h"

CRecentFileList::CRecentFileList(CSettingsStore& store) : m_store(store) {}

void CRecentFileList::Load()
{
    m_entries.clear();
    for (int i = 1; i <= kSize; ++i) {
        const QString path = m_store.GetProfileString(QString::fromLatin1(Settings::kRecentFiles),
                                                      QStringLiteral("File%1").arg(i));
        if (!path.isEmpty() && !m_entries.contains(path)) {
            m_entries << path;
        }
    }
}

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty()) {
        return;
    }
    m_entries.removeAll(path);
    m_entries.prepend(path);
    while (m_entries.size() > kSize) {
        m_entries.removeLast();
    }
    Save();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_entries.size()) {
        return;
    }
    m_entries.removeAt(index);
    Save();
}

void CRecentFileList::WriteHeld()
{
    m_held = false;
    if (m_unsaved) {
        Save();
    }
}

void CRecentFileList::Save()
{
    m_unsaved = m_held;
    if (m_held) {
        return;
    }
    const QString section = QString::fromLatin1(Settings::kRecentFiles);
    for (int i = 1; i <= kSize; ++i) {
        m_store.WriteProfileString(section, QStringLiteral("File%1").arg(i),
                                   i <= m_entries.size() ? m_entries.at(i - 1) : QString());
    }
}
