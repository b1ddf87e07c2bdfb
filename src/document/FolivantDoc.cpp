#include "document/FolivantDoc.h"

#include "core/Strings.h"

#include <QFile>
#include <QFileInfo>

QString ComposeTitle(const QString& documentPath)
{
    const QString name = documentPath.mid(documentPath.lastIndexOf(u'/') + 1);
    const QString product = ProductText();
    return name.isEmpty() ? u' ' + product : u' ' + name + QStringLiteral(" - ") + product;
}

bool IsTiffFile(const QString& path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = f.read(4);
    if (head.size() < 4) {
        return false;
    }
    const auto b = [&](int i) {
        return static_cast<unsigned char>(head.at(i));
    };
    const unsigned first = b(0) | (b(1) << 8);
    const unsigned second = b(2) | (b(3) << 8);
    return (first == 0x4949 || first == 0x4D4D) && (second == 0x2A00 || second == 0x002A);
}

bool CanOpenForReading(const QString& path)
{
    QFile f(path);
    return QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly);
}
