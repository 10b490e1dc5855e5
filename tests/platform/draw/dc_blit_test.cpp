#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>
#include <cstdlib>

#include "platform/draw/dc.h"
#include "platform/draw/qt/font_data.h"
#include "platform/draw/sys_colors.h"
#include "tests/platform/draw/gui_app.h"

namespace {

// A memory context with its own bitmap of the given size, filled with one colour.
struct MemoryCanvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
    MemoryCanvas(int w, int h, COLORREF fill) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, w, h);
        previous = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, fill);
    }
    ~MemoryCanvas() { dc.SelectObject(previous); }
};

using DcBlitTest = GuiTest;

TEST_F(DcBlitTest, MemoryContextSelectsBitmapsAndReportsTheDefaultOne) {
    CDC dc;
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID) << "no target yet";
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_FALSE(dc.CreateCompatibleDC(nullptr));
    EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 32);

    CBitmap empty;
    EXPECT_EQ(dc.SelectObject(&empty), nullptr) << "an empty bitmap cannot be selected";

    CBitmap a, b;
    ASSERT_TRUE(a.CreateCompatibleBitmap(&dc, 2, 2));
    ASSERT_TRUE(b.CreateCompatibleBitmap(&dc, 3, 3));
    CBitmap* defaultBitmap = dc.SelectObject(&a);
    ASSERT_NE(defaultBitmap, nullptr);
    BITMAP bm;
    defaultBitmap->GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(dc.SelectObject(&b), &a);
    EXPECT_EQ(dc.SelectObject(defaultBitmap), &b);

    CDC window;  // not a memory context
    EXPECT_EQ(window.SelectObject(&a), nullptr);
    EXPECT_TRUE(dc.DeleteDC());
    EXPECT_FALSE(dc.DeleteDC());
}

TEST_F(DcBlitTest, FillSolidRectFillsHalfOpenRectangleAndSetsBackground) {
    MemoryCanvas canvas(6, 4, RGB(0, 0, 0));
    canvas.dc.FillSolidRect(CRect(1, 1, 4, 3), RGB(10, 20, 30));
    EXPECT_EQ(canvas.dc.GetBkColor(), RGB(10, 20, 30));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(canvas.dc.GetPixel(x, y), inside ? RGB(10, 20, 30) : RGB(0, 0, 0))
                << x << "," << y;
        }
    }
}

TEST_F(DcBlitTest, BitBltCopiesExactlyTheSourceRectangle) {
    MemoryCanvas source(4, 4, RGB(0, 0, 0));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            source.dc.SetPixel(x, y, RGB(x * 50, y * 50, 7));
        }
    }
    MemoryCanvas target(5, 5, RGB(255, 255, 255));
    ASSERT_TRUE(target.dc.BitBlt(3, 1, 2, 3, &source.dc, 1, 0, SRCCOPY));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 3 && y >= 1 && y < 4;
            const COLORREF expected =
                inside ? RGB((x - 3 + 1) * 50, (y - 1) * 50, 7) : RGB(255, 255, 255);
            EXPECT_EQ(target.dc.GetPixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_TRUE(target.dc.BitBlt(0, 0, 0, 0, &source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.dc.GetPixel(0, 0), RGB(255, 255, 255)) << "an empty copy copies nothing";
    EXPECT_FALSE(target.dc.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, 0x00EE0086)) << "SRCPAINT";
    CDC noTarget;
    EXPECT_FALSE(target.dc.BitBlt(0, 0, 1, 1, &noTarget, 0, 0, SRCCOPY));
}

TEST_F(DcBlitTest, BitBltWithinOneBitmapUsesTheOriginalPixels) {
    MemoryCanvas canvas(4, 1, RGB(0, 0, 0));
    for (int x = 0; x < 4; ++x) {
        canvas.dc.SetPixel(x, 0, RGB(x * 10, 0, 0));
    }
    ASSERT_TRUE(canvas.dc.BitBlt(1, 0, 3, 1, &canvas.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.dc.GetPixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(2, 0), RGB(10, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(3, 0), RGB(20, 0, 0));
}

TEST_F(DcBlitTest, StretchBltHalftoneAveragesNearestDoesNot) {
    MemoryCanvas source(2, 1, RGB(0, 0, 0));
    source.dc.SetPixel(1, 0, RGB(200, 100, 50));

    MemoryCanvas halftone(1, 1, RGB(9, 9, 9));
    halftone.dc.SetStretchBltMode(HALFTONE);
    ASSERT_TRUE(halftone.dc.StretchBlt(0, 0, 1, 1, &source.dc, 0, 0, 2, 1, SRCCOPY));
    const COLORREF mixed = halftone.dc.GetPixel(0, 0);
    EXPECT_NEAR(GetRValue(mixed), 100, 2);
    EXPECT_NEAR(GetGValue(mixed), 50, 2);
    EXPECT_NEAR(GetBValue(mixed), 25, 2);

    MemoryCanvas nearest(1, 1, RGB(9, 9, 9));
    nearest.dc.SetStretchBltMode(COLORONCOLOR);
    ASSERT_TRUE(nearest.dc.StretchBlt(0, 0, 1, 1, &source.dc, 0, 0, 2, 1, SRCCOPY));
    const COLORREF picked = nearest.dc.GetPixel(0, 0);
    EXPECT_TRUE(picked == RGB(0, 0, 0) || picked == RGB(200, 100, 50));
}

TEST_F(DcBlitTest, StretchBltHalftoneKeepsUniformRowsWhenScalingHeight) {
    // The meter stretches a strip of uniform rows to the client height: a uniform picture must
    // stay uniform and the result must cover exactly the target rectangle.
    MemoryCanvas source(3, 16, RGB(0x4D, 0x94, 0xE5));
    MemoryCanvas target(5, 20, RGB(1, 2, 3));
    target.dc.SetStretchBltMode(HALFTONE);
    ASSERT_TRUE(target.dc.StretchBlt(1, 2, 3, 14, &source.dc, 0, 0, 3, 16, SRCCOPY));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 2 && y < 16;
            EXPECT_EQ(target.dc.GetPixel(x, y), inside ? RGB(0x4D, 0x94, 0xE5) : RGB(1, 2, 3))
                << x << "," << y;
        }
    }
}

TEST_F(DcBlitTest, SaveAndRestoreTheDrawingState) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    dc.SetTextColor(RGB(1, 1, 1));
    const int first = dc.SaveDC();
    EXPECT_EQ(first, 1);
    dc.SetTextColor(RGB(2, 2, 2));
    dc.SetBkMode(TRANSPARENT);
    CFont font;
    platform::draw::SetQFont(font, QFont("Sans", 20));
    CFont* defaultFont = dc.SelectObject(&font);
    ASSERT_NE(defaultFont, nullptr);
    EXPECT_EQ(dc.SaveDC(), 2);
    dc.SetTextColor(RGB(3, 3, 3));
    dc.SelectStockObject(NULL_BRUSH);

    EXPECT_TRUE(dc.RestoreDC(-1));
    EXPECT_EQ(dc.GetTextColor(), RGB(2, 2, 2));
    EXPECT_EQ(dc.GetCurrentFont(), &font);
    EXPECT_TRUE(dc.RestoreDC(first));
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 1, 1));
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetCurrentFont(), nullptr) << "back to the default font";
    EXPECT_FALSE(dc.RestoreDC(-1)) << "nothing saved any more";
    EXPECT_FALSE(dc.RestoreDC(5));
}

TEST_F(DcBlitTest, SystemColoursFollowTheApplicationPalette) {
    const QPalette original = QGuiApplication::palette();
    QPalette palette = original;
    palette.setColor(QPalette::Button, QColor(12, 34, 56));
    palette.setColor(QPalette::Dark, QColor(1, 2, 3));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(12, 34, 56));
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), RGB(12, 34, 56));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(1, 2, 3));
    QGuiApplication::setPalette(original);
}

}  // namespace
