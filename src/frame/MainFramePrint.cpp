// The main window's print commands. Printing itself is being written in print/; until it lands the
// commands report that nothing was printed.
#include "frame/MainFrame.h"

bool CMainFrame::OnPrint() { return false; }

bool CMainFrame::PrintFromCommandLine() { return OnPrint(); }
