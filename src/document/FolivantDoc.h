#pragma once
// The open document: nothing but the file's path. The page view and the thumbnail strip read the pages
// themselves from that path; the document is never modified, so replacing it never asks to save.

#include <QString>

#include <cstdint>

// What tells, without reading it, whether the file at a path is still the one that was read: another
// file moved into its place has another inode, a file written anew or cut short another size or
// modification time.
struct CFileStamp
{
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedSec = 0;
    std::int64_t modifiedNsec = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;

    static CFileStamp Of(const QString& path);
    bool operator==(const CFileStamp&) const = default;
};

class CFolivantDoc
{
public:
    const QString& GetPathName() const { return m_path; }
    // The file name without its folder.
    QString GetTitle() const { return m_path.mid(m_path.lastIndexOf(u'/') + 1); }
    // Also notes the file's stamp: the views read it right after.
    void SetPathName(const QString& path)
    {
        m_path = path;
        TakeStamp();
    }
    bool IsModified() const { return false; }

    enum class DiskState
    {
        Unchanged, // the file the views read (or no document)
        Changed,   // another file lies at the path, or the file was rewritten or cut short
        Gone,      // nothing lies at the path any more (deleted or moved away)
    };
    DiskState CheckDisk() const;
    // The views read the file anew.
    void TakeStamp() { m_stamp = CFileStamp::Of(m_path); }

private:
    QString m_path;
    CFileStamp m_stamp;
};

// " name - Folivant V1.15", or " Folivant V1.15" when there is no document path.
QString ComposeTitle(const QString& documentPath);

// Reads the first four bytes: "II" or "MM" followed by 42 in either byte order. A file that cannot be
// opened, or is shorter than four bytes, is not a TIFF file.
bool IsTiffFile(const QString& path);

// Can the file be opened for reading? (Folders, missing files and files without read permission
// cannot.) Nothing is read.
bool CanOpenForReading(const QString& path);
