#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <set>

#include "platform/draw/bitmap.h"
#include "platform/draw/dc.h"
#include "platform/draw/icon.h"
#include "platform/draw/image_loader.h"
#include "platform/draw/qt/bitmap_data.h"
#include "platform/draw/qt/icon_data.h"
#include "platform/draw/qt/palette_bmp.h"
#include "platform/draw/qt/resource_lookup.h"
#include "platform/draw/sys_colors.h"
#include "tests/platform/draw/gui_app.h"
#include "widgets/progress_meter_strip.h"

namespace {

// Resource ids of the program's pictures.
constexpr int kBusyLamp = 130;
constexpr int kReadyLamp = 131;
constexpr int kMeterTiles = 132;
constexpr int kAppIcon = 128;

using platform::draw::FindResourceBytes;
using platform::draw::ParseBmpFile;
using platform::draw::ResourceKind;

const bool kApp = RegisterQtApp<QGuiApplication>();

using PictureResourcesTest = ::testing::Test;

// The raw file: depth and size as stored, key colour in the four corners of both frames.
TEST_F(PictureResourcesTest, LampFilesArePaletteBitmapsWithKeyedCorners) {
    for (int id : {kBusyLamp, kReadyLamp}) {
        const QByteArray file = FindResourceBytes(ResourceKind::Bitmap, id);
        ASSERT_FALSE(file.isEmpty()) << id;
        EXPECT_EQ(static_cast<uint8_t>(file[14 + 14]), 4) << "4 bits per pixel";
        const auto dib = ParseBmpFile(file);
        ASSERT_TRUE(dib) << id;
        EXPECT_EQ(dib->width, 30);
        EXPECT_EQ(dib->height, 15);
        EXPECT_LE(dib->colours.size(), 16u);
        const QRgb key = qRgb(247, 0, 255);
        EXPECT_EQ(dib->colours[dib->firstPixel], key);
        for (int x : {0, 14, 15, 29}) {
            for (int y : {0, 14}) {
                EXPECT_EQ(dib->colours[dib->indices[y * 30 + x]], key) << x << "," << y;
            }
        }
        for (QRgb c : dib->colours) {
            const QRgb rgb = c & 0xFFFFFF;
            EXPECT_TRUE(rgb != 0x808080 && rgb != 0xC0C0C0 && rgb != 0xDFDFDF)
                << "no colour the 3D mapping would change";
        }
    }
}

TEST_F(PictureResourcesTest, LampsLoadWithTheKeyOnTheFaceColourAndShowTheirColours) {
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    for (int id : {kBusyLamp, kReadyLamp}) {
        HBITMAP lamp = LoadImage(AfxGetResourceHandle(), id, IMAGE_BITMAP, 0, 0,
                                 LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT);
        ASSERT_TRUE(lamp) << id;
        const QImage& image = lamp->image;
        ASSERT_EQ(image.size(), QSize(30, 15));
        auto at = [&](int x, int y) {
            const QRgb c = image.pixel(x, y);
            return RGB(qRed(c), qGreen(c), qBlue(c));
        };
        EXPECT_EQ(at(0, 0), face);
        EXPECT_EQ(at(29, 14), face);
        EXPECT_EQ(at(15, 0), face);
        // Frame 0's centre is grey; frame 1's is red (130) or green (131).
        const QRgb unlit = image.pixel(7, 7);
        EXPECT_EQ(qRed(unlit), qGreen(unlit));
        EXPECT_EQ(qGreen(unlit), qBlue(unlit));
        const QRgb lit = image.pixel(15 + 8, 8);
        if (id == kBusyLamp) {
            EXPECT_GT(qRed(lit), 2 * qGreen(lit));
        } else {
            EXPECT_GT(qGreen(lit), 2 * qRed(lit));
        }
        // The light spot at the upper left is brighter than the lower right.
        EXPECT_GT(qGray(image.pixel(15 + 5, 5)), qGray(image.pixel(15 + 10, 10)));
    }
}

TEST_F(PictureResourcesTest, MeterStripIsAnEightBitPictureOfTheBuiltInStrip) {
    const QByteArray file = FindResourceBytes(ResourceKind::Bitmap, kMeterTiles);
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(static_cast<uint8_t>(file[14 + 14]), 8) << "8 bits per pixel";

    CBitmap tiles;
    ASSERT_TRUE(tiles.LoadBitmap(kMeterTiles));
    BITMAP bm;
    ASSERT_TRUE(tiles.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 90);
    EXPECT_EQ(bm.bmHeight, 16);
    EXPECT_EQ(bm.bmBitsPixel, 32) << "loaded in the screen's depth";

    std::vector<uint8_t> bits(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
    ASSERT_EQ(tiles.GetBitmapBits(static_cast<uint32_t>(bits.size()), bits.data()), bits.size());
    const auto& builtIn = meter::BuiltInStripBits();
    ASSERT_EQ(bits.size(), builtIn.size());
    for (size_t i = 0; i < bits.size(); ++i) {
        ASSERT_NEAR(bits[i], builtIn[i], 2) << "pixel " << i / 4 % 90 << "," << i / 360;
    }
}

TEST_F(PictureResourcesTest, IconHasBothSizesWithTransparentSurroundings) {
    HICON icon = LoadIconResource(kAppIcon);
    ASSERT_TRUE(icon);
    ASSERT_EQ(icon->images.size(), 2u);
    EXPECT_EQ(icon->images[0].size(), QSize(32, 32));
    EXPECT_EQ(icon->images[1].size(), QSize(16, 16));
    for (const QImage& image : icon->images) {
        const int s = image.width();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "corner is transparent";
        EXPECT_EQ(qAlpha(image.pixel(s / 2, s * 3 / 4)), 255) << "the drive is opaque";
        std::set<QRgb> colours;
        for (int y = 0; y < s; ++y) {
            for (int x = 0; x < s; ++x) {
                if (qAlpha(image.pixel(x, y)) != 0) {
                    colours.insert(image.pixel(x, y));
                }
            }
        }
        EXPECT_GE(colours.size(), 4u) << "a picture, not a blot";
        EXPECT_LE(colours.size(), 16u);
    }
    EXPECT_EQ(IconImage(icon, 16).size(), QSize(16, 16));
    EXPECT_FALSE(ToQIcon(icon).isNull());
    EXPECT_FALSE(LoadIconResource(1));
}

TEST_F(PictureResourcesTest, DrawIconPaintsTheLargeImageOverWhatIsThere) {
    HICON icon = LoadIconResource(kAppIcon);
    ASSERT_TRUE(icon);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap canvas;
    ASSERT_TRUE(canvas.CreateCompatibleBitmap(&dc, 40, 40));
    CBitmap* previous = dc.SelectObject(&canvas);
    dc.FillSolidRect(0, 0, 40, 40, RGB(1, 2, 3));
    ASSERT_TRUE(dc.DrawIcon(4, 4, icon));
    EXPECT_EQ(dc.GetPixel(4, 4), RGB(1, 2, 3)) << "transparent corner";
    const QRgb drive = icon->images[0].pixel(16, 24);
    EXPECT_EQ(dc.GetPixel(4 + 16, 4 + 24), RGB(qRed(drive), qGreen(drive), qBlue(drive)));
    EXPECT_EQ(dc.GetPixel(37, 37), RGB(1, 2, 3)) << "nothing beyond 32 x 32";
    EXPECT_FALSE(dc.DrawIcon(0, 0, HICON{}));
    dc.SelectObject(previous);
}

}  // namespace
