// The program's way to printing: the module is loaded from beside the program (a build folder) or from
// the program's library folder (an installation), at the first call.
#include "print/PrintModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#ifndef FOLIVANT_PRINT_MODULE_DIR
#define FOLIVANT_PRINT_MODULE_DIR "../lib/folivant" // the library folder as seen from the program's folder
#endif

namespace {

struct Loaded
{
    IPrintModule* module = nullptr;
    QString whyNot;
};

Loaded Load()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral("folivant-print.so");
    QString path = programDir.filePath(name);
    if (!QFileInfo::exists(path)) {
        path = QDir::cleanPath(programDir.filePath(QStringLiteral(FOLIVANT_PRINT_MODULE_DIR "/") + name));
    }
    // Every symbol is resolved at once, so a module that does not fit the program fails here, not halfway
    // through a print run. The module stays loaded until the program ends.
    QLibrary library(path);
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    Loaded loaded;
    using Entry = IPrintModule* (*)();
    if (!library.load()) {
        loaded.whyNot = library.errorString();
    } else if (auto entry = reinterpret_cast<Entry>(library.resolve(kPrintModuleEntry))) {
        loaded.module = entry();
    } else {
        loaded.whyNot = library.errorString();
    }
    return loaded;
}

} // namespace

IPrintModule* PrintModule(QString* whyNot)
{
    static const Loaded loaded = Load();
    if (loaded.module == nullptr && whyNot != nullptr) {
        *whyNot = loaded.whyNot;
    }
    return loaded.module;
}
