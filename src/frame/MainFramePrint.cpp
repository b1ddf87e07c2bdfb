// The main window's print commands: the print command of the menu, the toolbar and Ctrl+P, and the
// command-line print run of start-up. Both run the same print command; only the command-line run reads
// the command line's file and pages.
#include "frame/MainFrame.h"

#include "core/CommandLineInfo.h"
#include "core/Strings.h"
#include "document/FolivantDoc.h"
#include "frame/FrameHost.h"
#include "platform/Platform.h"
#include "platform/PrintBackend.h"
#include "print/PrintModule.h"
#include "print/PrintReport.h"
#include "thumbs/ListViewThumb.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <cstdio>

namespace {

bool IsFailure(CPrintResult::Outcome outcome)
{
    return outcome != CPrintResult::Printed && outcome != CPrintResult::NothingToPrint &&
           outcome != CPrintResult::Cancelled;
}

} // namespace

CPrintResult CMainFrame::RunPrintCommand()
{
    const bool batch = m_commandLineRun && m_commandLine != nullptr && m_commandLine->IsBatch();
    const bool quiet = batch && m_commandLine->IsQuit();

    CPrintRequest request;
    if (batch) {
        request.file = m_commandLine->GetBatchFile();
        request.commandLine = m_commandLine;
    } else if (m_view != nullptr) {
        request.file = m_app.Document().GetPathName();
    }
    request.currentPage = m_strip != nullptr ? std::max(m_strip->GetCurrentPage(), 1) : 1;
    request.quiet = quiet;
    request.parent = this;
    request.setup = &m_app.PrintSetup();
    request.messages = m_platform.messageBox.get();

    QString whyNot;
    IPrintModule* printing = PrintModule(&whyNot);
    const CPrintResult result = printing != nullptr
                                    ? printing->RunPrint(request, *m_platform.print, *m_platform.dialogs)
                                    : PrintUnavailableResult(whyNot);
    if (quiet) {
        // A quiet run has no window to show a message in; scripts read one line and the exit status, and
        // follow an accepted job by its name.
        if (result.outcome == CPrintResult::Printed) {
            std::fprintf(stdout, "%s\n", qPrintable(JobLine(result.printer, result.jobId, result.sheets)));
            std::fflush(stdout);
        } else {
            std::fprintf(stderr, "%s\n",
                         qPrintable(FailureLine(result.message, request.file, result.printer)));
            std::fflush(stderr);
        }
    } else if (IsFailure(result.outcome)) {
        m_platform.messageBox->Show(this, result.message, LoadString(Str::Error), IMessageBox::Stop);
    }
    return result;
}

bool CMainFrame::OnPrint()
{
    return !IsFailure(RunPrintCommand().outcome);
}

ExitStatus CMainFrame::PrintFromCommandLine()
{
    if (m_commandLine != nullptr && !m_commandLine->IsQuit()) {
        // Shown first: the file becomes the document (title, recent files, the first page in the view and
        // the page box, the strip filled for it), then the dialog is offered.
        if (!m_app.OpenDocumentFile(m_commandLine->GetBatchFile())) {
            return ExitStatus::File;
        }
    }
    QScopedValueRollback<bool> commandLineRun(m_commandLineRun, true);
    return StatusOf(RunPrintCommand().outcome);
}
