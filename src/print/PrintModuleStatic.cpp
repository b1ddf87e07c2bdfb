// For tools and tests that link printing in: the module's functions are already there.
#include "print/PrintModule.h"

IPrintModule* PrintModule(QString*)
{
    return &LinkedPrintModule();
}
