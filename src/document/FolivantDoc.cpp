#include "document/FolivantDoc.h"

#include "core/Strings.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

CFileStamp CFileStamp::Of(const QString& path)
{
    CFileStamp stamp;
    struct stat st
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return stamp;
    }
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.modifiedSec = st.st_mtim.tv_sec;
    stamp.modifiedNsec = st.st_mtim.tv_nsec;
    stamp.inode = st.st_ino;
    stamp.device = st.st_dev;
    return stamp;
}

CFolivantDoc::DiskState CFolivantDoc::CheckDisk() const
{
    if (m_path.isEmpty()) {
        return DiskState::Unchanged;
    }
    const CFileStamp now = CFileStamp::Of(m_path);
    if (!now.exists) {
        return DiskState::Gone;
    }
    return now == m_stamp ? DiskState::Unchanged : DiskState::Changed;
}

QString ComposeTitle(const QString& documentPath)
{
    const QString name = documentPath.mid(documentPath.lastIndexOf(u'/') + 1);
    const QString product = ProductText();
    return name.isEmpty() ? u' ' + product : u' ' + name + QStringLiteral(" - ") + product;
}

bool IsTiffFile(const QString& path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = f.read(4);
    if (head.size() < 4) {
        return false;
    }
    const auto b = [&](int i) {
        return static_cast<unsigned char>(head.at(i));
    };
    const unsigned first = b(0) | (b(1) << 8);
    const unsigned second = b(2) | (b(3) << 8);
    return (first == 0x4949 || first == 0x4D4D) && (second == 0x2A00 || second == 0x002A);
}

bool CanOpenForReading(const QString& path)
{
    QFile f(path);
    return QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly);
}
