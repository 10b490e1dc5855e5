#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/window/wnd.h"

// Pictures of windows as painted, and pictures kept in files to compare them with.
namespace test_helpers {

// Pixels as COLORREF values (0x00BBGGRR), rows top first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    COLORREF At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    friend bool operator==(const Picture&, const Picture&) = default;
};

// The client area of wnd as it is painted now (pending paints done first).
Picture GrabClientArea(CWnd* wnd);

// The picture with every pixel of colour from set to to: a system colour (the 3D face) made the
// same on every system.
Picture WithColourReplaced(Picture picture, COLORREF from, COLORREF to);

// The top left width x height pixels of picture (no more than it has).
Picture Cropped(const Picture& picture, int width, int height);

// Pictures in files: binary PPM (P6), 8 bits per channel. Write is false when the file could not
// be written; Read gives nothing when there is no such file or it is no such picture.
bool WritePicture(const Picture& picture, const std::string& path);
std::optional<Picture> ReadPicture(const std::string& path);

// Empty when the pictures are equal; otherwise how they differ (sizes, or the first pixels).
std::string DescribeDifferences(const Picture& actual, const Picture& expected);

}  // namespace test_helpers
