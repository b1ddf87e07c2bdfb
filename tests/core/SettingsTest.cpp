#include "core/Options.h"
#include "core/SettingsStore.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMap>

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    QString machine() const { return dir.File("etc/Folivant.conf"); }
    QString user() const { return dir.File("home/.config/Zentrel/Folivant.conf"); }
    void Machine(const QByteArray& ini) { Write(machine(), ini); }
    void User(const QByteArray& ini) { Write(user(), ini); }
    // The settings reader notices a changed file by its size and time; rewrites within one millisecond
    // get distinct times so that each test step sees its own file.
    void Write(const QString& path, const QByteArray& ini)
    {
        testsupport::WriteFile(path, ini);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(++m_stamp), QFileDevice::FileModificationTime);
    }
    int m_stamp = 0;
    CSettingsStore Store() const { return {machine(), user()}; }

    testsupport::TempDir dir;
};

TEST_F(SettingsTest, NoFilesGiveAllDefaults)
{
    const CSettingsStore store = Store();
    COptionThumb thumb;
    COptionImage image;
    COptionLanguage language;
    COptionGui gui;
    thumb.LoadSettings(store);
    image.LoadSettings(store);
    language.LoadSettings(store);
    gui.LoadSettings(store);
    EXPECT_EQ(thumb.Width, 150);
    EXPECT_EQ(thumb.Quality, 0);
    EXPECT_EQ(thumb.On, 1);
    EXPECT_EQ(thumb.Align, 0);
    EXPECT_EQ(image.Align, 0);
    EXPECT_EQ(language.Language, 0);
    EXPECT_EQ(gui.GuiLook, 6);
    EXPECT_EQ(gui.HideSaveAs, -1);
    EXPECT_EQ(gui.HideDocNavigation, -1);
    EXPECT_EQ(gui.HideSendMail, -1);
    EXPECT_EQ(store.ReadString("Misc", "About"), "");
    EXPECT_EQ(store.ReadString("Misc", "FolderFileOpen"), "");
    EXPECT_EQ(store.ReadInt("Misc", "PosX1", -10000), -10000);
    EXPECT_EQ(store.ReadInt("Misc", "Maximized", 1), 1);
    EXPECT_FALSE(IsFolderListSuppressed(store));
    // Reading created nothing.
    EXPECT_FALSE(QFileInfo::exists(user()));
    EXPECT_FALSE(QFileInfo::exists(machine()));
}

TEST_F(SettingsTest, MachineValueWinsAndNegativeCountsAsAbsent)
{
    User("[Misc]\nGuiLook=8\n");
    Machine("[Misc]\nGuiLook=3\n");
    COptionGui gui;
    gui.LoadSettings(Store());
    EXPECT_EQ(gui.GuiLook, 3);

    Machine("[Misc]\nGuiLook=-5\n");
    gui.LoadSettings(Store());
    EXPECT_EQ(gui.GuiLook, 8);

    Machine("[Misc]\nGuiLook=abc\n");
    gui.LoadSettings(Store());
    EXPECT_EQ(gui.GuiLook, 8);

    // 0 is a value like any other: the administrator switches the user's thumbnails off.
    User("[Thumb]\nOn=1\n");
    Machine("[Thumb]\nOn=0\n");
    COptionThumb thumb;
    thumb.LoadSettings(Store());
    EXPECT_EQ(thumb.On, 0);
}

TEST_F(SettingsTest, OnlyTheValueOneHides)
{
    Machine("[Misc]\nHideSaveAs=2\nHideDocNavigation=1\nHideSendMail=0\n");
    COptionGui gui;
    gui.LoadSettings(Store());
    EXPECT_FALSE(gui.IsSaveAsHidden());
    EXPECT_TRUE(gui.IsDocNavigationHidden());
    EXPECT_FALSE(gui.IsSendMailHidden());
}

TEST_F(SettingsTest, HideSwitchesAreMachineOnly)
{
    User("[Misc]\nHideSaveAs=1\nHideDocNavigation=1\nHideSendMail=1\n");
    COptionGui gui;
    gui.LoadSettings(Store());
    EXPECT_EQ(gui.HideSaveAs, -1);
    EXPECT_EQ(gui.HideDocNavigation, -1);
    EXPECT_EQ(gui.HideSendMail, -1);
}

TEST_F(SettingsTest, FolderListSwitchIsTheUsersOwnWithCapitalC)
{
    User("[Misc]\nHideDocNavigation=1\n");
    EXPECT_FALSE(IsFolderListSuppressed(Store()));
    User("[Misc]\nHideDoCNavigation=1\n");
    EXPECT_TRUE(IsFolderListSuppressed(Store()));
    User("[Misc]\nHideDoCNavigation=2\n");
    EXPECT_FALSE(IsFolderListSuppressed(Store()));
    // An administrator's value of that name is not read.
    User("");
    Machine("[Misc]\nHideDoCNavigation=1\n");
    EXPECT_FALSE(IsFolderListSuppressed(Store()));
}

TEST_F(SettingsTest, MachineFolderIsUsedEvenAfterTheUserWroteOne)
{
    Machine("[Misc]\nFolderFileOpen=/srv/faxe\n");
    CSettingsStore store = Store();
    store.WriteProfileString("Misc", "FolderFileOpen", "/home/anna/post");
    EXPECT_EQ(store.GetProfileString("Misc", "FolderFileOpen"), "/home/anna/post");
    EXPECT_EQ(store.ReadString("Misc", "FolderFileOpen"), "/srv/faxe");
}

TEST_F(SettingsTest, SavingWritesTheUserFileOnlyAndRoundTrips)
{
    Machine("[Thumb]\nWidth=-1\n");
    const QByteArray machineBefore = testsupport::ReadFile(machine());
    CSettingsStore store = Store();

    COptionThumb thumb;
    thumb.Width = 220;
    thumb.Quality = 2;
    thumb.On = 0;
    thumb.Align = 1;
    thumb.SaveSettings(store);
    COptionImage image;
    image.Align = 1;
    image.SaveSettings(store);
    COptionLanguage language;
    language.Language = 1;
    language.SaveSettings(store);
    COptionGui gui;
    gui.GuiLook = 10;
    gui.HideSaveAs = 1;
    gui.SaveSettings(store);

    EXPECT_EQ(testsupport::ReadFile(machine()), machineBefore);
    COptionThumb t2;
    COptionImage i2;
    COptionLanguage l2;
    COptionGui g2;
    t2.LoadSettings(store);
    i2.LoadSettings(store);
    l2.LoadSettings(store);
    g2.LoadSettings(store);
    EXPECT_EQ(t2.Width, 220);
    EXPECT_EQ(t2.Quality, 2);
    EXPECT_EQ(t2.On, 0);
    EXPECT_EQ(t2.Align, 1);
    EXPECT_EQ(i2.Align, 1);
    EXPECT_EQ(l2.Language, 1);
    EXPECT_EQ(g2.GuiLook, 10);
    EXPECT_EQ(g2.HideSaveAs, -1); // never written
}

TEST_F(SettingsTest, UnreadableOrGarbledFilesReadAsAbsent)
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.append(static_cast<char>((i * 7919) % 256));
    }
    Machine(garbage);
    User("[Misc]\nGuiLook=9\n");
    COptionGui gui;
    gui.LoadSettings(Store());
    EXPECT_EQ(gui.GuiLook, 9);
    EXPECT_EQ(Store().ReadMachineString("Misc", "About"), "");

    // A folder where the file should be.
    CSettingsStore folder(dir.Path(), user());
    EXPECT_EQ(folder.ReadMachineInt("Misc", "GuiLook"), -1);

    // A user file without read permission gives the defaults.
    User("[Thumb]\nWidth=300\n");
    QFile::setPermissions(user(), QFileDevice::WriteOwner);
    if (!QFile(user()).open(QIODevice::ReadOnly)) { // root reads anyway
        COptionThumb thumb;
        thumb.LoadSettings(Store());
        EXPECT_EQ(thumb.Width, 150);
    }
    QFile::setPermissions(user(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(SettingsTest, MachineTextRules)
{
    Machine("[Misc]\nAbout=\nFolderFileSaveAs=" + QByteArray(255, 'x') + "\nFolderFileOpen=\"/srv/a,b\"\n");
    User("[Misc]\nAbout=0\nFolderFileSaveAs=/home/u\n");
    const CSettingsStore store = Store();
    EXPECT_EQ(store.ReadString("Misc", "About"), "0");                  // empty machine text counts as absent
    EXPECT_EQ(store.ReadString("Misc", "FolderFileSaveAs"), "/home/u"); // too long for the store
    EXPECT_EQ(store.ReadString("Misc", "FolderFileOpen"), "/srv/a,b");
    Machine("[Misc]\nFolderFileSaveAs=" + QByteArray(254, 'x') + "\n");
    EXPECT_EQ(Store().ReadString("Misc", "FolderFileSaveAs"), QString(254, u'x')); // the longest that fits
}

TEST_F(SettingsTest, DeletingTheWorkspaceSectionKeepsTheRest)
{
    User("[Workspace]\nA=1\n[Misc]\nGuiLook=4\n");
    CSettingsStore store = Store();
    store.DeleteProfileSection("Workspace");
    EXPECT_EQ(store.GetProfileInt("Workspace", "A", -1), -1);
    EXPECT_EQ(store.GetProfileInt("Misc", "GuiLook", -1), 4);
}

// Regression: a width from a hand-edited file overflowed the strip's layout (2147483647) or kept 424 MB per
// thumbnail (10000); values are brought into what the options dialog offers, machine-wide ones too.
TEST_F(SettingsTest, ThumbnailWidthIsKeptWithinWhatTheDialogOffers)
{
    const std::pair<const char*, int> cases[] = {{"2147483647", 500}, {"10000", 500}, {"500", 500},
                                                 {"99", 100},         {"0", 100},     {"-2147483648", 100}};
    for (const auto& [stored, expected] : cases) {
        User(QByteArray("[Thumb]\nWidth=") + stored + "\n");
        COptionThumb thumb;
        thumb.LoadSettings(Store());
        EXPECT_EQ(thumb.Width, expected) << stored;
    }
    Machine("[Thumb]\nWidth=10000\n");
    COptionThumb thumb;
    thumb.LoadSettings(Store());
    EXPECT_EQ(thumb.Width, 500);
}

// The file dialogs' size: what the user left them at, unless it cannot be a dialog's size.
TEST_F(SettingsTest, FileDialogSizeFallsBackToTheDefaultForUnusableValues)
{
    const std::pair<const char*, QSize> cases[] = {
        {"FileDialogWidth=700\nFileDialogHeight=420\n", QSize(700, 420)},
        {"FileDialogWidth=700\n", kFileDialogDefaultSize},
        {"FileDialogWidth=399\nFileDialogHeight=420\n", kFileDialogDefaultSize},
        {"FileDialogWidth=700\nFileDialogHeight=299\n", kFileDialogDefaultSize},
        {"FileDialogWidth=700\nFileDialogHeight=2147483647\n", kFileDialogDefaultSize},
    };
    for (const auto& [stored, expected] : cases) {
        User(QByteArray("[Misc]\n") + stored);
        EXPECT_EQ(ReadFileDialogSize(Store()), expected) << stored;
    }
}

TEST(SettingsPaths, EnvironmentNamesTheFiles)
{
    qputenv("FOLIVANT_MACHINE_CONFIG", "/opt/site/folivant.ini");
    qputenv("XDG_CONFIG_HOME", "/home/test/cfg");
    const CSettingsStore store = CSettingsStore::FromEnvironment();
    EXPECT_EQ(store.MachineFile(), "/opt/site/folivant.ini");
    EXPECT_EQ(store.UserFile(), "/home/test/cfg/Zentrel/Folivant.conf");
    qunsetenv("FOLIVANT_MACHINE_CONFIG");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(CSettingsStore::FromEnvironment().MachineFile(), "/etc/xdg/Zentrel/Folivant.conf");
}

} // namespace

// The commented example shipped for administrators (share/doc/folivant/examples/Folivant.conf).
TEST_F(SettingsTest, TheAdministratorsExampleFixesNothingUntilAValueIsUncommented)
{
    const QString example = testsupport::SourceDir() + "/res/examples/Folivant.conf";
    const QByteArray shipped = testsupport::ReadFile(example);
    ASSERT_FALSE(shipped.isEmpty()) << example.toStdString();
    User("[Misc]\nGuiLook=8\nLanguage=1\n[Thumb]\nWidth=300\n");
    Machine(shipped);
    COptionGui gui;
    gui.LoadSettings(Store());
    COptionThumb thumb;
    thumb.LoadSettings(Store());
    COptionLanguage language;
    language.LoadSettings(Store());
    EXPECT_EQ(gui.GuiLook, 8);
    EXPECT_EQ(gui.HideSaveAs, -1);
    EXPECT_EQ(thumb.Width, 300);
    EXPECT_EQ(language.Language, 1);

    // With every ";Name=value" line made active, each one is a setting of its section and counts.
    const QMap<QString, QStringList> known{
        {"Misc",
         {"Language", "GuiLook", "HideSaveAs", "HideDocNavigation", "HideSendMail", "About", "FolderFileOpen",
          "FolderFileSaveAs", "PosX1", "PosX2", "PosY1", "PosY2", "Maximized"}},
        {"Image", {"Align"}},
        {"Thumb", {"Width", "Quality", "On", "Align"}}};
    QByteArray active;
    QString section;
    for (QByteArray line : shipped.split('\n')) {
        if (line.startsWith('[')) {
            section = QString::fromUtf8(line.mid(1, line.indexOf(']') - 1));
        } else if (line.startsWith(';') && line.contains('=') && !line.contains(' ')) {
            line = line.mid(1);
            const QString name = QString::fromUtf8(line.left(line.indexOf('=')));
            EXPECT_TRUE(known.value(section).contains(name))
                << section.toStdString() << "/" << name.toStdString();
        }
        active += line + '\n';
    }
    Machine(active);
    const CSettingsStore store = Store();
    for (auto it = known.begin(); it != known.end(); ++it) {
        for (const QString& name : it.value()) {
            if (active.contains('\n' + name.toUtf8() + '=')) {
                EXPECT_FALSE(store.ReadMachineString(it.key(), name).isEmpty()) << name.toStdString();
            }
        }
    }
    gui.LoadSettings(store);
    EXPECT_TRUE(gui.IsSaveAsHidden());
    EXPECT_TRUE(gui.IsDocNavigationHidden());
    EXPECT_TRUE(gui.IsSendMailHidden());
    thumb.LoadSettings(store);
    EXPECT_EQ(thumb.Width, 150);
}
