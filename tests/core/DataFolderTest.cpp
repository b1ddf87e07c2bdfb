// Where the program finds its help book, command-line help, logo and translation: beside itself in the
// build tree, in ../share/folivant when installed (any prefix), and never a folder that is not there.
#include "core/DataFolder.h"
#include "support/TestSupport.h"

#include <QDir>

using testsupport::TempDir;
using testsupport::WriteFile;

TEST(DataFolder, BesideTheProgramInTheBuildTree)
{
    TempDir dir;
    const QString build = dir.File("build");
    WriteFile(build + "/FolivantLogo.bmp", "BM");
    // A share folder next to the build tree does not win over the files beside the program.
    QDir().mkpath(dir.File("share/folivant"));
    EXPECT_EQ(DataFolderFor(build), build);

    // Each of the files alone is enough to mark the folder.
    for (const char* name : {"FolivantCmndArguments.txt", "FolivantCmndArgumentsEng.txt", "FolivantEng.qm"}) {
        const QString program = dir.File(QStringLiteral("only-%1").arg(name));
        WriteFile(program + '/' + name, "x");
        EXPECT_EQ(DataFolderFor(program), program) << name;
    }
}

TEST(DataFolder, ShareFolderOfAnInstalledProgram)
{
    TempDir dir;
    for (const QString& prefix : {dir.File("usr"), dir.File("opt/folivant"), dir.File("stage/usr/local")}) {
        WriteFile(prefix + "/bin/folivant", "");
        WriteFile(prefix + "/share/folivant/FolivantCmndArguments.txt", "x");
        const QString found = DataFolderFor(prefix + "/bin");
        EXPECT_EQ(found, prefix + "/share/folivant");
        EXPECT_FALSE(found.contains("..")) << "the folder is shown in messages and help, keep it plain";
    }
}

TEST(DataFolder, ProgramFolderWhenNothingIsInstalled)
{
    TempDir dir;
    const QString program = dir.File("bin");
    QDir().mkpath(program);
    EXPECT_EQ(DataFolderFor(program), program);
    // A file of that name is not a folder.
    WriteFile(dir.File("share/folivant"), "not a folder");
    EXPECT_EQ(DataFolderFor(program), program);
}
