// The print module's one entry: the program looks it up by name once the module is loaded.
#include "print/PrintModule.h"

extern "C" Q_DECL_EXPORT IPrintModule* folivant_print_module()
{
    return &LinkedPrintModule();
}
