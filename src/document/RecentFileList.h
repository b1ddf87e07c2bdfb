#pragma once
// The recent-file list of the "Datei" menu: up to four full paths, most recent first, kept in the user's
// settings (section "Recent File List", values "File1" ... "File4") and written at every change.

#include <QStringList>

class CSettingsStore;

class CRecentFileList
{
public:
    static constexpr int kSize = 4;

    explicit CRecentFileList(CSettingsStore& store);
    void Load();
    // Moves `path` to the top (adding it if new, dropping the oldest beyond four).
    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Entries() const { return m_entries; }

private:
    void Save();

    CSettingsStore& m_store;
    QStringList m_entries;
};
