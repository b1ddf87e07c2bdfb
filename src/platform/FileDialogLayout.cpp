// Qt's own file dialog at a size that shows its columns. Qt opens it small and sizes the size, type and
// date columns to the bare width of sample texts ("128.88 GB", "mp3Folder", an English date), so sizes
// ("50,5 KiB"), types ("TIFF image") and dates are cut, while the last column takes whatever is left.
#include "platform/Platform.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace {

enum Column
{
    Name = 0,
    Size = 1,
    Type = 2,
    Date = 3,
};

// Before the folder is listed: wide enough for the usual texts of each column (sizes and dates as the
// model writes them, the type of a TIFF file in German and English) and for the header's own label.
void FitToSamples(QTreeView& view)
{
    // The file system model writes sizes and dates in the system's locale.
    const QLocale locale = QLocale::system();
    const QString samples[] = {
        {},
        locale.formattedDataSize(1023 * 1024 + 922), // 1023.9 KiB
        QStringLiteral("TIFF-Bild, TIFF image"),
        locale.toString(QDateTime(QDate(2028, 12, 28), QTime(23, 58)), QLocale::ShortFormat),
    };
    const QFontMetrics fm(view.font());
    QHeaderView* header = view.header();
    for (const int c : {Size, Type, Date}) {
        header->resizeSection(c, std::max(header->sectionSizeHint(c),
                                          fm.horizontalAdvance(samples[c]) + 2 * fm.averageCharWidth()));
    }
}

// Once the folder is listed: as wide as what its files show, so the name keeps the rest.
void FitToContents(QTreeView& view)
{
    for (const int c : {Size, Type, Date}) {
        view.resizeColumnToContents(c);
    }
}

} // namespace

void PrepareFileDialog(QFileDialog& dialog, QSize size)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);

    // The room a window manager's frame takes around the dialog is left free on the screen.
    const QWidget* owner = dialog.parentWidget();
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    }
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));

    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr) {
        return;
    }
    // The name takes the width the other columns leave, also when the dialog is resized.
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(Name, QHeaderView::Stretch);
    FitToSamples(*view);
    if (auto* model = dialog.findChild<QFileSystemModel*>()) {
        QObject::connect(model, &QFileSystemModel::directoryLoaded, view, [view] { FitToContents(*view); });
    }
}
