// Writes the desktop's icon sizes from the program's icon: its 16 and 32 pixel images enlarged by
// whole factors, pixel for pixel, so the small drawing stays sharp. Build-time tool, not shipped.
//
// Usage: scale_icon <icon.ico> <folder>; writes <folder>/<n>x<n>/apps/sectorsmith.png.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <map>

namespace {

// Each size the desktop asks for, from the icon image it is drawn from.
struct Size {
    int pixels;
    int from;
};
constexpr Size kSizes[] = {{16, 16}, {32, 32}, {48, 16}, {64, 32}, {128, 32}, {256, 32}};

std::map<int, QImage> ImagesBySize(const QString& path) {
    std::map<int, QImage> images;
    QImageReader reader(path);
    const int count = reader.imageCount();
    for (int i = 0; i < count && reader.jumpToImage(i); ++i) {
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (!image.isNull() && image.width() == image.height()) {
            images[image.width()] = image;
        }
    }
    return images;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: scale_icon <icon.ico> <folder>\n");
        return 2;
    }
    const std::map<int, QImage> images = ImagesBySize(QString::fromLocal8Bit(argv[1]));
    for (const Size& size : kSizes) {
        const auto found = images.find(size.from);
        if (found == images.end()) {
            std::fprintf(stderr, "scale_icon: %s has no %d pixel image\n", argv[1], size.from);
            return 1;
        }
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size.pixels);
        const QImage scaled = found->second.scaled(size.pixels, size.pixels, Qt::IgnoreAspectRatio,
                                                   Qt::FastTransformation);
        if (!QDir().mkpath(folder) || !scaled.save(folder + "/sectorsmith.png", "PNG")) {
            std::fprintf(stderr, "scale_icon: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
