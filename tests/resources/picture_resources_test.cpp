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

// The file itself; resources_test.cpp checks it as loaded, on every system.
TEST_F(PictureResourcesTest, MeterStripIsAnEightBitPicture) {
    const QByteArray file = FindResourceBytes(ResourceKind::Bitmap, kMeterTiles);
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(static_cast<uint8_t>(file[14 + 14]), 8) << "8 bits per pixel";
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

}  // namespace
