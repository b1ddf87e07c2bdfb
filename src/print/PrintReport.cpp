#include "print/PrintReport.h"

#include "core/Strings.h"

#include <QStringList>

ExitStatus StatusOf(CPrintResult::Outcome outcome)
{
    switch (outcome) {
    case CPrintResult::Printed:
        return ExitStatus::Ok;
    case CPrintResult::Unreadable:
        return ExitStatus::File;
    case CPrintResult::NoPage:
        return ExitStatus::NoPage;
    case CPrintResult::NoPrinter:
        return ExitStatus::NoPrinter;
    case CPrintResult::Refused:
        return ExitStatus::Refused;
    case CPrintResult::NothingToPrint:
    case CPrintResult::Cancelled:
    case CPrintResult::Failed:
        break;
    }
    return ExitStatus::Failure;
}

QString FailureLine(const QString& message, const QString& file, const QString& printer)
{
    QString line = message.trimmed();
    line.replace(u'\n', u' ');
    QStringList context;
    // Quoted as the message quotes them, so "Datei '/a/b.tif'" in the message counts as naming it.
    if (!file.isEmpty() && !line.contains(u'\'' + file + u'\'')) {
        context << FormatString(Str::PrintReportFile, {file});
    }
    if (!printer.isEmpty() && !line.contains(u'\'' + printer + u'\'') &&
        !line.contains(u'"' + printer + u'"')) {
        context << FormatString(Str::PrintReportPrinter, {printer});
    }
    if (!context.isEmpty()) {
        line += QStringLiteral(" (") + context.join(QStringLiteral(", ")) + u')';
    }
    return QStringLiteral("folivant: ") + line;
}

QString JobLine(const QString& printer, int jobId, int pages)
{
    // CUPS queues jobs on the printer, not on an instance "name/instance" of it.
    return QStringLiteral("folivant: job %1-%2, %3 pages")
        .arg(printer.section(u'/', 0, 0))
        .arg(jobId)
        .arg(pages);
}
