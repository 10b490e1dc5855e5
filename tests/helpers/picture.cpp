#include "tests/helpers/picture.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace test_helpers {

Picture WithColourReplaced(Picture picture, COLORREF from, COLORREF to) {
    for (COLORREF& pixel : picture.pixels) {
        if (pixel == from) {
            pixel = to;
        }
    }
    return picture;
}

Picture Cropped(const Picture& picture, int width, int height) {
    Picture part;
    part.width = std::min(width, picture.width);
    part.height = std::min(height, picture.height);
    for (int y = 0; y < part.height; ++y) {
        for (int x = 0; x < part.width; ++x) {
            part.pixels.push_back(picture.At(x, y));
        }
    }
    return part;
}

bool WritePicture(const Picture& picture, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
    for (COLORREF pixel : picture.pixels) {
        const char rgb[3] = {static_cast<char>(GetRValue(pixel)),
                             static_cast<char>(GetGValue(pixel)),
                             static_cast<char>(GetBValue(pixel))};
        out.write(rgb, 3);
    }
    return static_cast<bool>(out);
}

std::optional<Picture> ReadPicture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    Picture picture;
    int maxValue = 0;
    if (!(in >> magic >> picture.width >> picture.height >> maxValue) || magic != "P6" ||
        maxValue != 255 || picture.width <= 0 || picture.height <= 0) {
        return std::nullopt;
    }
    in.get();  // the one blank after the header
    const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
    std::vector<unsigned char> bytes(count * 3);
    if (!in.read(reinterpret_cast<char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()))) {
        return std::nullopt;
    }
    picture.pixels.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        picture.pixels.push_back(RGB(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]));
    }
    return picture;
}

std::string DescribeDifferences(const Picture& actual, const Picture& expected) {
    std::ostringstream out;
    if (actual.width != expected.width || actual.height != expected.height) {
        out << actual.width << "x" << actual.height << " instead of " << expected.width << "x"
            << expected.height;
        return out.str();
    }
    int differing = 0;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (actual.At(x, y) == expected.At(x, y)) {
                continue;
            }
            if (++differing <= 5) {
                char line[96];
                std::snprintf(line, sizeof line, "(%d,%d): %06lX instead of %06lX; ", x, y,
                              static_cast<unsigned long>(actual.At(x, y)),
                              static_cast<unsigned long>(expected.At(x, y)));
                out << line;
            }
        }
    }
    if (differing > 0) {
        out << differing << " pixels differ";
    }
    return out.str();
}

}  // namespace test_helpers
