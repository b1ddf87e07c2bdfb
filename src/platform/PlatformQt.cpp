#include "platform/Platform.h"

#include "core/WindowPlacement.h"
#include "platform/HelpWindow.h"
#include "platform/PrintBackend.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

QString ToQtFilter(const QString& filter)
{
    QString text = filter;
    while (text.endsWith(u'"') || text.endsWith(u'|')) {
        text.chop(1);
    }
    const QStringList parts = text.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts.at(i).trimmed();
        // The name may already carry its patterns in parentheses; Qt wants them in one group at the end.
        const qsizetype paren = name.lastIndexOf(u'(');
        if (paren > 0 && name.endsWith(u')')) {
            name = name.left(paren).trimmed();
        }
        QStringList patterns;
        for (QString p :
             parts.at(i + 1).split(QRegularExpression(QStringLiteral("[,;]")), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            patterns << p;
            // Linux file names are case-sensitive; scanners like to write SCAN0001.TIF.
            if (p != QStringLiteral("*.*") && p.toUpper() != p) {
                patterns << p.toUpper();
            }
        }
        if (patterns.contains(QStringLiteral("*.*"))) {
            patterns = {QStringLiteral("*")};
        }
        out << name + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

// A box without an owner on the screen is centred on the screen - once it has its size, which it takes
// for its text only when it is shown.
class CentredMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (parentWidget() == nullptr && screen() != nullptr) {
            // The frame, title bar included, is what lies centred.
            move(CentredIn(frameGeometry().size(), screen()->availableGeometry()).topLeft());
        }
    }
};

class MessageBoxQt : public IMessageBox
{
public:
    void Show(QWidget* owner, const QString& text, const QString& caption, Icon icon) override
    {
        // Centred on its owner when that is on the screen, else on the screen (a window never shown, as
        // at a failed start, is no place to look at).
        CentredMessageBox box(owner != nullptr && owner->window()->isVisible() ? owner : nullptr);
        box.setWindowTitle(caption);
        box.setText(text);
        switch (icon) {
        case Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case Stop:
            box.setIcon(QMessageBox::Critical);
            break;
        case NoIcon:
            break;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
};

// Opens the dialog as prepared and gives back the size the user left it at, if the user resized it.
int ExecFileDialog(QFileDialog& dialog, QSize& size)
{
    PrepareFileDialog(dialog, size);
    const QSize opened = dialog.size();
    const int result = dialog.exec();
    if (dialog.size() != opened) {
        size = dialog.size();
    }
    return result;
}

class FileDialogQt : public IFileDialog
{
public:
    QString GetOpenFileName(QWidget* owner, const QString& startFolder, const QString& filter,
                            QSize& size) override
    {
        QFileDialog dlg(owner, QString(), startFolder, ToQtFilter(filter));
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        if (ExecFileDialog(dlg, size) != QDialog::Accepted || dlg.selectedFiles().isEmpty()) {
            return {};
        }
        return dlg.selectedFiles().constFirst();
    }

    QString GetSaveFileName(QWidget* owner, const QString& initialPath, const QString& filter,
                            const QString& defaultSuffix, QSize& size) override
    {
        QFileDialog dlg(owner, QString(), initialPath, ToQtFilter(filter));
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(defaultSuffix);
        if (ExecFileDialog(dlg, size) != QDialog::Accepted || dlg.selectedFiles().isEmpty()) {
            return {};
        }
        return dlg.selectedFiles().constFirst();
    }
};

class ClipboardQt : public IClipboard
{
public:
    bool SetPage(const QImage& image, const QByteArray& bmp) override
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard == nullptr || image.isNull()) {
            return false;
        }
        auto* mime = new QMimeData;
        mime->setImageData(image);
        mime->setData(QStringLiteral("image/bmp"), bmp);
        clipboard->setMimeData(mime);
        return true;
    }
};

class MailClientQt : public IMailClient
{
public:
    void SendFile(const QString& path, std::function<void(Result)> done) override
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        if (tool.isEmpty()) {
            done(NotInstalled);
            return;
        }
        auto* process = new QProcess(qApp);
        process->setProgram(tool);
        process->setArguments({QStringLiteral("--attach"), path});
        QObject::connect(process, &QProcess::finished, process,
                         [process, done](int code, QProcess::ExitStatus st) {
                             process->deleteLater();
                             // 0 launched, 3 no mail program found, everything else a failure.
                             if (st == QProcess::NormalExit && code == 0) {
                                 done(Launched);
                             } else if (st == QProcess::NormalExit && code == 3) {
                                 done(NoMailTool);
                             } else {
                                 done(Failed);
                             }
                         });
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [process, done](QProcess::ProcessError e) {
                             if (e == QProcess::FailedToStart) {
                                 process->deleteLater();
                                 done(NotInstalled);
                             }
                         });
        process->start();
    }
};

class HelpViewerQt : public IHelpViewer
{
public:
    // The window outlives the main window when the user leaves it open; it goes with the program.
    ~HelpViewerQt() override { delete m_window; }

    void ShowPage(const QString& bookFolder, const QString& page) override
    {
        if (m_window == nullptr) {
            m_window = new CHelpWindow; // top-level, independent of the main window
            m_window->setAttribute(Qt::WA_DeleteOnClose);
        }
        m_window->ShowPage(bookFolder, page);
    }

private:
    QPointer<CHelpWindow> m_window;
};

class UrlOpenerQt : public IUrlOpener
{
public:
    bool Open(const QString& url) override { return QDesktopServices::openUrl(QUrl::fromUserInput(url)); }
};

class DialogRunnerQt : public IDialogRunner
{
public:
    int Exec(QDialog& dialog) override { return dialog.exec(); }
};

} // namespace

CPlatform::CPlatform() = default;
CPlatform::~CPlatform() = default;

std::unique_ptr<CPlatform> CPlatform::CreateReal()
{
    auto p = std::make_unique<CPlatform>();
    p->messageBox = std::make_unique<MessageBoxQt>();
    p->fileDialog = std::make_unique<FileDialogQt>();
    p->clipboard = std::make_unique<ClipboardQt>();
    p->mail = std::make_unique<MailClientQt>();
    p->help = std::make_unique<HelpViewerQt>();
    p->url = std::make_unique<UrlOpenerQt>();
    p->dialogs = std::make_unique<DialogRunnerQt>();
    p->print = CreatePrintBackendOnFirstUse();
    return p;
}
