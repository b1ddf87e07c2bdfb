#include "core/CommandLineInfo.h"

#include "core/Strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

void CCommandLineInfo::ParseParam(const QString& param, bool isFlag, bool /*isLast*/)
{
    if (!isFlag) {
        ParseParamNotFlag(param);
    }
}

void CCommandLineInfo::ParseParamNotFlag(const QString& param)
{
    if (m_fileName.isEmpty()) {
        m_fileName = param;
        m_shellCommand = FileOpen;
    }
}

int ReadNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t' || text.at(i) == u'\n' ||
                               text.at(i) == u'\r' || text.at(i) == u'\v' || text.at(i) == u'\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) {
            value = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int>::max()) {
        value = std::numeric_limits<int>::max();
    }
    return static_cast<int>(value);
}

void CCustomCommandLineInfo::SetError(const QString& message)
{
    m_parseError = true;
    m_message = message;
}

void CCustomCommandLineInfo::ParseParam(const QString& param, bool isFlag, bool isLast)
{
    if (param.isEmpty()) {
        return;
    }
    const QChar first = param.at(0);
    if (isFlag && first == u'p') {
        m_batch = true;
        m_print = true;
    } else if (isFlag && first == u'q') {
        m_batch = true;
        m_quit = true;
    } else if (isFlag && first == u'r') {
        ParseRange(param);
    } else if (isFlag && first == u'i') {
        ParsePageList(param);
    } else if (first == u'/') {
        if (m_batch) {
            m_batchFile = param;
        } else {
            CCommandLineInfo::ParseParam(param, isFlag, isLast);
        }
    } else if (isFlag && first == u'?') {
        m_batch = true;
        m_helpRequested = true;
    } else {
        SetError(QStringLiteral("Unknown parameter: ") + param);
    }
}

// "r", one separator of any kind, then "from-to": /r:2-4.
void CCustomCommandLineInfo::ParseRange(const QString& text)
{
    if (text.size() < 5) {
        SetError(LoadString(Str::RangeSyntax));
        return;
    }
    m_hasRange = true;
    const QString rest = text.mid(2);
    const qsizetype dash = rest.indexOf(u'-');
    if (dash <= 0) {
        SetError(LoadString(Str::RangeSyntax));
        return;
    }
    m_batch = true;
    m_rangeFrom = ReadNumber(rest.left(dash));
    m_rangeTo = ReadNumber(rest.mid(dash + 1));
    if (m_rangeFrom == 0 || m_rangeTo == 0) {
        SetError(LoadString(Str::RangeSyntax));
    }
}

// "i", one separator of any kind, then page numbers joined by ",": /i:3,1,3.
void CCustomCommandLineInfo::ParsePageList(const QString& text)
{
    if (text.size() < 3) {
        SetError(LoadString(Str::ListSyntax));
        return;
    }
    m_batch = true;
    m_hasPageList = true;
    m_pageListCount = 0;
    QString rest = text.mid(2);
    bool error = false;
    auto store = [this](int page) {
        if (m_pageListCount < kMaxPages) {
            m_pageList[static_cast<size_t>(m_pageListCount)] = page;
        }
        ++m_pageListCount;
    };
    for (qsizetype comma = rest.indexOf(u','); comma > 0 && !error; comma = rest.indexOf(u',')) {
        const int page = ReadNumber(rest.left(comma));
        error = page == 0;
        store(page);
        rest = rest.mid(comma + 1);
    }
    if (!error) {
        const int page = ReadNumber(rest);
        error = page <= 0;
        if (!error) {
            store(page);
        }
    }
    // Only 50 numbers are kept; a longer list is refused rather than printing a shortened one.
    if (error || m_pageListCount > kMaxPages) {
        SetError(LoadString(Str::ListSyntax));
    }
}

int CCustomCommandLineInfo::GetPage(int index) const
{
    if (index < 0 || index >= m_pageListCount || index >= kMaxPages) {
        return -1;
    }
    return m_pageList[static_cast<size_t>(index)];
}

bool CCustomCommandLineInfo::Validate()
{
    m_fileRejected = false;
    if (m_parseError) {
        return false;
    }
    if (m_batchFile.isEmpty()) {
        m_message = LoadString(Str::FileNameRequired);
        return false;
    }
    QFile file(m_batchFile);
    if (!QFileInfo(m_batchFile).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_message = FormatString(Str::FileMissing, {m_batchFile});
        m_fileRejected = true;
        return false;
    }
    file.close();
    const QString lower = m_batchFile.toLower();
    if (!lower.endsWith(QStringLiteral(".tif")) && !lower.endsWith(QStringLiteral(".tiff"))) {
        m_message = LoadString(Str::FileTypeUnsupported);
        m_fileRejected = true;
        return false;
    }
    if (!m_print && m_quit) {
        m_message = LoadString(Str::QuitNeedsPrint);
        return false;
    }
    if (!m_print && m_hasRange) {
        m_message = LoadString(Str::RangeNeedsPrint);
        return false;
    }
    if (!m_print && m_hasPageList) {
        m_message = LoadString(Str::ListNeedsPrint);
        return false;
    }
    return true;
}

void ParseCommandLine(CCommandLineInfo& info, const QStringList& args, const QString& workingDir)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool last = i + 1 == args.size();
        if (arg.startsWith(u'-')) {
            info.ParseParam(arg.mid(1), true, last);
        } else if (arg.startsWith(u'/')) {
            const bool isPath = arg.indexOf(u'/', 1) > 0 || QFileInfo::exists(arg);
            if (isPath) {
                info.ParseParam(QDir::cleanPath(arg), false, last);
            } else {
                info.ParseParam(arg.mid(1), true, last);
            }
        } else if (arg.isEmpty()) {
            info.ParseParam(arg, false, last);
        } else {
            info.ParseParam(QDir::cleanPath(QDir(workingDir).absoluteFilePath(arg)), false, last);
        }
    }
}
