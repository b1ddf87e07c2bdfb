#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

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
