#pragma once
// Shared data of the main window: the settings records, the list of TIFF files of the folder of the
// file last chosen in the file dialog or the recent-file list, and the open file's place in that list.

#include "core/Options.h"
#include "lists/TOList.h"

#include <memory>

class CSettingsStore;

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

    // Lists every entry of `folder` whose name ends in ".tif" or ".tiff" (any letter case, dot not first),
    // in the order the directory delivers them; files and subfolders alike. The entry whose name matches
    // `fileName` without regard to case becomes the current file.
    void BuildFolderList(const QString& folder, const QString& fileName);
    void ClearFolderList();

private:
    T_OList m_folderList;
    T_OStrNode* m_currentFile = nullptr;
};
