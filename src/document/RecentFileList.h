#pragma once
// The recent-file list of the "Datei" menu: up to four full paths, most recent first, kept in the user's
// settings (section "Recent File List", values "File1" ... "File4") and written at every change - except
// while writes are held (start-up writes the list once the first page is on the screen).

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
    // Changes are kept in memory until WriteHeld(), which writes them (if any) and ends the hold.
    void HoldWrites() { m_held = true; }
    void WriteHeld();

private:
    void Save();

    CSettingsStore& m_store;
    QStringList m_entries;
    bool m_held = false;
    bool m_unsaved = false;
};
