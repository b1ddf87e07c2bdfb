#pragma once
// The program's help window: shows the HTML help book beside the program, independent of the main
// window (it stays open when dialogs close and has its own place on the desktop).

#include <QWidget>

class QTextBrowser;

class CHelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);
    // An empty page shows the book's default page (index.html). A missing book shows a short note.
    void ShowPage(const QString& bookFolder, const QString& page);
    QString CurrentSource() const;

private:
    QTextBrowser* m_browser = nullptr;
    bool m_shownBook = false;
};
