#pragma once
// The open document: nothing but the file's path. The page view and the thumbnail strip read the pages
// themselves from that path; the document is never modified, so replacing it never asks to save.

#include <QString>

class CFolivantDoc
{
public:
    const QString& GetPathName() const { return m_path; }
    // The file name without its folder.
    QString GetTitle() const { return m_path.mid(m_path.lastIndexOf(u'/') + 1); }
    void SetPathName(const QString& path) { m_path = path; }
    bool IsModified() const { return false; }

private:
    QString m_path;
};

// " name - Folivant V1.15", or " Folivant V1.15" when there is no document path.
QString ComposeTitle(const QString& documentPath);

// Reads the first four bytes: "II" or "MM" followed by 42 in either byte order. A file that cannot be
// opened, or is shorter than four bytes, is not a TIFF file.
bool IsTiffFile(const QString& path);

// Can the file be opened for reading? (Folders, missing files and files without read permission
// cannot.) Nothing is read.
bool CanOpenForReading(const QString& path);
