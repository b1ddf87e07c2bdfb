#include "TsFile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace i18ntest {

QString TsMessage::Describe() const
{
    QString text = source;
    text.replace(u'\n', QStringLiteral("\\n")).replace(u'\t', QStringLiteral("\\t"));
    return context + QStringLiteral(": \"") + text + u'"';
}

bool TsMessage::IsFinished() const
{
    if (!type.isEmpty() || forms.isEmpty()) {
        return false;
    }
    for (const QString& f : forms) {
        if (f.isEmpty()) {
            return false;
        }
    }
    return true;
}

TsFile ReadTsFile(const QString& path)
{
    TsFile ts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ts.error = QStringLiteral("cannot open ") + path;
        return ts;
    }
    QXmlStreamReader xml(&file);
    QString context;
    TsMessage message;
    bool inMessage = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == u"TS") {
                ts.language = xml.attributes().value(QLatin1String("language")).toString();
                ts.sourceLanguage = xml.attributes().value(QLatin1String("sourcelanguage")).toString();
            } else if (name == u"context") {
                context.clear();
            } else if (name == u"name" && !inMessage) {
                context = xml.readElementText();
            } else if (name == u"message") {
                message = TsMessage{};
                message.context = context;
                message.numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
                inMessage = true;
            } else if (name == u"source" && inMessage) {
                message.source = xml.readElementText();
            } else if (name == u"comment" && inMessage) {
                message.comment = xml.readElementText();
            } else if (name == u"translation" && inMessage) {
                message.type = xml.attributes().value(QLatin1String("type")).toString();
                if (!message.numerus) {
                    message.forms << xml.readElementText();
                }
            } else if (name == u"numerusform" && inMessage) {
                message.forms << xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == u"message") {
            ts.messages.push_back(message);
            inMessage = false;
        }
    }
    if (xml.hasError()) {
        ts.error = path + QStringLiteral(": ") + xml.errorString();
    }
    return ts;
}

QString ScanSources(const QString& folder, QString* log)
{
    const QString out = folder + QStringLiteral("/scan.ts");
    const QString src = QStringLiteral(FOLIVANT_SOURCE_DIR) + QStringLiteral("/src");
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(FOLIVANT_LUPDATE),
                  {QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-no-obsolete"),
                   QStringLiteral("-I"), src, src, QStringLiteral("-ts"), out});
    const bool finished = lupdate.waitForFinished(120000);
    *log = QString::fromLocal8Bit(lupdate.readAll());
    if (!finished || lupdate.exitStatus() != QProcess::NormalExit || lupdate.exitCode() != 0 ||
        !QFile::exists(out)) {
        return {};
    }
    return out;
}

QStringList Placeholders(const QString& text)
{
    static const QRegularExpression kPlaceholder(QStringLiteral("%(%|[sd]|L?[1-9][0-9]?|n)"));
    QStringList found;
    for (auto it = kPlaceholder.globalMatch(text); it.hasNext();) {
        found << it.next().captured(0);
    }
    return found;
}

namespace {
QString WithoutKeyHint(const QString& menuText)
{
    const qsizetype tab = menuText.indexOf(u'\t');
    return tab < 0 ? menuText : menuText.left(tab);
}
} // namespace

int AcceleratorMarks(const QString& menuText)
{
    const QString text = WithoutKeyHint(menuText);
    int marks = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (text.at(i + 1) != u'&') {
                ++marks;
            }
            ++i; // "&&" is one literal ampersand; a marked character is never a mark itself
        }
    }
    return marks;
}

QChar AcceleratorOf(const QString& menuText)
{
    const QString text = WithoutKeyHint(menuText);
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (text.at(i + 1) != u'&') {
                return text.at(i + 1).toLower();
            }
            ++i;
        }
    }
    return {};
}

} // namespace i18ntest
