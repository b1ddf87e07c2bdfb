#include "platform/HelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr("Folivant - Hilfe"));
    // Independent of the main window: it does not keep the program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    auto* back = new QPushButton(tr("Zurück"), this);
    auto* forward = new QPushButton(tr("Vorwärts"), this);
    auto* home = new QPushButton(tr("Inhalt"), this);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(760, 640);
}

void CHelpWindow::ShowPage(const QString& bookFolder, const QString& page)
{
    const QString index = bookFolder + QStringLiteral("/index.html");
    QString file = page.isEmpty() ? index : bookFolder + u'/' + page;
    if (!QFileInfo(file).isFile()) {
        file = index;
    }
    if (QFileInfo(file).isFile()) {
        m_browser->setSearchPaths({bookFolder});
        m_browser->setSource(QUrl::fromLocalFile(file));
        m_shownBook = true;
    } else {
        m_browser->clearHistory();
        m_browser->setHtml(
            tr("<p>Die Hilfe wurde nicht gefunden:<br>%1</p>").arg(bookFolder.toHtmlEscaped()));
        m_shownBook = false;
    }
    show();
    raise();
    activateWindow();
}

QString CHelpWindow::CurrentSource() const
{
    return m_shownBook ? m_browser->source().toLocalFile() : QString();
}
