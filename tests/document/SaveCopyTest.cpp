#include "document/SaveCopy.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SaveCopyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < 300000; ++i) {
            content.append(static_cast<char>((i * 131) % 251));
        }
        source = dir.File("Post/Brief.tif");
        testsupport::WriteFile(source, content);
        // Received long ago: 4 March 2019, 05:06:07.123456789 UTC.
        const struct timespec times[2] = {{1551675967, 0}, {1551675967, 123456789}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0), 0);
    }
    testsupport::TempDir dir;
    QByteArray content;
    QString source;
};

TEST_F(SaveCopyTest, CopiesByteForByteAndNamesBothPathsAsChosen)
{
    const QString target = dir.File("Archiv/Kopie.TIF");
    QDir().mkpath(dir.File("Archiv"));
    const SaveCopyOutcome out = SaveCopy(source, target);
    EXPECT_EQ(out.result, SaveCopyResult::Copied);
    EXPECT_EQ(out.message, "Das Kopieren der Datei '" + source + "' nach '" + target + "' war erfolgreich.");
    EXPECT_EQ(testsupport::ReadFile(target), content);
    // The copy keeps the source's modification time to the nanosecond, like a file copy does.
    struct stat s
    {
    };
    struct stat t
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(source).constData(), &s), 0);
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &t), 0);
    EXPECT_EQ(t.st_mtim.tv_sec, s.st_mtim.tv_sec);
    EXPECT_EQ(t.st_mtim.tv_nsec, s.st_mtim.tv_nsec);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.File("Archiv")).entryList(QDir::Files | QDir::Hidden), QStringList{"Kopie.TIF"});

    // An existing writable target is replaced.
    testsupport::WriteFile(target, "old");
    EXPECT_EQ(SaveCopy(source, target).result, SaveCopyResult::Copied);
    EXPECT_EQ(testsupport::ReadFile(target), content);
}

TEST_F(SaveCopyTest, TheSameFileUnderAnotherSpellingOrLinkIsRefused)
{
    const QString same = dir.File("Post/./../Post/Brief.tif");
    SaveCopyOutcome out = SaveCopy(source, same);
    EXPECT_EQ(out.result, SaveCopyResult::SameFile);
    EXPECT_EQ(out.message,
              "Ein- und Ausgabedatei (Ordner und Name) sind identisch.\nDie Datei wurde nicht gespeichert.");

    ASSERT_TRUE(QFile::link(source, dir.File("link.tif")));
    EXPECT_EQ(SaveCopy(source, dir.File("link.tif")).result, SaveCopyResult::SameFile);
    ASSERT_EQ(
        ::link(QFile::encodeName(source).constData(), QFile::encodeName(dir.File("hard.tif")).constData()),
        0);
    EXPECT_EQ(SaveCopy(source, dir.File("hard.tif")).result, SaveCopyResult::SameFile);
    EXPECT_EQ(testsupport::ReadFile(source), content);

    // Linux names are case-sensitive: another letter case is another file, and it is copied as chosen.
    const QString upper = dir.File("Post/BRIEF.TIF");
    EXPECT_EQ(SaveCopy(source, upper).result, SaveCopyResult::Copied);
    EXPECT_TRUE(QFileInfo::exists(upper));
    EXPECT_FALSE(QFileInfo::exists(dir.File("post/brief.tif")));
}

TEST_F(SaveCopyTest, VanishedSourceAndReadOnlyTarget)
{
    const QString gone = dir.File("Post/weg.tif");
    SaveCopyOutcome out = SaveCopy(gone, dir.File("x.tif"));
    EXPECT_EQ(out.result, SaveCopyResult::SourceMissing);
    EXPECT_EQ(out.message, "Die Datei '" + gone + "' existiert nicht.");
    EXPECT_FALSE(QFileInfo::exists(dir.File("x.tif")));

    const QString locked = dir.File("locked.tif");
    testsupport::WriteFile(locked, "keep");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    out = SaveCopy(source, locked);
    EXPECT_EQ(out.result, SaveCopyResult::TargetReadOnly);
    EXPECT_EQ(out.message, "Die Zieldatei '" + locked + "' ist schreibgeschützt.");
    EXPECT_EQ(testsupport::ReadFile(locked), "keep");
}

TEST_F(SaveCopyTest, AFailedCopyLeavesTheTargetUntouched)
{
    // No such folder: nothing can be written.
    const QString nowhere = dir.File("no/such/folder/x.tif");
    SaveCopyOutcome out = SaveCopy(source, nowhere);
    EXPECT_EQ(out.result, SaveCopyResult::CopyFailed);
    EXPECT_EQ(out.message,
              "Beim Kopieren der Datei '" + source + "' nach '" + nowhere + "' ist ein Fehler aufgetreten.");

    // A folder or a pipe in the target's place stays what it is (the pipe was replaced by a regular file
    // and success reported).
    QDir().mkpath(dir.File("isdir.tif"));
    EXPECT_EQ(SaveCopy(source, dir.File("isdir.tif")).result, SaveCopyResult::CopyFailed);
    EXPECT_TRUE(QFileInfo(dir.File("isdir.tif")).isDir());
    const QString pipe = dir.File("pipe.tif");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    out = SaveCopy(source, pipe);
    EXPECT_EQ(out.result, SaveCopyResult::CopyFailed);
    EXPECT_EQ(out.message,
              "Beim Kopieren der Datei '" + source + "' nach '" + pipe + "' ist ein Fehler aufgetreten.");
    struct stat st
    {
    };
    ASSERT_EQ(::lstat(QFile::encodeName(pipe).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A folder we may not write into (only meaningful when not running as root).
    if (::geteuid() != 0) {
        QDir().mkpath(dir.File("ro"));
        testsupport::WriteFile(dir.File("ro/t.tif"), "old");
        QFile::setPermissions(dir.File("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(SaveCopy(source, dir.File("ro/t.tif")).result, SaveCopyResult::CopyFailed);
        EXPECT_EQ(testsupport::ReadFile(dir.File("ro/t.tif")), "old");
        QFile::setPermissions(dir.File("ro"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

} // namespace
