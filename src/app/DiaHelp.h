#pragma once
// The command-line message window: one message line ("-" when help was asked for) above a read-only
// text box with the command-line help read from the text file beside the program.

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// The command-line help text in the language in use ("FolivantCmndArguments.txt" beside the program),
// read line by line and returned as it is, each line ending in a line feed. False when it cannot be read.
QString CommandLineHelpPath(const QString& programFolder);
bool ReadCommandLineHelp(const QString& path, QString* text);

class CDiaHelp : public QDialog
{
    Q_OBJECT
public:
    explicit CDiaHelp(QString programFolder, QWidget* parent = nullptr);
    void SetMessage(const QString& text);
    QString MessageText() const;
    QString HelpText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();

    QString m_programFolder;
    QString m_messageText = QStringLiteral("-");
    QLabel* m_message = nullptr;
    QPlainTextEdit* m_help = nullptr;
    bool m_initialised = false;
};
