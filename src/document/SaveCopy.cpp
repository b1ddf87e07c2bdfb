#include "document/SaveCopy.h"

#include "core/Strings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>

bool IsSameFile(const QString& a, const QString& b)
{
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath()) {
        return true;
    }
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0) {
        return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

bool IsReadOnly(const QFileInfo& target)
{
    // The mode bits, not what the current user may do: root may write anything, yet a file without any
    // write bit is read-only to everybody's understanding.
    constexpr auto kWriteBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !(target.permissions() & kWriteBits) || !target.isWritable();
}

bool CopyBytes(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return false;
    }
    struct stat sourceStat
    {
    };
    if (::fstat(in.handle(), &sourceStat) != 0) {
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray buffer;
    constexpr qint64 kChunk = 1 << 20;
    while (!in.atEnd()) {
        buffer = in.read(kChunk);
        if (buffer.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            return false;
        }
        if (out.write(buffer) != buffer.size()) {
            out.cancelWriting();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError || !out.flush()) {
        out.cancelWriting();
        return false;
    }
    // A copy keeps the source's modification time, like a file manager's copy. Set on the temporary file
    // once every byte is in it; the rename keeps it.
    const struct timespec times[2] = {{0, UTIME_OMIT}, sourceStat.st_mtim};
    if (::futimens(out.handle(), times) != 0) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

SaveCopyOutcome SaveCopy(const QString& source, const QString& target)
{
    if (IsSameFile(source, target)) {
        return {SaveCopyResult::SameFile, LoadString(Str::SameFile)};
    }
    QFile probe(source);
    if (source.isEmpty() || !QFileInfo(source).isFile() || !probe.open(QIODevice::ReadOnly)) {
        return {SaveCopyResult::SourceMissing, FormatString(Str::FileMissing, {source})};
    }
    probe.close();
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && IsReadOnly(targetInfo)) {
        return {SaveCopyResult::TargetReadOnly, FormatString(Str::TargetReadOnly, {target})};
    }
    // Only a regular file (also behind a link) is replaced: a folder, a pipe or a device node in the
    // target's place stays what it is.
    if ((targetInfo.exists() && !targetInfo.isFile()) || !CopyBytes(source, target)) {
        return {SaveCopyResult::CopyFailed, FormatString(Str::CopyFailed, {source, target})};
    }
    return {SaveCopyResult::Copied, FormatString(Str::CopySucceeded, {source, target})};
}
