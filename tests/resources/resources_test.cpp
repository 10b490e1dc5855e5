// The program's pictures as the drawing services load them, and its version block: on every
// system, from the same files.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/draw/bitmap.h"
#include "platform/draw/dc.h"
#include "platform/draw/icon.h"
#include "platform/draw/image_loader.h"
#include "platform/draw/sys_colors.h"
#include "resources/resource_ids.h"
#include "resources/version_info.h"
#include "widgets/progress_meter_strip.h"

namespace {

int Grey(COLORREF c) {
    return (GetRValue(c) * 11 + GetGValue(c) * 16 + GetBValue(c) * 5) / 32;
}

TEST(ProgramPictures, TheMeterStripLoadsAsTheBuiltInStripInTheScreensDepth) {
    CBitmap tiles;
    ASSERT_TRUE(tiles.LoadBitmap(IDB_METER_TILES));
    BITMAP bm;
    ASSERT_TRUE(tiles.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 90);
    EXPECT_EQ(bm.bmHeight, 16);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    std::vector<uint8_t> bits(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
    ASSERT_EQ(tiles.GetBitmapBits(static_cast<uint32_t>(bits.size()), bits.data()), bits.size());
    const auto& builtIn = meter::BuiltInStripBits();
    ASSERT_EQ(bits.size(), builtIn.size());
    for (size_t i = 0; i < bits.size(); ++i) {
        if (i % 4 != 3) {  // blue, green, red; the fourth byte is unused
            ASSERT_NEAR(bits[i], builtIn[i], 2) << "pixel " << i / 4 % 90 << "," << i / 360;
        }
    }
}

// The lamps' key colour becomes the 3D face colour; frame 0 is grey, frame 1 red (130) or
// green (131) with its light spot at the upper left.
TEST(ProgramPictures, TheLampsLoadWithTheKeyOnTheFaceColourAndShowTheirColours) {
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    for (int id : {IDB_BUSY_LAMP, IDB_READY_LAMP}) {
        SCOPED_TRACE(id);
        CBitmap lamp;
        ASSERT_TRUE(
            lamp.Attach(LoadImage(AfxGetResourceHandle(), static_cast<unsigned>(id), IMAGE_BITMAP,
                                  0, 0, LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT)));
        BITMAP bm;
        ASSERT_TRUE(lamp.GetBitmap(&bm));
        ASSERT_EQ(bm.bmWidth, 30);
        ASSERT_EQ(bm.bmHeight, 15);
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        CBitmap* previous = dc.SelectObject(&lamp);
        EXPECT_EQ(dc.GetPixel(0, 0), face);
        EXPECT_EQ(dc.GetPixel(29, 14), face);
        EXPECT_EQ(dc.GetPixel(15, 0), face);
        const COLORREF unlit = dc.GetPixel(7, 7);
        EXPECT_EQ(GetRValue(unlit), GetGValue(unlit));
        EXPECT_EQ(GetGValue(unlit), GetBValue(unlit));
        const COLORREF lit = dc.GetPixel(15 + 8, 8);
        if (id == IDB_BUSY_LAMP) {
            EXPECT_GT(GetRValue(lit), 2 * GetGValue(lit));
        } else {
            EXPECT_GT(GetGValue(lit), 2 * GetRValue(lit));
        }
        EXPECT_GT(Grey(dc.GetPixel(15 + 5, 5)), Grey(dc.GetPixel(15 + 10, 10)));
        dc.SelectObject(previous);
    }
}

// Drawn over two backgrounds, the icon's opaque pixels are the same on both: a picture of a few
// colours within 32 x 32, with transparent corners.
TEST(ProgramPictures, TheIconDrawsItsLargeImageOverWhatIsThere) {
    HICON icon = LoadIconResource(IDR_MAINFRAME);
    ASSERT_TRUE(icon);
    std::vector<std::vector<COLORREF>> drawn;
    for (COLORREF background : {RGB(1, 2, 3), RGB(250, 251, 252)}) {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        CBitmap canvas;
        ASSERT_TRUE(canvas.CreateCompatibleBitmap(&dc, 40, 40));
        CBitmap* previous = dc.SelectObject(&canvas);
        dc.FillSolidRect(0, 0, 40, 40, background);
        ASSERT_TRUE(dc.DrawIcon(4, 4, icon));
        EXPECT_EQ(dc.GetPixel(4, 4), background) << "transparent corner";
        EXPECT_EQ(dc.GetPixel(37, 37), background) << "nothing beyond 32 x 32";
        drawn.emplace_back();
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                drawn.back().push_back(dc.GetPixel(x, y));
            }
        }
        EXPECT_FALSE(dc.DrawIcon(0, 0, HICON{}));
        dc.SelectObject(previous);
    }
    std::set<COLORREF> colours;
    for (size_t i = 0; i < drawn[0].size(); ++i) {
        if (drawn[0][i] == drawn[1][i]) {
            colours.insert(drawn[0][i]);
        }
    }
    EXPECT_EQ(drawn[0][(4 + 24) * 40 + 4 + 16], drawn[1][(4 + 24) * 40 + 4 + 16])
        << "the drive is opaque";
    EXPECT_GE(colours.size(), 4u) << "a picture, not a blot";
    EXPECT_LE(colours.size(), 16u);
    EXPECT_FALSE(LoadIconResource(1));
}

// The version the block states is the project's (the Debian package's), in both its forms.
TEST(VersionBlock, StatesTheProjectsVersion) {
    std::string dotted;
    std::string text;
    for (uint16_t part : kVersionInfo.fileVersion) {
        dotted += (dotted.empty() ? "" : ".") + std::to_string(part);
        text += (text.empty() ? "" : ", ") + std::to_string(part);
    }
    EXPECT_EQ(dotted, SECTORSMITH_PROJECT_VERSION);
    EXPECT_EQ(kVersionInfo.productVersion, kVersionInfo.fileVersion);
    EXPECT_EQ(kVersionInfo.fileVersionText, text);
    EXPECT_EQ(kVersionInfo.productVersionText, text);
}

}  // namespace
