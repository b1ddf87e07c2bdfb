#include "core/SettingsStore.h"
#include "document/FolivantData.h"
#include "document/FolivantDoc.h"
#include "document/RecentFileList.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

QStringList Paths(const CFolivantData& data)
{
    QStringList out;
    for (T_ONode* n = data.GetFolderList().GetHead(); n != nullptr; n = n->GetNext()) {
        out << static_cast<T_OStrNode*>(n)->GetText();
    }
    return out;
}

QString Name(const T_OStrNode* node)
{
    return node == nullptr ? QString() : node->GetText().section(u'/', -1);
}

class FolderListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* f : {"a.tif", "B.TIF", "c.tiff", "d.tif.bak", ".tif", "notes.txt", "noext"}) {
            testsupport::WriteFile(dir.File(QString::fromLatin1(f)), "II*\0");
        }
        QDir(dir.Path()).mkdir(QStringLiteral("e.tif"));
    }
    testsupport::TempDir dir;
};

TEST_F(FolderListTest, ListsTiffFilesInNameOrderAndMatchesTheNameWithoutCase)
{
    CFolivantData data;
    data.BuildFolderList(dir.Path(), QStringLiteral("b.tif"));
    // The folder e.tif is no file; .tif has its dot first; d.tif.bak ends otherwise.
    EXPECT_EQ(Paths(data), (QStringList{dir.File("a.tif"), dir.File("B.TIF"), dir.File("c.tiff")}));
    EXPECT_EQ(Name(data.GetCurrentFile()), "B.TIF");
}

// Regression: the list kept the directory's own order, which on ext4 is a hash order, so "Nächste Datei"
// skipped files and stopped early.
TEST(FolderListOrder, AFolderWrittenInScrambledOrderStepsInNameOrder)
{
    testsupport::TempDir dir;
    const QStringList scrambled{"fax10.tif", "c.tif", "fax2.tif", "B.TIF", "fax1.tif", "a.tif", "Fax3.tiff"};
    for (const QString& f : scrambled) {
        testsupport::WriteFile(dir.File(f), "II*\0");
    }
    // Only regular files count, also through a link; a pipe, a broken link and a folder do not.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.File("pipe.tif")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.File("gone.tif"), dir.File("dead.tif")));
    ASSERT_TRUE(QFile::link(dir.File("a.tif"), dir.File("link.tif")));
    QDir(dir.Path()).mkdir(QStringLiteral("ordner.tif"));

    CFolivantData data;
    data.BuildFolderList(dir.Path(), QStringLiteral("a.tif"));
    QStringList names;
    for (const QString& p : Paths(data)) {
        names << p.section(u'/', -1);
    }
    EXPECT_EQ(names, (QStringList{"a.tif", "B.TIF", "c.tif", "fax1.tif", "fax2.tif", "Fax3.tiff", "fax10.tif",
                                  "link.tif"}));
    // From the first file "Nächste Datei" reaches every file once, in that order.
    QStringList walked{Name(data.GetCurrentFile())};
    while (!data.IsLastFile()) {
        walked << Name(data.NextFile());
    }
    EXPECT_EQ(walked, names);
}

TEST(FolderListOrder, AnExactNameWinsOverOneInAnotherCase)
{
    testsupport::TempDir dir;
    for (const char* f : {"SCAN.TIF", "zz.tif", "scan.tif", "Scan.Tif"}) {
        testsupport::WriteFile(dir.File(QString::fromLatin1(f)), "II*\0");
    }
    CFolivantData data;
    for (const char* chosen : {"scan.tif", "SCAN.TIF", "Scan.Tif"}) {
        data.BuildFolderList(dir.Path(), QString::fromLatin1(chosen));
        EXPECT_EQ(Name(data.GetCurrentFile()), chosen);
    }
    // Names that differ only in case keep one order (lower case first), whatever the directory says.
    EXPECT_EQ(Paths(data), (QStringList{dir.File("scan.tif"), dir.File("Scan.Tif"), dir.File("SCAN.TIF"),
                                        dir.File("zz.tif")}));
    // Stepping from each of them visits the next one, neither skipping nor repeating.
    data.BuildFolderList(dir.Path(), QStringLiteral("scan.tif"));
    EXPECT_EQ(Name(data.NextFile()), "Scan.Tif");
    EXPECT_EQ(Name(data.NextFile()), "SCAN.TIF");
    EXPECT_EQ(Name(data.NextFile()), "zz.tif");
    // No exact match: the first name that matches without regard to case.
    data.BuildFolderList(dir.Path(), QStringLiteral("sCAN.tif"));
    EXPECT_EQ(Name(data.GetCurrentFile()), "scan.tif");
}

TEST_F(FolderListTest, StepsStopAtTheEndsWithoutWrapping)
{
    CFolivantData data;
    data.BuildFolderList(dir.Path(), QStringLiteral("a.tif"));
    const QStringList all = Paths(data);
    ASSERT_EQ(all.size(), 3);

    // Walk to the last entry.
    data.SetCurrentFile(static_cast<T_OStrNode*>(data.GetFolderList().GetHead()));
    EXPECT_TRUE(data.IsFirstFile());
    EXPECT_FALSE(data.IsLastFile());
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(data.NextFile()->GetText(), all.at(i));
    }
    EXPECT_TRUE(data.IsLastFile());
    EXPECT_EQ(data.NextFile()->GetText(), all.at(2)); // stays at the end
    EXPECT_EQ(data.PreviousFile()->GetText(), all.at(1));
    data.SetCurrentFile(static_cast<T_OStrNode*>(data.GetFolderList().GetHead()));
    EXPECT_EQ(data.PreviousFile()->GetText(), all.at(0)); // stays at the start
}

TEST_F(FolderListTest, NoCurrentFileMeansNoStepsAndBothCommandsStayPossible)
{
    CFolivantData data;
    EXPECT_EQ(data.NextFile(), nullptr);
    EXPECT_FALSE(data.IsFirstFile());
    EXPECT_FALSE(data.IsLastFile());

    // A TIFF under another extension is not in the list.
    data.BuildFolderList(dir.Path(), QStringLiteral("d.tif.bak"));
    EXPECT_EQ(data.GetCurrentFile(), nullptr);
    EXPECT_EQ(data.GetFolderList().GetCount(), 3);

    data.ClearFolderList();
    EXPECT_TRUE(data.GetFolderList().IsEmpty());
    EXPECT_EQ(data.GetCurrentFile(), nullptr);

    // A folder that cannot be listed gives an empty list.
    data.BuildFolderList(dir.File("missing"), QStringLiteral("a.tif"));
    EXPECT_TRUE(data.GetFolderList().IsEmpty());
}

TEST(FolderListSingle, OneFileIsFirstAndLast)
{
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.File("only.tif"), "II*\0");
    CFolivantData data;
    data.BuildFolderList(dir.Path(), QStringLiteral("only.tif"));
    EXPECT_TRUE(data.IsFirstFile());
    EXPECT_TRUE(data.IsLastFile());
}

TEST(Title, NamesTheFileOrTheProductAlone)
{
    EXPECT_EQ(ComposeTitle(QStringLiteral("/home/anna/post/brief.tif")), " brief.tif - Folivant V1.15");
    EXPECT_EQ(ComposeTitle(QString()), " Folivant V1.15");
    CFolivantDoc doc;
    doc.SetPathName(QStringLiteral("/srv/fax/2024/Rechnung 17.TIFF"));
    EXPECT_EQ(doc.GetTitle(), "Rechnung 17.TIFF");
    EXPECT_FALSE(doc.IsModified());
}

TEST(HeaderTest, RecognisesBothByteOrdersAndRefusesTheRest)
{
    testsupport::TempDir dir;
    const auto check = [&](const char* name, const QByteArray& bytes) {
        testsupport::WriteFile(dir.File(QString::fromLatin1(name)), bytes);
        return IsTiffFile(dir.File(QString::fromLatin1(name)));
    };
    EXPECT_TRUE(check("le.tif", QByteArray("II*\0rest", 8)));
    EXPECT_TRUE(check("be.tif", QByteArray("MM\0*rest", 8)));
    EXPECT_TRUE(check("mixed.tif", QByteArray("II\0*", 4))); // either byte order of 42 is accepted
    EXPECT_TRUE(check("exact.bin", QByteArray("MM\0*", 4))); // the extension does not matter
    EXPECT_FALSE(check("big.tif", QByteArray("II+\0", 4)));  // BigTIFF says 43
    EXPECT_FALSE(check("short.tif", QByteArray("II*", 3)));
    EXPECT_FALSE(check("empty.tif", QByteArray()));
    EXPECT_FALSE(check("png.tif", QByteArray("\x89PNG\r\n", 6)));
    EXPECT_FALSE(check("mi.tif", QByteArray("MI*\0", 4)));
    EXPECT_FALSE(IsTiffFile(dir.File("missing.tif")));
    QDir(dir.Path()).mkdir("folder.tif");
    EXPECT_FALSE(IsTiffFile(dir.File("folder.tif")));
    EXPECT_FALSE(CanOpenForReading(dir.File("folder.tif")));
    EXPECT_TRUE(CanOpenForReading(dir.File("le.tif")));
}

TEST(RecentFiles, MostRecentFirstFourAtMostAndPersisted)
{
    testsupport::TempDir dir;
    CSettingsStore store(dir.File("machine.conf"), dir.File("user.conf"));
    CRecentFileList list(store);
    for (const char* p : {"/f/1.tif", "/f/2.tif", "/f/3.tif", "/f/4.tif", "/f/5.tif"}) {
        list.Add(QString::fromLatin1(p));
    }
    EXPECT_EQ(list.Entries(), (QStringList{"/f/5.tif", "/f/4.tif", "/f/3.tif", "/f/2.tif"}));
    list.Add(QStringLiteral("/f/3.tif"));
    EXPECT_EQ(list.Entries(), (QStringList{"/f/3.tif", "/f/5.tif", "/f/4.tif", "/f/2.tif"}));
    list.Remove(1);
    list.Remove(9); // out of range: nothing
    EXPECT_EQ(list.Entries(), (QStringList{"/f/3.tif", "/f/4.tif", "/f/2.tif"}));

    CRecentFileList again(store);
    again.Load();
    EXPECT_EQ(again.Entries(), list.Entries());
    EXPECT_EQ(store.GetProfileString("Recent File List", "File1"), "/f/3.tif");
    EXPECT_EQ(store.GetProfileString("Recent File List", "File4"), "");
}

} // namespace
