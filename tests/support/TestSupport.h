#pragma once
// Helpers shared by the tests.

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// Folder of the shared corpus of real and malformed TIFF files; empty when this checkout has none
// (a user's clone): tests that need it skip with a message.
QString SharedTestData();

#define FOLIVANT_REQUIRE_SHARED_TESTDATA()                                                                   \
    do {                                                                                                     \
        if (::testsupport::SharedTestData().isEmpty())                                                       \
            GTEST_SKIP() << "shared TIFF corpus not found beside the repository (../shared/testdata); "      \
                            "skipping the corpus test";                                                      \
    } while (0)

QString SourceDir();
QString BinaryDir();

// Writes `data` to `path`, creating folders; fails the test on error.
void WriteFile(const QString& path, const QByteArray& data);
QByteArray ReadFile(const QString& path);

// A temporary folder removed after the test.
class TempDir
{
public:
    TempDir();
    QString Path() const { return m_dir.path(); }
    QString File(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Waits while processing events until `pred` holds or `ms` pass; returns whether it held.
template <typename Pred> bool WaitFor(Pred pred, int ms = 5000);

// "w x h at x, y" for messages.
std::string Describe(const QRect& r);

} // namespace testsupport

#include <QDeadlineTimer>
#include <QTest>

template <typename Pred> bool testsupport::WaitFor(Pred pred, int ms)
{
    return QTest::qWaitFor(pred, ms);
}
