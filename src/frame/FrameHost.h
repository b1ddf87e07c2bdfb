#pragma once
// What the main window asks of the program around it: the open document, opening files, the recent-file
// list, the help book's folder, About and printer set-up. The application object implements it; the
// window knows nothing else of the application, so the frame sits below the application.

#include <QString>
#include <QStringList>

class CFolivantDoc;
struct CPrintSetup;

class CFrameHost
{
public:
    virtual CFolivantDoc& Document() = 0;
    // Opens `path` as the document; false (with a message shown) leaves everything as it was.
    virtual bool OpenDocumentFile(const QString& path) = 0;
    virtual void OnFileOpen() = 0;
    virtual QStringList RecentFileEntries() const = 0;
    virtual void OnOpenRecentFile(int index) = 0;
    virtual QString HelpBookFolder() const = 0;
    virtual void OnAppAbout() = 0;
    virtual void OnPrintSetup() = 0;
    // The printer and paper chosen under printer set-up in this run; print dialogs start from them.
    virtual const CPrintSetup& PrintSetup() const = 0;

protected:
    ~CFrameHost() = default;
};
