#include "core/DataFolder.h"

#include <QDir>
#include <QFileInfo>

namespace {
// Any one of them marks a data folder: a half-installed set is still better found than not at all.
bool HoldsDataFiles(const QString& folder)
{
    for (const char* name : {"FolivantCmndArguments.txt", "FolivantCmndArgumentsEng.txt", "FolivantLogo.bmp",
                             "FolivantEng.qm"}) {
        if (QFileInfo::exists(folder + u'/' + QLatin1String(name))) {
            return true;
        }
    }
    return false;
}
} // namespace

QString DataFolderFor(const QString& programFolder)
{
    if (HoldsDataFiles(programFolder)) {
        return programFolder;
    }
    const QString shared = QDir::cleanPath(programFolder + QStringLiteral("/../share/folivant"));
    if (QFileInfo(shared).isDir()) {
        return shared;
    }
    return programFolder;
}
