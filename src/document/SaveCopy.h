#pragma once
// "Speichern unter": the viewer never writes an image; it copies the open file byte for byte to the
// chosen place, with a message for every outcome. The copy goes to a temporary file in the target
// folder that replaces the target only when it is complete, so a failed copy never leaves a half-written
// or damaged target behind.

#include <QString>

enum class SaveCopyResult
{
    Copied,
    SameFile,
    SourceMissing,
    TargetReadOnly,
    CopyFailed
};

struct SaveCopyOutcome
{
    SaveCopyResult result;
    QString message; // the text for the message box
    bool IsError() const { return result != SaveCopyResult::Copied; }
};

// Paths are used and shown as chosen (Linux file names are case-sensitive). Source and target are the
// same file when they name the same file on disk, through whatever spelling, link or mount. The copy keeps
// the source's modification time. A target that exists but is no regular file (a folder, a pipe, a device
// node) is refused with the copy-failure message and stays as it is.
SaveCopyOutcome SaveCopy(const QString& source, const QString& target);

bool IsSameFile(const QString& a, const QString& b);
