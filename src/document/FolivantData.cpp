#include "document/FolivantData.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// A collator of a fixed language: the C locale that scripts and services often run under compares by
// code points and ignores the numeric mode.
QCollator MakeCollator(Qt::CaseSensitivity cs)
{
    QCollator c{QLocale(QLocale::German, QLocale::Germany)};
    c.setNumericMode(true);
    c.setCaseSensitivity(cs);
    return c;
}

} // namespace

CFileNameOrder::CFileNameOrder()
    : m_caseless(std::make_unique<QCollator>(MakeCollator(Qt::CaseInsensitive))),
      m_cased(std::make_unique<QCollator>(MakeCollator(Qt::CaseSensitive)))
{
}

CFileNameOrder::~CFileNameOrder() = default;

int CFileNameOrder::Compare(const QString& a, const QString& b) const
{
    if (const int r = m_caseless->compare(a, b); r != 0) {
        return r;
    }
    if (const int r = m_cased->compare(a, b); r != 0) {
        return r;
    }
    return a.compare(b);
}

CFolivantData::CFolivantData() = default;
CFolivantData::~CFolivantData() = default;

void CFolivantData::LoadSettings(const CSettingsStore& store)
{
    thumb.LoadSettings(store);
    image.LoadSettings(store);
    language.LoadSettings(store);
    gui.LoadSettings(store);
}

T_OStrNode* CFolivantData::NextFile()
{
    if (m_currentFile == nullptr) {
        return nullptr;
    }
    T_ONode* next = m_currentFile->GetNext();
    m_currentFile = static_cast<T_OStrNode*>(next != nullptr ? next : m_folderList.GetTail());
    return m_currentFile;
}

T_OStrNode* CFolivantData::PreviousFile()
{
    if (m_currentFile == nullptr) {
        return nullptr;
    }
    T_ONode* prev = m_currentFile->GetPrev();
    m_currentFile = static_cast<T_OStrNode*>(prev != nullptr ? prev : m_folderList.GetHead());
    return m_currentFile;
}

bool CFolivantData::IsFirstFile() const
{
    return m_currentFile != nullptr && m_currentFile == m_folderList.GetHead();
}

bool CFolivantData::IsLastFile() const
{
    return m_currentFile != nullptr && m_currentFile == m_folderList.GetTail();
}

void CFolivantData::ClearFolderList()
{
    m_folderList.Clear();
    m_currentFile = nullptr;
}

void CFolivantData::BuildFolderList(const QString& folder, const QString& fileName)
{
    ClearFolderList();
    const QString wanted = fileName.toLower();
    std::vector<QString> names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot <= 0 || !it.fileInfo().isFile()) {
            continue;
        }
        const QString ext = name.mid(dot + 1).toLower();
        if (ext == QStringLiteral("tif") || ext == QStringLiteral("tiff")) {
            names.push_back(name);
        }
    }
    const CFileNameOrder order;
    std::sort(names.begin(), names.end(), std::cref(order));

    const QDir dir(folder);
    T_OStrNode* caseless = nullptr;
    for (const QString& name : names) {
        auto* node = new T_OStrNode(dir.filePath(name));
        m_folderList.Append(node);
        // On a case-sensitive file system scan.tif and SCAN.TIF are two files: the exact name wins.
        if (name == fileName) {
            m_currentFile = node;
        } else if (caseless == nullptr && name.toLower() == wanted) {
            caseless = node;
        }
    }
    if (m_currentFile == nullptr) {
        m_currentFile = caseless;
    }
}
