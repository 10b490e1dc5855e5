#include "platform/draw/qt/resource_lookup.h"

#include <QFile>
#include <QString>

namespace platform::draw {

QByteArray FindResourceBytes(ResourceKind kind, unsigned id) {
    const QString path = kind == ResourceKind::Bitmap
                             ? QStringLiteral(":/resources/bitmap/%1.bmp").arg(id)
                             : QStringLiteral(":/resources/icon/%1.ico").arg(id);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

}  // namespace platform::draw
