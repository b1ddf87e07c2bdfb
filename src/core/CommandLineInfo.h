#pragma once
// The command line: a file to open, or the options of a command-line run (print, quit after printing,
// page range, single pages, help).

#include <QString>
#include <QStringList>

#include <array>

// The plain part: a file named on the command line without any run option is opened at start.
class CCommandLineInfo
{
public:
    enum ShellCommand
    {
        FileNew,
        FileOpen
    };

    virtual ~CCommandLineInfo() = default;
    virtual void ParseParam(const QString& param, bool isFlag, bool isLast);

    ShellCommand GetShellCommand() const { return m_shellCommand; }
    const QString& GetFileName() const { return m_fileName; }

protected:
    void ParseParamNotFlag(const QString& param);

private:
    ShellCommand m_shellCommand = FileNew;
    QString m_fileName;
};

class CCustomCommandLineInfo : public CCommandLineInfo
{
public:
    static constexpr int kMaxPages = 50;

    ~CCustomCommandLineInfo() override = default;
    void ParseParam(const QString& param, bool isFlag, bool isLast) override;
    bool Validate();
    // After Validate() failed: whether the file was refused (missing, unreadable, not named .tif/.tiff)
    // rather than the options.
    bool IsFileRejected() const { return m_fileRejected; }

    bool IsBatch() const { return m_batch; }
    bool IsPrint() const { return m_print; }
    bool IsQuit() const { return m_quit; }
    bool HasRange() const { return m_hasRange; }
    int GetRangeFrom() const { return m_rangeFrom; }
    int GetRangeTo() const { return m_rangeTo; }
    bool HasPageList() const { return m_hasPageList; }
    int GetPageListCount() const { return m_pageListCount; }
    // The page number at `index` of the /i list; -1 outside the stored numbers.
    int GetPage(int index) const;
    const QString& GetBatchFile() const { return m_batchFile; }
    bool IsHelpRequested() const { return m_helpRequested; }
    bool HasParseError() const { return m_parseError; }
    const QString& GetMessage() const { return m_message; }

private:
    void ParseRange(const QString& text);
    void ParsePageList(const QString& text);
    void SetError(const QString& message);

    bool m_batch = false;
    bool m_print = false;
    bool m_quit = false;
    bool m_hasRange = false;
    int m_rangeFrom = 1;
    int m_rangeTo = 1;
    bool m_hasPageList = false;
    int m_pageListCount = 0;
    std::array<int, kMaxPages> m_pageList{};
    QString m_batchFile;
    bool m_helpRequested = false;
    bool m_parseError = false;
    QString m_message = QStringLiteral("-");
    bool m_fileRejected = false;
};

// Reads a whole number the C way: optional leading blanks, an optional sign, digits; anything after them
// is ignored and text without a number reads as 0. Values beyond 32 bits are clamped.
int ReadNumber(const QString& text);

// Splits the program's arguments (without the program name) and hands each to `info`. On Linux "/" starts
// both options and absolute paths: an argument is a path when it starts with "/" and contains a second "/"
// or names an existing file. Options may also be written with "-". A relative file name is made absolute
// against `workingDir` first, so "folivant fax.tif" opens the file instead of dropping it.
void ParseCommandLine(CCommandLineInfo& info, const QStringList& args, const QString& workingDir);
