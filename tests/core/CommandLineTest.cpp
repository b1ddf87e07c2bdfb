#include "core/CommandLineInfo.h"
#include "support/TestSupport.h"

#include <QDir>

namespace {

struct Parsed
{
    CCustomCommandLineInfo info;
    bool valid = false;
};

// Parses like start-up does and validates when a command-line run was asked for.
std::unique_ptr<Parsed> Parse(const QStringList& args, const QString& cwd = QStringLiteral("/tmp"))
{
    auto p = std::make_unique<Parsed>();
    ParseCommandLine(p->info, args, cwd);
    if (p->info.IsBatch() && !p->info.IsHelpRequested()) {
        p->valid = p->info.Validate();
    }
    return p;
}

class CommandLineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fax = dir.File(QStringLiteral("a.tif"));
        testsupport::WriteFile(fax, "II*\0");
    }
    testsupport::TempDir dir;
    QString fax;
};

TEST_F(CommandLineTest, PrintWithExistingFileIsValid)
{
    auto p = Parse({"/p", fax});
    EXPECT_TRUE(p->valid);
    EXPECT_TRUE(p->info.IsBatch());
    EXPECT_TRUE(p->info.IsPrint());
    EXPECT_FALSE(p->info.IsQuit());
    EXPECT_EQ(p->info.GetBatchFile(), fax);
    EXPECT_EQ(p->info.GetMessage(), "-");
    EXPECT_EQ(p->info.GetShellCommand(), CCommandLineInfo::FileNew);
}

TEST_F(CommandLineTest, DashOptionsWorkLikeSlashOptions)
{
    auto p = Parse({"-p", "-q", "-r:2-4", "-i:7,3", fax});
    ASSERT_TRUE(p->valid) << p->info.GetMessage().toStdString();
    EXPECT_TRUE(p->info.IsQuit());
    EXPECT_EQ(p->info.GetRangeFrom(), 2);
    EXPECT_EQ(p->info.GetRangeTo(), 4);
    EXPECT_EQ(p->info.GetPageListCount(), 2);
    EXPECT_EQ(p->info.GetPage(0), 7);
    EXPECT_EQ(p->info.GetPage(1), 3);
}

TEST_F(CommandLineTest, FileBeforeOptionIsOpenedAndValidationWantsAFileName)
{
    auto p = Parse({fax, "/p"});
    EXPECT_EQ(p->info.GetShellCommand(), CCommandLineInfo::FileOpen);
    EXPECT_EQ(p->info.GetFileName(), fax);
    EXPECT_FALSE(p->valid);
    EXPECT_EQ(p->info.GetMessage(), "Ein Dateiname muss definiert werden.");
}

TEST_F(CommandLineTest, RelativeNamesAreMadeAbsoluteAgainstTheWorkingFolder)
{
    // Opened as the document at start instead of being dropped silently.
    auto open = Parse({"a.tif"}, dir.Path());
    EXPECT_FALSE(open->info.IsBatch());
    EXPECT_EQ(open->info.GetFileName(), fax);

    auto print = Parse({"/p", "a.tif"}, dir.Path());
    EXPECT_TRUE(print->valid) << print->info.GetMessage().toStdString();
    EXPECT_EQ(print->info.GetBatchFile(), fax);

    auto sub = Parse({"-p", "../x/./b.tif"}, dir.Path() + "/sub");
    EXPECT_EQ(sub->info.GetBatchFile(), QDir::cleanPath(dir.Path() + "/x/b.tif"));
}

TEST_F(CommandLineTest, RangeSyntax)
{
    auto ok = Parse({"/p", "/r:2-4", fax});
    EXPECT_TRUE(ok->valid);
    EXPECT_TRUE(ok->info.HasRange());

    for (const char* bad : {"/r:2", "/r:0-4", "/r:x-4", "/r:-44", "/r:4-0"}) {
        auto p = Parse({"/p", bad, fax});
        EXPECT_FALSE(p->valid) << bad;
        EXPECT_EQ(p->info.GetMessage(), "Sytnax Fehler in Parameter /r.") << bad;
    }

    // Order, sign and page count are for printing to judge.
    auto reversed = Parse({"/p", "/r:5-3", fax});
    EXPECT_TRUE(reversed->valid);
    EXPECT_EQ(reversed->info.GetRangeFrom(), 5);
    EXPECT_EQ(reversed->info.GetRangeTo(), 3);
    auto negative = Parse({"/p", "/r:1--3", fax});
    EXPECT_TRUE(negative->valid);
    EXPECT_EQ(negative->info.GetRangeTo(), -3);

    // Any separator after the letter; /range counts as /r.
    auto sep = Parse({"/p", "-r=12-15", fax});
    EXPECT_EQ(sep->info.GetRangeFrom(), 12);
    EXPECT_EQ(sep->info.GetRangeTo(), 15);
}

TEST_F(CommandLineTest, ShortRangeOrListDoesNotStartACommandLineRun)
{
    auto r = Parse({"/r:15"});
    EXPECT_FALSE(r->info.IsBatch());
    EXPECT_TRUE(r->info.HasParseError());
    auto i = Parse({"/i"});
    EXPECT_FALSE(i->info.IsBatch());
    EXPECT_TRUE(i->info.HasParseError());
}

TEST_F(CommandLineTest, PageListKeepsOrderAndDuplicates)
{
    auto p = Parse({"/p", "/i:3,1,3", fax});
    ASSERT_TRUE(p->valid);
    EXPECT_EQ(p->info.GetPageListCount(), 3);
    EXPECT_EQ(p->info.GetPage(0), 3);
    EXPECT_EQ(p->info.GetPage(1), 1);
    EXPECT_EQ(p->info.GetPage(2), 3);
    EXPECT_EQ(p->info.GetPage(3), -1);
    EXPECT_EQ(p->info.GetPage(-1), -1);
    EXPECT_EQ(p->info.GetPage(50), -1);

    for (const char* bad : {"/i:1,,2", "/i:1,0", "/i:,5", "/i:x", "/i:2,-1"}) {
        auto e = Parse({"/p", bad, fax});
        EXPECT_FALSE(e->valid) << bad;
        EXPECT_EQ(e->info.GetMessage(), "Sytnax Fehler in Parameter /i.") << bad;
    }
}

TEST_F(CommandLineTest, PageListOfFiftyIsKeptAndLongerIsRefused)
{
    QStringList fifty;
    for (int i = 1; i <= 50; ++i) {
        fifty << QString::number(i);
    }
    auto ok = Parse({"/p", "/i:" + fifty.join(','), fax});
    EXPECT_TRUE(ok->valid);
    EXPECT_EQ(ok->info.GetPageListCount(), 50);
    EXPECT_EQ(ok->info.GetPage(49), 50);

    auto tooMany = Parse({"/p", "/i:" + fifty.join(',') + ",51", fax});
    EXPECT_FALSE(tooMany->valid);
    EXPECT_EQ(tooMany->info.GetMessage(), "Sytnax Fehler in Parameter /i.");
    EXPECT_EQ(tooMany->info.GetPage(50), -1);
}

TEST_F(CommandLineTest, ValidationOrderAndTexts)
{
    EXPECT_EQ(Parse({"/i:1", fax})->info.GetMessage(), "/i erfordert /p.");
    EXPECT_EQ(Parse({"/r:1-2", fax})->info.GetMessage(), "/r erfordert /p.");
    EXPECT_EQ(Parse({"/q", fax})->info.GetMessage(), "/q erfordert /p.");
    EXPECT_FALSE(Parse({"/q", fax})->info.IsFileRejected()) << "the options are wrong, not the file";

    const QString missing = dir.File("missing.tif");
    EXPECT_EQ(Parse({"/p", missing})->info.GetMessage(), "Die Datei '" + missing + "' existiert nicht.");
    EXPECT_TRUE(Parse({"/p", missing})->info.IsFileRejected());
    EXPECT_TRUE(Parse({"/q", missing})->info.IsFileRejected()) << "the file is checked before the options";
    // A folder is not a file to print.
    QDir(dir.Path()).mkdir("folder.tif");
    EXPECT_EQ(Parse({"/p", dir.File("folder.tif")})->info.GetMessage(),
              "Die Datei '" + dir.File("folder.tif") + "' existiert nicht.");

    const QString bmp = dir.File("a.bmp");
    testsupport::WriteFile(bmp, "BM");
    EXPECT_EQ(Parse({"/p", bmp})->info.GetMessage(), "Der Dateityp wird nicht unterstützt.");
    EXPECT_TRUE(Parse({"/p", bmp})->info.IsFileRejected());
    const QString upper = dir.File("B.TIFF");
    testsupport::WriteFile(upper, "MM\0*");
    EXPECT_TRUE(Parse({"/p", upper})->valid);

    EXPECT_EQ(Parse({"/p"})->info.GetMessage(), "Ein Dateiname muss definiert werden.");
    EXPECT_FALSE(Parse({"/p"})->info.IsFileRejected());
    EXPECT_FALSE(Parse({"/p", "/r:x", missing})->info.IsFileRejected()) << "a parse error comes first";
}

TEST_F(CommandLineTest, UnknownParametersAndTheLastErrorWins)
{
    auto p = Parse({"/p", "/x", "/y", fax});
    EXPECT_FALSE(p->valid);
    EXPECT_EQ(p->info.GetMessage(), "Unknown parameter: y");

    auto upper = Parse({"/P", fax});
    EXPECT_FALSE(upper->info.IsBatch());
    EXPECT_EQ(upper->info.GetMessage(), "Unknown parameter: P");

    // /print counts as /p.
    EXPECT_TRUE(Parse({"/print", fax})->valid);
    // A lone unknown option does not start a command-line run.
    EXPECT_FALSE(Parse({"--help"})->info.IsBatch());
}

TEST_F(CommandLineTest, HelpRequest)
{
    auto p = Parse({"/?"});
    EXPECT_TRUE(p->info.IsBatch());
    EXPECT_TRUE(p->info.IsHelpRequested());
    EXPECT_EQ(p->info.GetMessage(), "-");
    EXPECT_TRUE(Parse({"-?"})->info.IsHelpRequested());
}

TEST_F(CommandLineTest, LaterPathReplacesEarlierAndEmptyArgumentsAreIgnored)
{
    const QString other = dir.File("b.tif");
    testsupport::WriteFile(other, "II*\0");
    auto p = Parse({"/p", "", fax, other});
    EXPECT_TRUE(p->valid);
    EXPECT_EQ(p->info.GetBatchFile(), other);
}

TEST(ReadNumber, BehavesLikeTheCConversion)
{
    EXPECT_EQ(ReadNumber("12"), 12);
    EXPECT_EQ(ReadNumber("  7x"), 7);
    EXPECT_EQ(ReadNumber("-3"), -3);
    EXPECT_EQ(ReadNumber("+4"), 4);
    EXPECT_EQ(ReadNumber("abc"), 0);
    EXPECT_EQ(ReadNumber(""), 0);
    EXPECT_EQ(ReadNumber("99999999999"), 2147483647);
    EXPECT_EQ(ReadNumber("-99999999999"), -2147483647 - 1);
}

} // namespace
