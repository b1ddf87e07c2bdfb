#pragma once
// The four settings records, and the few values read on their own. Defaults live here and nowhere else.

#include <QSize>

class CSettingsStore;

namespace Settings {
inline constexpr const char* kThumb = "Thumb";
inline constexpr const char* kImage = "Image";
inline constexpr const char* kRecentFiles = "Recent File List";
inline constexpr const char* kWorkspace = "Workspace";
} // namespace Settings

// "GuiLook" and the administrator's three switches that remove commands.
struct COptionGui
{
    int GuiLook = 6;
    int HideSaveAs = -1;
    int HideDocNavigation = -1;
    int HideSendMail = -1;

    void LoadSettings(const CSettingsStore& store);
    // Only the look is the user's to change; the Hide switches are never written.
    void SaveSettings(CSettingsStore& store) const;

    bool IsSaveAsHidden() const { return HideSaveAs == 1; }
    bool IsDocNavigationHidden() const { return HideDocNavigation == 1; }
    bool IsSendMailHidden() const { return HideSendMail == 1; }
};

class COptionThumb
{
public:
    // The widths the options dialog offers. A stored width outside them (a hand-edited file) is brought
    // into them when read: the strip's layout and every thumbnail's memory grow with it.
    static constexpr int kMinWidth = 100;
    static constexpr int kMaxWidth = 500;

    virtual ~COptionThumb() = default;
    int Width = 150;
    int Quality = 0;
    int On = 1;
    int Align = 0;

    void LoadSettings(const CSettingsStore& store);
    void SaveSettings(CSettingsStore& store) const;
};

class COptionImage
{
public:
    virtual ~COptionImage() = default;
    int Align = 0;

    void LoadSettings(const CSettingsStore& store);
    void SaveSettings(CSettingsStore& store) const;
};

struct COptionLanguage
{
    int Language = 0;

    void LoadSettings(const CSettingsStore& store);
    void SaveSettings(CSettingsStore& store) const;
    bool IsEnglish() const { return Language == 1; }
};

// The user's own switch that stops the folder list from being built when a file is opened. Read from the
// user's store alone, at every opening; note the capital C, it is not the administrator's switch.
bool IsFolderListSuppressed(const CSettingsStore& store);

// The size the file dialogs ("Öffnen...", "Speichern unter...") open at: the size the user left one of them
// at last ("FileDialogWidth", "FileDialogHeight" of "Misc"), or, when none is stored or it is smaller than
// 400 x 300 or larger than 10000, the default that shows the name, size, type and date columns whole.
inline constexpr QSize kFileDialogDefaultSize{880, 560};
QSize ReadFileDialogSize(const CSettingsStore& store);
// Keeps `size` in the user's settings, unless the settings give that size already.
void SaveFileDialogSize(CSettingsStore& store, QSize size);
