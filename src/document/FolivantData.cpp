#include "document/FolivantData.h"

#include <QDir>
#include <QDirIterator>

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
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot <= 0) {
            continue;
        }
        const QString lower = name.toLower();
        const QString ext = lower.mid(dot + 1);
        if (ext != QStringLiteral("tif") && ext != QStringLiteral("tiff")) {
            continue;
        }
        auto* node = new T_OStrNode(QDir(folder).filePath(name));
        m_folderList.Append(node);
        if (lower == wanted) {
            m_currentFile = node;
        }
    }
}
