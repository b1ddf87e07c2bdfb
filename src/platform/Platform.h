#pragma once
// Small interfaces over everything that shows UI of the system's own or touches the outside world, so
// that tests can replace each with a recording fake. One real implementation each (PlatformQt.cpp).

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class IPrintBackend; // platform/PrintBackend.h: the print spooler
class QDialog;
class QFileDialog;
class QWidget;

class IMessageBox
{
public:
    enum Icon
    {
        NoIcon,
        Information,
        Exclamation,
        Stop
    };
    virtual ~IMessageBox() = default;
    // A modal box with an OK button.
    virtual void Show(QWidget* owner, const QString& text, const QString& caption, Icon icon) = 0;
};

class IFileDialog
{
public:
    virtual ~IFileDialog() = default;
    // `filter` uses the program's "Name|pattern,pattern|Name|pattern||" form. Returns the chosen
    // absolute path or an empty string when cancelled. The dialog opens at `size` (within the screen);
    // when the user resized it, `size` returns the size it was left at.
    virtual QString GetOpenFileName(QWidget* owner, const QString& startFolder, const QString& filter,
                                    QSize& size) = 0;
    // `initialPath`: a folder, a file name, or a file name in a folder (proposed as the name). Asks
    // before an existing file is overwritten.
    virtual QString GetSaveFileName(QWidget* owner, const QString& initialPath, const QString& filter,
                                    const QString& defaultSuffix, QSize& size) = 0;
};

class IClipboard
{
public:
    virtual ~IClipboard() = default;
    // The page as an image, and additionally as a packed device-independent bitmap ("image/bmp").
    virtual bool SetPage(const QImage& image, const QByteArray& bmp) = 0;
};

class IMailClient
{
public:
    enum Result
    {
        Launched,
        NotInstalled,
        NoMailTool,
        Failed
    };
    virtual ~IMailClient() = default;
    // Opens a new message in the user's mail program with `path` as its only attachment. The mail
    // program may stay open for a long time, so the outcome arrives through `done` later, on the GUI
    // thread; the program keeps responding meanwhile.
    virtual void SendFile(const QString& path, std::function<void(Result)> done) = 0;
};

class IHelpViewer
{
public:
    virtual ~IHelpViewer() = default;
    // Shows `page` of the help book in `bookFolder`; an empty page shows the book's default page.
    virtual void ShowPage(const QString& bookFolder, const QString& page) = 0;
};

class IUrlOpener
{
public:
    virtual ~IUrlOpener() = default;
    virtual bool Open(const QString& url) = 0;
};

class IDialogRunner
{
public:
    virtual ~IDialogRunner() = default;
    // Runs one of the program's own modal dialogs; returns its result (QDialog::Accepted or Rejected).
    virtual int Exec(QDialog& dialog) = 0;
};

struct CPlatform
{
    CPlatform();
    ~CPlatform();
    std::unique_ptr<IMessageBox> messageBox;
    std::unique_ptr<IFileDialog> fileDialog;
    std::unique_ptr<IClipboard> clipboard;
    std::unique_ptr<IMailClient> mail;
    std::unique_ptr<IHelpViewer> help;
    std::unique_ptr<IUrlOpener> url;
    std::unique_ptr<IDialogRunner> dialogs;
    std::unique_ptr<IPrintBackend> print;

    // The real services on Qt and the Linux desktop.
    static std::unique_ptr<CPlatform> CreateReal();
};

// Splits "Name|pattern,pattern|Name|pattern||" into Qt's filter list ("Name (*.a *.b)").
QString ToQtFilter(const QString& filter);

// Makes Qt's own file dialog ready to open at `size` (shrunk to the available screen area) with the
// columns of its detail view wide enough for what they show: size, type and date whole, the name taking
// the rest.
void PrepareFileDialog(QFileDialog& dialog, QSize size);
