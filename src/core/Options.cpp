#include "core/Options.h"

#include "core/SettingsStore.h"
#include "core/Strings.h"

#include <algorithm>

namespace {
QString Misc()
{
    return LoadString(Str::SectionMisc);
}
} // namespace

void COptionGui::LoadSettings(const CSettingsStore& store)
{
    const QString misc = Misc();
    GuiLook = store.ReadInt(misc, QStringLiteral("GuiLook"), 6);
    HideSaveAs = store.ReadMachineInt(misc, QStringLiteral("HideSaveAs"));
    HideDocNavigation = store.ReadMachineInt(misc, QStringLiteral("HideDocNavigation"));
    HideSendMail = store.ReadMachineInt(misc, QStringLiteral("HideSendMail"));
}

void COptionGui::SaveSettings(CSettingsStore& store) const
{
    store.WriteProfileInt(Misc(), QStringLiteral("GuiLook"), GuiLook);
}

void COptionThumb::LoadSettings(const CSettingsStore& store)
{
    const QString s = QString::fromLatin1(Settings::kThumb);
    Width = std::clamp(store.ReadInt(s, QStringLiteral("Width"), 150), kMinWidth, kMaxWidth);
    Quality = store.ReadInt(s, QStringLiteral("Quality"), 0);
    On = store.ReadInt(s, QStringLiteral("On"), 1);
    Align = store.ReadInt(s, QStringLiteral("Align"), 0);
}

void COptionThumb::SaveSettings(CSettingsStore& store) const
{
    const QString s = QString::fromLatin1(Settings::kThumb);
    store.WriteProfileInt(s, QStringLiteral("Width"), Width);
    store.WriteProfileInt(s, QStringLiteral("Quality"), Quality);
    store.WriteProfileInt(s, QStringLiteral("On"), On);
    store.WriteProfileInt(s, QStringLiteral("Align"), Align);
}

void COptionImage::LoadSettings(const CSettingsStore& store)
{
    Align = store.ReadInt(QString::fromLatin1(Settings::kImage), QStringLiteral("Align"), 0);
}

void COptionImage::SaveSettings(CSettingsStore& store) const
{
    store.WriteProfileInt(QString::fromLatin1(Settings::kImage), QStringLiteral("Align"), Align);
}

void COptionLanguage::LoadSettings(const CSettingsStore& store)
{
    Language = store.ReadInt(QStringLiteral("Misc"), QStringLiteral("Language"), 0);
}

void COptionLanguage::SaveSettings(CSettingsStore& store) const
{
    store.WriteProfileInt(QStringLiteral("Misc"), QStringLiteral("Language"), Language);
}

bool IsFolderListSuppressed(const CSettingsStore& store)
{
    return store.GetProfileInt(QStringLiteral("Misc"), QStringLiteral("HideDoCNavigation"), -1) == 1;
}

namespace {
bool UsableDialogSize(QSize size)
{
    return size.width() >= 400 && size.height() >= 300 && size.width() <= 10000 && size.height() <= 10000;
}
} // namespace

QSize ReadFileDialogSize(const CSettingsStore& store)
{
    const QSize stored(store.ReadInt(QStringLiteral("Misc"), QStringLiteral("FileDialogWidth"), -1),
                       store.ReadInt(QStringLiteral("Misc"), QStringLiteral("FileDialogHeight"), -1));
    return UsableDialogSize(stored) ? stored : kFileDialogDefaultSize;
}

void SaveFileDialogSize(CSettingsStore& store, QSize size)
{
    if (!UsableDialogSize(size) || size == ReadFileDialogSize(store)) {
        return;
    }
    store.WriteProfileInt(QStringLiteral("Misc"), QStringLiteral("FileDialogWidth"), size.width());
    store.WriteProfileInt(QStringLiteral("Misc"), QStringLiteral("FileDialogHeight"), size.height());
}
