#pragma once
// Where the files the program reads at run time live: the help book, the command-line help texts, the
// logo and the English translation.

#include <QString>

// The build tree keeps them beside the program; an installed program finds them in the architecture-
// independent data folder ../share/folivant next to its bin folder (any prefix, also under a DESTDIR).
// Returns `programFolder` when they lie beside it, else that share folder when it exists, else
// `programFolder` again (the program then runs without them: empty help text, no logo, German).
QString DataFolderFor(const QString& programFolder);
