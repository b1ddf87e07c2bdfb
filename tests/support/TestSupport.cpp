#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace testsupport {

namespace {

thread_local int t_delivering = 0;

class EndTestAtFatalFailure : public ::testing::EmptyTestEventListener
{
    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        const QCoreApplication* app = QCoreApplication::instance();
        if (result.fatally_failed() && t_delivering == 0 && app != nullptr &&
            QThread::currentThread() == app->thread()) {
            throw ::testing::AssertionException(result); // reported already; gtest ends the test quietly
        }
    }
};

} // namespace

void EndTestsAtFatalFailures()
{
    // Last in the list: the printers have reported the failure before the test ends.
    ::testing::UnitTest::GetInstance()->listeners().Append(new EndTestAtFatalFailure);
}

DeliveringEvent::DeliveringEvent()
{
    ++t_delivering;
}
DeliveringEvent::~DeliveringEvent()
{
    --t_delivering;
}

QString SharedTestData()
{
    const QString env = qEnvironmentVariable("FOLIVANT_SHARED_TESTDATA");
    const QString dir = env.isEmpty() ? QStringLiteral(FOLIVANT_SHARED_TESTDATA) : env;
    return QFileInfo(dir + QStringLiteral("/tiff/real")).isDir() ? dir : QString();
}

QString SourceDir()
{
    return QStringLiteral(FOLIVANT_SOURCE_DIR);
}
QString BinaryDir()
{
    return QStringLiteral(FOLIVANT_BINARY_DIR);
}

void WriteFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll();
}

TempDir::TempDir()
{
    EXPECT_TRUE(m_dir.isValid());
}

std::string Describe(const QRect& r)
{
    return QStringLiteral("%1 x %2 at %3, %4")
        .arg(r.width())
        .arg(r.height())
        .arg(r.x())
        .arg(r.y())
        .toStdString();
}

} // namespace testsupport
