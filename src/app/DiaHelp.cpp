#include "app/DiaHelp.h"

#include "core/Strings.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextStream>

CDiaHelp::CDiaHelp(QString programFolder, QWidget* parent)
    : QDialog(parent), m_programFolder(std::move(programFolder))
{
    setWindowTitle(tr("Kommandozeilen-Parameter Folivant"));
    auto* caption = new QLabel(tr("Meldung:"), this);
    m_message = new QLabel(m_messageText, this);
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_help = new QPlainTextEdit(this);
    m_help->setObjectName(QStringLiteral("helpText"));
    m_help->setReadOnly(true);
    m_help->setAccessibleName(windowTitle()); // the box holds the parameters the title names
    m_help->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = m_help->font();
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFamily(QStringLiteral("Monospace"));
    m_help->setFont(mono);
    auto* close = new QPushButton(tr("Schliessen"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QGridLayout(this);
    layout->addWidget(caption, 0, 0);
    layout->addWidget(m_message, 0, 1);
    layout->addWidget(m_help, 1, 0, 1, 2);
    layout->addWidget(close, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setColumnStretch(1, 1);
    resize(720, 420);
    OnInitDialog();
}

void CDiaHelp::SetMessage(const QString& text)
{
    m_messageText = text;
    m_message->setText(text);
}

QString CDiaHelp::MessageText() const
{
    return m_message->text();
}
QString CDiaHelp::HelpText() const
{
    return m_help->toPlainText();
}

QString CommandLineHelpPath(const QString& programFolder)
{
    return programFolder + u'/' + LoadString(Str::CmdArgumentsFile);
}

bool ReadCommandLineHelp(const QString& path, QString* text)
{
    text->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        *text += in.readLine() + u'\n';
    }
    return true;
}

void CDiaHelp::OnInitDialog()
{
    // A missing or unreadable file leaves the box empty.
    QString text;
    ReadCommandLineHelp(CommandLineHelpPath(m_programFolder), &text);
    m_help->setPlainText(text);
    m_message->setText(m_messageText);
}

void CDiaHelp::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_message->setText(m_messageText);
}
