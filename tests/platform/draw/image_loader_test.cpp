#include "platform/draw/image_loader.h"
#include "platform/draw/qt/bitmap_data.h"
#include "platform/draw/qt/palette_bmp.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <vector>

#include "platform/draw/sys_colors.h"
#include "tests/platform/draw/gui_app.h"

namespace {

void Put16(QByteArray& b, int v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(QByteArray& b, int64_t v) {
    Put16(b, static_cast<int>(v & 0xFFFF));
    Put16(b, static_cast<int>((v >> 16) & 0xFFFF));
}

// A bottom-up 4-bit BMP file; pixels[y][x] are colour indexes, top row first.
QByteArray FourBitBmp(const std::vector<QRgb>& table, const std::vector<std::vector<int>>& pixels) {
    const int h = static_cast<int>(pixels.size());
    const int w = static_cast<int>(pixels[0].size());
    const int stride = ((w * 4 + 31) / 32) * 4;
    const int bitsOffset = 14 + 40 + 4 * static_cast<int>(table.size());
    QByteArray b;
    b.append("BM");
    Put32(b, bitsOffset + stride * h);
    Put32(b, 0);
    Put32(b, bitsOffset);
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h);
    Put16(b, 1);
    Put16(b, 4);
    Put32(b, 0);
    Put32(b, stride * h);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, static_cast<int64_t>(table.size()));
    Put32(b, 0);
    for (QRgb c : table) {
        b.append(static_cast<char>(qBlue(c)));
        b.append(static_cast<char>(qGreen(c)));
        b.append(static_cast<char>(qRed(c)));
        b.append('\0');
    }
    for (int row = h - 1; row >= 0; --row) {
        QByteArray line(stride, '\0');
        for (int x = 0; x < w; ++x) {
            line[x / 2] = static_cast<char>(line[x / 2] | (pixels[row][x] << (x % 2 == 0 ? 4 : 0)));
        }
        b.append(line);
    }
    return b;
}

class ImageLoaderTest : public GuiTest {
  protected:
    // Entries: 0 key, 1 shadow grey, 2 face grey, 3 light grey, 4 red, 5 = key colour again.
    const std::vector<QRgb> table = {qRgb(247, 0, 255),   qRgb(128, 128, 128), qRgb(192, 192, 192),
                                     qRgb(223, 223, 223), qRgb(200, 0, 0),     qRgb(247, 0, 255)};
    const std::vector<std::vector<int>> pixels = {{0, 1, 2}, {3, 4, 5}};
    COLORREF At(const HBITMAP& b, int x, int y) const {
        const QRgb c = b->image.pixel(x, y);
        return RGB(qRed(c), qGreen(c), qBlue(c));
    }
};

TEST_F(ImageLoaderTest, WithoutFlagsTheColoursStayAsStored) {
    HBITMAP b = platform::draw::DecodePaletteBitmap(FourBitBmp(table, pixels), LR_DEFAULTCOLOR);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->image.width(), 3);
    EXPECT_EQ(b->image.height(), 2);
    EXPECT_EQ(b->image.depth(), 32) << "loaded in the screen's format";
    EXPECT_EQ(At(b, 0, 0), RGB(247, 0, 255));
    EXPECT_EQ(At(b, 1, 0), RGB(128, 128, 128));
    EXPECT_EQ(At(b, 1, 1), RGB(200, 0, 0));
}

TEST_F(ImageLoaderTest, Map3DColoursAndTransparentWorkOnTheColourTable) {
    // The first pixel stored is the bottom-left one (index 3, the light grey).
    std::vector<std::vector<int>> keyed = pixels;
    keyed[1][0] = 0;
    HBITMAP b = platform::draw::DecodePaletteBitmap(FourBitBmp(table, keyed),
                                                    LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT);
    ASSERT_TRUE(b);
    EXPECT_EQ(At(b, 0, 0), GetSysColor(COLOR_3DFACE)) << "entry of the first pixel";
    EXPECT_EQ(At(b, 0, 1), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(At(b, 1, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(At(b, 2, 0), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(At(b, 1, 1), RGB(200, 0, 0));
    EXPECT_EQ(At(b, 2, 1), RGB(247, 0, 255)) << "another entry of the same colour stays";

    HBITMAP transparentOnly =
        platform::draw::DecodePaletteBitmap(FourBitBmp(table, keyed), LR_LOADTRANSPARENT);
    ASSERT_TRUE(transparentOnly);
    EXPECT_EQ(At(transparentOnly, 0, 0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(At(transparentOnly, 1, 0), RGB(128, 128, 128));

    HBITMAP light =
        platform::draw::DecodePaletteBitmap(FourBitBmp(table, pixels), LR_LOADMAP3DCOLORS);
    ASSERT_TRUE(light);
    EXPECT_EQ(At(light, 0, 1), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(At(light, 0, 0), RGB(247, 0, 255));
}

TEST_F(ImageLoaderTest, RejectsWhatIsNoUncompressedPaletteBitmap) {
    const QByteArray good = FourBitBmp(table, pixels);
    EXPECT_FALSE(platform::draw::DecodePaletteBitmap(QByteArray(), 0));
    EXPECT_FALSE(platform::draw::DecodePaletteBitmap(good.left(good.size() - 1), 0));
    QByteArray compressed = good;
    compressed[14 + 16] = 2;  // BI_RLE4
    EXPECT_FALSE(platform::draw::DecodePaletteBitmap(compressed, 0));
    QByteArray deep = good;
    deep[14 + 14] = 24;
    EXPECT_FALSE(platform::draw::DecodePaletteBitmap(deep, 0));
    QByteArray badIndex = FourBitBmp(table, {{0, 9, 0}});  // entry 9 beyond the table
    EXPECT_FALSE(platform::draw::DecodePaletteBitmap(badIndex, 0));
    QByteArray hugeOffset = good;
    hugeOffset[10] = static_cast<char>(0xFF);
    hugeOffset[11] = static_cast<char>(0xFF);
    EXPECT_FALSE(platform::draw::DecodePaletteBitmap(hugeOffset, 0));
}

TEST_F(ImageLoaderTest, UnknownResourceGivesAnEmptyHandle) {
    EXPECT_FALSE(LoadImage(AfxGetResourceHandle(), 9999, IMAGE_BITMAP, 0, 0, 0));
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.LoadBitmap(9999));
    EXPECT_FALSE(bitmap);
}

}  // namespace
