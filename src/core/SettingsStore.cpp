#include "core/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {

QString Key(const QString& section, const QString& name)
{
    return section + u'/' + name;
}

// An INI value that contains a comma reads as a list; the text as written is what we want.
QString ToText(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::QStringList) {
        return v.toStringList().join(u',');
    }
    return v.toString();
}

bool ReadIntText(const QString& text, int* out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok) {
        *out = v;
    }
    return ok;
}

// Reads one value of an INI file without ever creating or writing anything. A file that cannot be
// read or does not parse counts as holding no values.
bool ReadValue(const QString& file, const QString& section, const QString& name, QString* out)
{
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        return false;
    }
    const QSettings s(file, QSettings::IniFormat);
    const QVariant v = s.value(Key(section, name));
    if (s.status() != QSettings::NoError || !v.isValid()) {
        return false;
    }
    *out = ToText(v);
    return true;
}

} // namespace

CSettingsStore::CSettingsStore(QString machineFile, QString userFile)
    : m_machineFile(std::move(machineFile)), m_userFile(std::move(userFile))
{
}

QString CSettingsStore::DefaultMachineFile()
{
    const QString env = qEnvironmentVariable("FOLIVANT_MACHINE_CONFIG");
    return env.isEmpty() ? QStringLiteral("/etc/xdg/Zentrel/Folivant.conf") : env;
}

QString CSettingsStore::DefaultUserFile()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/Zentrel/Folivant.conf");
}

CSettingsStore CSettingsStore::FromEnvironment()
{
    return {DefaultMachineFile(), DefaultUserFile()};
}

int CSettingsStore::ReadMachineInt(const QString& section, const QString& name) const
{
    QString text;
    int v = -1;
    if (!ReadValue(m_machineFile, section, name, &text) || !ReadIntText(text, &v)) {
        return -1;
    }
    return v;
}

QString CSettingsStore::ReadMachineString(const QString& section, const QString& name) const
{
    QString text;
    if (!ReadValue(m_machineFile, section, name, &text)) {
        return {};
    }
    // The administrator's store holds at most 254 bytes of text per value, as it always has.
    if (text.toUtf8().size() > 254) {
        return {};
    }
    return text;
}

int CSettingsStore::GetProfileInt(const QString& section, const QString& name, int def) const
{
    QString text;
    int v = def;
    if (!ReadValue(m_userFile, section, name, &text) || !ReadIntText(text, &v)) {
        return def;
    }
    return v;
}

QString CSettingsStore::GetProfileString(const QString& section, const QString& name,
                                         const QString& def) const
{
    QString text;
    return ReadValue(m_userFile, section, name, &text) ? text : def;
}

bool CSettingsStore::WriteProfileInt(const QString& section, const QString& name, int value)
{
    QSettings s(m_userFile, QSettings::IniFormat);
    s.setValue(Key(section, name), value);
    s.sync();
    return s.status() == QSettings::NoError;
}

bool CSettingsStore::WriteProfileString(const QString& section, const QString& name, const QString& value)
{
    QSettings s(m_userFile, QSettings::IniFormat);
    s.setValue(Key(section, name), value);
    s.sync();
    return s.status() == QSettings::NoError;
}

void CSettingsStore::DeleteProfileSection(const QString& section)
{
    if (!QFileInfo(m_userFile).isFile()) {
        return;
    }
    QSettings s(m_userFile, QSettings::IniFormat);
    if (s.childGroups().contains(section)) {
        s.remove(section);
        s.sync();
    }
}

int CSettingsStore::ReadInt(const QString& section, const QString& name, int def) const
{
    const int v = ReadMachineInt(section, name);
    return v >= 0 ? v : GetProfileInt(section, name, def);
}

QString CSettingsStore::ReadString(const QString& section, const QString& name, const QString& def) const
{
    const QString s = ReadMachineString(section, name);
    return s.isEmpty() ? GetProfileString(section, name, def) : s;
}
