#pragma once
// Shared data of the main window: the settings records, the list of TIFF files of the folder of the
// file last chosen in the file dialog or the recent-file list, and the open file's place in that list.

#include "core/Options.h"
#include "lists/TOList.h"

#include <memory>

class CSettingsStore;
class QCollator;
class QString;

// The order of file names as people see it in their file manager: letters without regard to case and
// accents first (German rules, whatever the environment's locale), runs of digits as numbers ("fax2"
// before "fax10"); names equal by that compare lower case first, then by their characters, so the order
// never depends on the order the directory delivered them.
class CFileNameOrder
{
public:
    CFileNameOrder();
    ~CFileNameOrder();
    // Negative, zero or positive like strcmp; zero only for equal names.
    int Compare(const QString& a, const QString& b) const;
    bool operator()(const QString& a, const QString& b) const { return Compare(a, b) < 0; }

private:
    std::unique_ptr<QCollator> m_caseless;
    std::unique_ptr<QCollator> m_cased;
};

class CFolivantData
{
public:
    CFolivantData();
    virtual ~CFolivantData();

    // Thumbnails, image, language, look - in this order.
    void LoadSettings(const CSettingsStore& store);

    COptionGui gui;
    COptionThumb thumb;
    COptionImage image;
    COptionLanguage language;

    // The next (previous) file of the list; at the end (start) the position stays there. Null when the
    // open file is not in the list.
    T_OStrNode* NextFile();
    T_OStrNode* PreviousFile();
    bool IsFirstFile() const;
    bool IsLastFile() const;
    void SetCurrentFile(T_OStrNode* node) { m_currentFile = node; }
    T_OStrNode* GetCurrentFile() const { return m_currentFile; }
    const T_OList& GetFolderList() const { return m_folderList; }

    // Lists the files of `folder` whose name ends in ".tif" or ".tiff" (any letter case, dot not first) in
    // the order a file manager shows them (CFileNameOrder); folders, pipes, devices and broken links are
    // left out. The file named `fileName` becomes the current file; when no name matches exactly, the
    // first that matches without regard to case does.
    void BuildFolderList(const QString& folder, const QString& fileName);
    void ClearFolderList();

private:
    T_OList m_folderList;
    T_OStrNode* m_currentFile = nullptr;
};
