// Tile preparation and painting: pixels of the back buffer and the tiles each paint draws.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <set>

#include "platform/draw/qt/bitmap_data.h"
#include "tests/helpers/window_probe.h"
#include "tests/widgets/meter_window_fixture.h"
#include "tests/widgets/progress_meter_probe.h"
#include "widgets/progress_meter_strip.h"

namespace {

using Tile = ProgressMeterProbe::Tile;
using ProgressMeterPaintTest = MeterWindowFixture;

uint32_t Rgb(const CBitmap* bitmap, int x, int y) {
    return platform::draw::ImageOf(*bitmap)->pixel(x, y) & 0xFFFFFF;
}

uint32_t Groove(int row) {
    return meter::StripGrooveRow(row);
}
uint32_t Body(int row) {
    return meter::StripBodyRow(row);
}

bool Has(const std::vector<Tile>& tiles, int tile, int offset) {
    return std::find(tiles.begin(), tiles.end(), Tile{tile, offset}) != tiles.end();
}

int Count(const std::vector<Tile>& tiles, int tile) {
    return static_cast<int>(
        std::count_if(tiles.begin(), tiles.end(), [&](const Tile& t) { return t.tile == tile; }));
}

// The built-in strip as a bitmap of another depth: 8 bits per pixel with a palette.
QImage IndexedStrip() {
    QImage rgb(meter::BuiltInStripBits().data(), meter::kStripWidth, meter::kStripHeight,
               meter::kStripBytesPerRow, QImage::Format_RGB32);
    return rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

std::unique_ptr<CBitmap> AttachImage(const QImage& image) {
    auto bitmap = std::make_unique<CBitmap>();
    bitmap->Attach(std::make_shared<BitmapData>(BitmapData{image}));
    return bitmap;
}

TEST_F(ProgressMeterPaintTest, FullPictureCoversTheTrackWithTilesEveryTenPixels) {
    auto meter = MakeMeter();
    meter->SetPos(450, false);
    ProgressMeterProbe probe(*meter);
    probe.ForgetPicture();
    Paint(*meter);
    const auto& drawn = probe.drawn;
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(probe.PosPx(), 136);
    EXPECT_TRUE(Has(drawn, 0, 0));
    EXPECT_TRUE(Has(drawn, 8, 290));
    EXPECT_TRUE(Has(drawn, 2, 0));
    EXPECT_TRUE(Has(drawn, 5, 136));
    EXPECT_TRUE(Has(drawn, 3, 68));
    EXPECT_TRUE(Has(drawn, 6, 146));
    EXPECT_EQ(Count(drawn, 1), 0);
    for (int p = 10; p <= 280; p += 10) {
        EXPECT_TRUE(Has(drawn, p <= 130 ? 4 : 7, p)) << p;
    }
    // The caps come last, so they lie on top.
    EXPECT_EQ(drawn.back(), (Tile{5, 136}));
    EXPECT_EQ(drawn[drawn.size() - 2], (Tile{2, 0}));

    const CBitmap* picture = probe.BackBuffer();
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(platform::draw::ImageOf(*picture)->width(), 300);
    ASSERT_EQ(platform::draw::ImageOf(*picture)->height(), 16);
    EXPECT_EQ(Rgb(picture, 100, 1), Body(1));    // body
    EXPECT_EQ(Rgb(picture, 100, 14), Body(14));  // its shadow line
    EXPECT_EQ(Rgb(picture, 141, 1), Body(1));    // end cap, blue up to column 5
    EXPECT_EQ(Rgb(picture, 143, 7), Body(7));    // ... and 7
    EXPECT_EQ(Rgb(picture, 150, 1), Groove(1));  // groove after the bar
    EXPECT_EQ(Rgb(picture, 299, 12), Groove(12));
    EXPECT_EQ(Rgb(picture, 0, 7), Groove(7));  // the start cap's rounded end
    EXPECT_EQ(Rgb(picture, 1, 7), Body(7));
}

TEST_F(ProgressMeterPaintTest, ScreenShowsTheBackBufferInsideTheEdge) {
    auto meter = MakeMeter();
    meter->SetPos(450, true);
    Paint(*meter);
    meter->SetPos(700, true);
    Paint(*meter);
    ProgressMeterProbe probe(*meter);
    const QImage screen = test_helpers::GrabWindow(meter.get());
    ASSERT_EQ(screen.size(), QSize(302, 18));
    const QImage& picture = *platform::draw::ImageOf(*probe.BackBuffer());
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            ASSERT_EQ(screen.pixel(x + 1, y + 1) & 0xFFFFFF, picture.pixel(x, y) & 0xFFFFFF)
                << x << "," << y;
        }
    }
}

TEST_F(ProgressMeterPaintTest, PositionZeroAndUpperBound) {
    auto meter = MakeMeter();
    ProgressMeterProbe probe(*meter);
    probe.ForgetPicture();
    Paint(*meter);
    EXPECT_TRUE(Has(probe.drawn, 2, 0));
    EXPECT_TRUE(Has(probe.drawn, 5, 10));
    EXPECT_TRUE(Has(probe.drawn, 6, 20));

    meter->SetPos(1000, false);
    probe.ForgetPicture();
    probe.drawn.clear();
    Paint(*meter);
    EXPECT_TRUE(Has(probe.drawn, 5, 290));
    EXPECT_EQ(Count(probe.drawn, 6), 0);
    EXPECT_EQ(Count(probe.drawn, 7), 0);
    EXPECT_EQ(Rgb(probe.BackBuffer(), 280, 1), Body(1));
}

TEST_F(ProgressMeterPaintTest, SmallStepRedrawsOnlyWhatItTouches) {
    auto meter = MakeMeter();
    meter->SetPos(450, true);
    Paint(*meter);
    ProgressMeterProbe probe(*meter);
    meter->SetPos(460, true);  // end cap 136 -> 138
    Paint(*meter);
    EXPECT_EQ(probe.drawn, (std::vector<Tile>{{4, 136}, {3, 69}, {6, 148}, {5, 138}}));

    // Unchanged geometry: nothing to draw, the picture stays.
    probe.drawn.clear();
    Paint(*meter);
    EXPECT_TRUE(probe.drawn.empty());
    EXPECT_EQ(Rgb(probe.BackBuffer(), 100, 1), Body(1));
}

TEST_F(ProgressMeterPaintTest, ReversedBarMovesItsStartCap) {
    auto meter = MakeMeter(1000, 2, nullptr, nullptr, true);
    meter->SetPos(450, true);
    Paint(*meter);
    ProgressMeterProbe probe(*meter);
    EXPECT_EQ(probe.StartPx(), 154);
    EXPECT_EQ(probe.PosPx(), 290);
    meter->SetPos(460, true);  // start cap 154 -> 152, end cap stays at the far end
    Paint(*meter);
    EXPECT_EQ(probe.drawn, (std::vector<Tile>{{4, 154}, {3, 221}, {1, 142}, {2, 152}}));
    EXPECT_EQ(Rgb(probe.BackBuffer(), 150, 1), Groove(1));
    EXPECT_EQ(Rgb(probe.BackBuffer(), 156, 1), Body(1));
    EXPECT_EQ(Rgb(probe.BackBuffer(), 295, 1), Body(1));
}

TEST_F(ProgressMeterPaintTest, MovingBackRedrawsTheTrack) {
    auto meter = MakeMeter();
    meter->SetPos(450, true);
    Paint(*meter);
    ProgressMeterProbe probe(*meter);
    meter->SetPos(200, true);  // end cap 136 -> 66
    Paint(*meter);
    const auto& drawn = probe.drawn;
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), (Tile{7, 136}));
    for (int p = 70; p <= 130; p += 10) {
        EXPECT_TRUE(Has(drawn, 7, p)) << p;
    }
    EXPECT_EQ(drawn.back(), (Tile{5, 66}));
    EXPECT_EQ(Rgb(probe.BackBuffer(), 100, 1), Groove(1));
    EXPECT_EQ(Rgb(probe.BackBuffer(), 60, 1), Body(1));
}

TEST_F(ProgressMeterPaintTest, OldMiddleMarkerStaysWhereNothingCoversIt) {
    // A strip whose middle marker (tile 3) is red.
    QImage strip(meter::BuiltInStripBits().data(), meter::kStripWidth, meter::kStripHeight,
                 meter::kStripBytesPerRow, QImage::Format_RGB32);
    strip = strip.copy();
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 30; x < 40; ++x) {
            strip.setPixel(x, y, qRgb(255, 0, 0));
        }
    }
    auto tiles = AttachImage(strip);
    auto meter = MakeMeter(1000, 2, nullptr, tiles.get());
    meter->SetPos(450, true);
    Paint(*meter);  // marker at 68
    meter->SetPos(460, true);
    Paint(*meter);  // marker at 69
    ProgressMeterProbe probe(*meter);
    EXPECT_EQ(Rgb(probe.BackBuffer(), 68, 5), 0xFF0000u);
    EXPECT_EQ(Rgb(probe.BackBuffer(), 78, 5), 0xFF0000u);
    EXPECT_EQ(Rgb(probe.BackBuffer(), 79, 5), Body(5));
}

TEST_F(ProgressMeterPaintTest, VerticalMeterDrawsTransposedTilesDownwards) {
    MakeAnchor(16, 300);
    auto meter = MakeMeter();
    ProgressMeterProbe probe(*meter);
    EXPECT_TRUE(probe.Vertical());
    EXPECT_EQ(probe.TileWidth(), 16);
    EXPECT_EQ(probe.TileHeight(), 10);
    ASSERT_NE(probe.TileList(), nullptr);
    EXPECT_EQ(probe.TileList()->GetImageCount(), 9);
    meter->SetPos(450, false);
    probe.ForgetPicture();
    Paint(*meter);
    EXPECT_TRUE(Has(probe.drawn, 5, 136));
    const CBitmap* picture = probe.BackBuffer();
    ASSERT_EQ(platform::draw::ImageOf(*picture)->width(), 16);
    ASSERT_EQ(platform::draw::ImageOf(*picture)->height(), 300);
    // Strip row r becomes column r; the bar's length runs down.
    EXPECT_EQ(Rgb(picture, 1, 100), Body(1));
    EXPECT_EQ(Rgb(picture, 14, 100), Body(14));
    EXPECT_EQ(Rgb(picture, 1, 200), Groove(1));
    EXPECT_EQ(Rgb(picture, 12, 299), Groove(12));
    EXPECT_EQ(Rgb(picture, 7, 0), Groove(7));
    EXPECT_EQ(Rgb(picture, 7, 1), Body(7));
}

TEST_F(ProgressMeterPaintTest, TilesAreStretchedToTheClientThickness) {
    MakeAnchor(300, 32);
    auto meter = MakeMeter();
    ProgressMeterProbe probe(*meter);
    EXPECT_EQ(probe.TileWidth(), 10);
    EXPECT_EQ(probe.TileHeight(), 32);
    EXPECT_EQ(probe.TileList()->GetIconSize(), CSize(10, 32));
    meter->SetPos(500, false);
    probe.ForgetPicture();
    Paint(*meter);
    // Doubled in height: the strip's equal rows 3 and 4 fill rows 6 to 9, rows 10 and 11 fill
    // rows 20 to 23 (halftone blends only across rows that differ).
    EXPECT_EQ(Rgb(probe.BackBuffer(), 200, 8), Groove(3));
    EXPECT_EQ(Rgb(probe.BackBuffer(), 200, 21), Groove(10));
    EXPECT_EQ(Rgb(probe.BackBuffer(), 100, 8), Body(3));
    EXPECT_EQ(Rgb(probe.BackBuffer(), 5, 0), Groove(0));
}

TEST_F(ProgressMeterPaintTest, StripInScreenDepthIsCopiedUnchanged) {
    QImage strip(meter::BuiltInStripBits().data(), meter::kStripWidth, meter::kStripHeight,
                 meter::kStripBytesPerRow, QImage::Format_RGB32);
    strip = strip.copy();
    strip.setPixel(4, 4, qRgb(1, 2, 3));
    auto tiles = AttachImage(strip);
    auto meter = MakeMeter(1000, 2, nullptr, tiles.get());
    ProgressMeterProbe probe(*meter);
    const CBitmap* screen = probe.ScreenBitmap();
    ASSERT_TRUE(*screen);
    EXPECT_NE(screen->GetSafeHandle(), tiles->GetSafeHandle());
    EXPECT_EQ(*platform::draw::ImageOf(*screen), strip);
}

TEST_F(ProgressMeterPaintTest, EightBitStripIsConvertedOnceAtPreparation) {
    auto tiles = AttachImage(IndexedStrip());
    BITMAP bm;
    ASSERT_NE(tiles->GetBitmap(&bm), 0);
    ASSERT_EQ(bm.bmBitsPixel, 8);
    auto meter = MakeMeter(1000, 2, nullptr, tiles.get());
    ProgressMeterProbe probe(*meter);
    ASSERT_NE(probe.ScreenBitmap()->GetBitmap(&bm), 0);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(Rgb(probe.ScreenBitmap(), 40, 1), Body(1));
    EXPECT_EQ(Rgb(probe.ScreenBitmap(), 0, 12), Groove(12));
    // Painting uses the prepared tiles and never converts again.
    const HBITMAP prepared = probe.ScreenBitmap()->GetSafeHandle();
    meter->SetPos(450, true);
    Paint(*meter);
    meter->SetPos(600, true);
    Paint(*meter);
    EXPECT_EQ(probe.ScreenBitmap()->GetSafeHandle(), prepared);
    EXPECT_EQ(Rgb(probe.BackBuffer(), 100, 1), Body(1));
}

TEST_F(ProgressMeterPaintTest, TwentyFourBitStripKeepsItsRowsWhenConverted) {
    // 90 pixels of 3 bytes: device rows of 270 bytes, device-independent rows of 272.
    QImage rgb(meter::BuiltInStripBits().data(), meter::kStripWidth, meter::kStripHeight,
               meter::kStripBytesPerRow, QImage::Format_RGB32);
    auto tiles = AttachImage(rgb.convertToFormat(QImage::Format_BGR888));
    BITMAP bm;
    ASSERT_NE(tiles->GetBitmap(&bm), 0);
    ASSERT_EQ(bm.bmBitsPixel, 24);
    auto meter = MakeMeter(1000, 2, nullptr, tiles.get());
    ProgressMeterProbe probe(*meter);
    const QImage& screen = *platform::draw::ImageOf(*probe.ScreenBitmap());
    ASSERT_EQ(screen.size(), rgb.size());
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            ASSERT_EQ(screen.pixel(x, y) & 0xFFFFFF, rgb.pixel(x, y) & 0xFFFFFF) << x << "," << y;
        }
    }
}

TEST_F(ProgressMeterPaintTest, Bitmap132ShowsTheBuiltInPicture) {
    CBitmap tiles;
    ASSERT_TRUE(tiles.LoadBitmap(132));
    const QImage& loaded = *platform::draw::ImageOf(tiles);
    ASSERT_EQ(loaded.size(), QSize(meter::kStripWidth, meter::kStripHeight));
    const auto& bits = meter::BuiltInStripBits();
    for (int y = 0; y < meter::kStripHeight; ++y) {
        for (int x = 0; x < meter::kStripWidth; ++x) {
            const uint8_t* builtIn = &bits[y * meter::kStripBytesPerRow + x * 4];
            const QRgb c = loaded.pixel(x, y);
            ASSERT_LE(std::abs(qBlue(c) - builtIn[0]), 2) << x << "," << y;
            ASSERT_LE(std::abs(qGreen(c) - builtIn[1]), 2) << x << "," << y;
            ASSERT_LE(std::abs(qRed(c) - builtIn[2]), 2) << x << "," << y;
        }
    }
    auto meter = MakeMeter(1000, 2, nullptr, &tiles);
    ProgressMeterProbe probe(*meter);
    EXPECT_EQ(probe.TileList()->GetImageCount(), 9);
}

TEST_F(ProgressMeterPaintTest, EmptyTileObjectFallsBackToTheBuiltInStrip) {
    CBitmap empty;
    auto meter = MakeMeter(1000, 2, nullptr, &empty);
    ProgressMeterProbe probe(*meter);
    EXPECT_EQ(probe.TileWidth(), 10);
    EXPECT_EQ(Rgb(probe.ScreenBitmap(), 40, 1), Body(1));
}

TEST_F(ProgressMeterPaintTest, StripNarrowerThanNineTilesPaintsNothing) {
    auto tiles = AttachImage(QImage(8, 16, QImage::Format_RGB32));
    auto meter = MakeMeter(1000, 2, nullptr, tiles.get());
    ProgressMeterProbe probe(*meter);
    EXPECT_EQ(probe.TileWidth(), 0);
    // Initialisation stopped at the tiles; painting must neither divide by zero nor loop.
    Paint(*meter);
    EXPECT_TRUE(probe.drawn.empty());
}

}  // namespace
