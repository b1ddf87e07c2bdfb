#pragma once
// Recording fakes for every platform service, so that widget tests never block on a modal box.

#include "platform/Platform.h"
#include "platform/PrintBackend.h"

#include <QDialog>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace testsupport {

struct ShownMessage
{
    QString text;
    QString caption;
    IMessageBox::Icon icon;
};

class FakeMessageBox : public IMessageBox
{
public:
    void Show(QWidget*, const QString& text, const QString& caption, Icon icon) override
    {
        shown.push_back({text, caption, icon});
    }
    std::vector<ShownMessage> shown;
};

class FakeFileDialog : public IFileDialog
{
public:
    QString GetOpenFileName(QWidget*, const QString& startFolder, const QString& filter, QSize& size) override
    {
        openStartFolders << startFolder;
        lastFilter = filter;
        return Next(size);
    }
    QString GetSaveFileName(QWidget*, const QString& initialPath, const QString&, const QString& suffix,
                            QSize& size) override
    {
        saveInitialPaths << initialPath;
        lastSuffix = suffix;
        return Next(size);
    }
    QString Next(QSize& size)
    {
        sizes.push_back(size);
        if (resizeTo.isValid()) {
            size = resizeTo;
        }
        return Next();
    }
    QString Next()
    {
        if (answers.empty()) {
            return {};
        }
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<QString> answers; // empty string: cancelled
    QStringList openStartFolders;
    QStringList saveInitialPaths;
    std::vector<QSize> sizes; // each dialog's size to open at
    QSize resizeTo;           // when valid, the user leaves each dialog at this size
    QString lastFilter;
    QString lastSuffix;
};

class FakeClipboard : public IClipboard
{
public:
    bool SetPage(const QImage& i, const QByteArray& b) override
    {
        image = i;
        bmp = b;
        ++calls;
        return succeed;
    }
    bool succeed = true;
    int calls = 0;
    QImage image;
    QByteArray bmp;
};

class FakeMail : public IMailClient
{
public:
    void SendFile(const QString& path, std::function<void(Result)> done) override
    {
        sent << path;
        done(result);
    }
    Result result = Launched;
    QStringList sent;
};

class FakeHelp : public IHelpViewer
{
public:
    void ShowPage(const QString& folder, const QString& page) override
    {
        folders << folder;
        pages << page;
    }
    QStringList folders;
    QStringList pages;
};

class FakeUrl : public IUrlOpener
{
public:
    bool Open(const QString& url) override
    {
        opened << url;
        return succeed;
    }
    bool succeed = true;
    QStringList opened;
};

// Runs the program's own dialogs: `handler` may fill in the dialog and returns its result; without a
// handler every dialog is cancelled. The class names of the dialogs run are recorded.
class FakeDialogs : public IDialogRunner
{
public:
    int Exec(QDialog& dialog) override
    {
        ran << QString::fromLatin1(dialog.metaObject()->className());
        return handler ? handler(dialog) : QDialog::Rejected;
    }
    std::function<int(QDialog&)> handler;
    QStringList ran;
};

// A spooler with one default queue that accepts every job and only counts it.
class FakeSpooler : public IPrintBackend
{
public:
    QString DefaultPrinterName() override { return defaultPrinter; }
    bool PrinterExists(const QString& name) override { return !name.isEmpty() && name == defaultPrinter; }
    int SubmitPdf(const QString& queue, const QString&, const QString& title, const std::vector<CupsOption>&,
                  QString*) override
    {
        queues << queue;
        titles << title;
        return static_cast<int>(titles.size());
    }
    QString defaultPrinter = QStringLiteral("Fake");
    QStringList queues;
    QStringList titles;
};

// A platform of fakes; `platform` owns them, the raw pointers stay valid as long as it lives.
struct FakePlatform
{
    FakePlatform();
    std::unique_ptr<CPlatform> platform;
    FakeMessageBox* messages;
    FakeFileDialog* files;
    FakeClipboard* clipboard;
    FakeMail* mail;
    FakeHelp* help;
    FakeUrl* url;
    FakeDialogs* dialogs;
    FakeSpooler* spooler;
};

} // namespace testsupport
