#pragma once

#include <QMainWindow>

class CCustomCommandLineInfo;

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    void SetCommandLine(CCustomCommandLineInfo* commandLine) { m_commandLine = commandLine; }
    CCustomCommandLineInfo* GetCommandLine() const { return m_commandLine; }

    // " name - Folivant V1.15", or " Folivant V1.15" without a document.
    void UpdateTitle(const QString& documentPath);

private:
    CCustomCommandLineInfo* m_commandLine = nullptr;
};
