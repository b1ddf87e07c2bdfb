#pragma once
// Two settings stores with the same sections, names and types: a machine-wide store that only an
// administrator fills (read-only for the program) and the user's own store. Every value is looked up
// machine-wide first, so an administrator's value overrides the user's.

#include <QString>

class CSettingsStore
{
public:
    // Both are INI files. The machine-wide file is never written.
    CSettingsStore(QString machineFile, QString userFile);

    // /etc/xdg/Zentrel/Folivant.conf (or the file named by FOLIVANT_MACHINE_CONFIG) and
    // $XDG_CONFIG_HOME/Zentrel/Folivant.conf (default ~/.config).
    static CSettingsStore FromEnvironment();
    static QString DefaultMachineFile();
    static QString DefaultUserFile();

    const QString& MachineFile() const { return m_machineFile; }
    const QString& UserFile() const { return m_userFile; }

    // Machine-wide integer; -1 when missing, not a whole number, or the file is unreadable or garbled.
    int ReadMachineInt(const QString& section, const QString& name) const;
    // Machine-wide text; empty when missing, longer than 254 bytes, or the file is unreadable or garbled.
    QString ReadMachineString(const QString& section, const QString& name) const;

    // The user's store; `def` when the value is missing or not a whole number.
    int GetProfileInt(const QString& section, const QString& name, int def) const;
    QString GetProfileString(const QString& section, const QString& name, const QString& def = {}) const;
    bool WriteProfileInt(const QString& section, const QString& name, int value);
    bool WriteProfileString(const QString& section, const QString& name, const QString& value);
    void DeleteProfileSection(const QString& section);

    // Two-level reads: a machine-wide value that is present and not negative (not empty for text)
    // wins; otherwise the user's value with the default.
    int ReadInt(const QString& section, const QString& name, int def) const;
    QString ReadString(const QString& section, const QString& name, const QString& def = {}) const;

private:
    QString m_machineFile;
    QString m_userFile;
};
