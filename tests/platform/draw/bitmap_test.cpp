#include "platform/draw/bitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/draw/dc.h"
#include "platform/draw/dib.h"
#include "platform/draw/qt/bitmap_data.h"
#include "tests/platform/draw/gui_app.h"

namespace {

using BitmapTest = GuiTest;

TEST_F(BitmapTest, DescriptionOfACompatibleBitmap) {
    CBitmap bitmap;
    EXPECT_FALSE(bitmap);
    BITMAP bm;
    EXPECT_EQ(bitmap.GetObject(sizeof(BITMAP), &bm), 0);

    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 5, 3));
    EXPECT_FALSE(bitmap.CreateCompatibleBitmap(nullptr, 5, 3)) << "already holds one";
    EXPECT_EQ(bitmap.GetObject(sizeof(BITMAP) - 1, &bm), 0);
    ASSERT_EQ(bitmap.GetObject(sizeof(BITMAP), &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmType, 0);
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, 20);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmBits, nullptr);
}

TEST_F(BitmapTest, ACopiedHandleKeepsItsDepthAndOwnsItsPixels) {
    EXPECT_EQ(CopyBitmapHandle(nullptr), nullptr);
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    indexed.fill(1);
    const HBITMAP original = std::make_shared<BitmapData>(BitmapData{indexed});

    const HBITMAP copy = CopyBitmapHandle(original);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, original);
    EXPECT_EQ(copy->image.format(), QImage::Format_Indexed8);
    original->image.fill(0);
    EXPECT_EQ(copy->image.pixel(1, 0), qRgb(4, 5, 6)) << "a change to the original shows";
}

TEST_F(BitmapTest, BitsRoundTripAndKeepTheByteOrder) {
    // Two pixels per row: blue, green, red, 0xFF each.
    std::vector<uint8_t> bits = {0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0xFF,
                                 0x70, 0x80, 0x90, 0xFF, 0xA0, 0xB0, 0xC0, 0xFF};
    BITMAP description{0, 2, 2, 8, 1, 32, bits.data()};
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmapIndirect(&description));

    std::vector<uint8_t> out(bits.size());
    EXPECT_EQ(bitmap.GetBitmapBits(static_cast<uint32_t>(out.size()), out.data()), 16u);
    EXPECT_EQ(out, bits);
    EXPECT_EQ(platform::draw::ImageOf(bitmap)->pixel(1, 0), qRgb(0x60, 0x50, 0x40));
    EXPECT_EQ(platform::draw::ImageOf(bitmap)->pixel(0, 1), qRgb(0x90, 0x80, 0x70));

    // A short buffer gets only what fits.
    std::vector<uint8_t> part(6);
    EXPECT_EQ(bitmap.GetBitmapBits(6, part.data()), 6u);
    EXPECT_EQ(part, std::vector<uint8_t>(bits.begin(), bits.begin() + 6));

    CBitmap other;
    BITMAP odd = description;
    odd.bmBitsPixel = 8;
    EXPECT_FALSE(other.CreateBitmapIndirect(&odd)) << "only the device depth is supported";
}

TEST_F(BitmapTest, AttachDetachAndDelete) {
    CBitmap a;
    ASSERT_TRUE(a.CreateCompatibleBitmap(nullptr, 2, 2));
    HBITMAP handle = a.Detach();
    EXPECT_FALSE(a);
    ASSERT_TRUE(handle);

    CBitmap b;
    EXPECT_TRUE(b.Attach(handle));
    EXPECT_EQ(b.GetSafeHandle(), handle);
    EXPECT_FALSE(b.Attach(handle)) << "already attached";
    EXPECT_TRUE(::DeleteObject(handle));
    EXPECT_FALSE(handle);
    EXPECT_TRUE(b) << "the object's own reference keeps the pixels";
    EXPECT_TRUE(b.DeleteObject());
    EXPECT_FALSE(b.DeleteObject());
    EXPECT_FALSE(b.Attach(nullptr));
}

TEST_F(BitmapTest, DeviceIndependentBitsBottomUpAndTopDown) {
    // 24-bit rows padded to 4 bytes: width 1 -> 3 bytes + 1 pad.
    const std::vector<uint8_t> bits = {0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0};  // red, blue
    BITMAPINFO info;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 2;  // bottom-up: the first row stored is the bottom one
    info.bmiHeader.biBitCount = 24;
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    HBITMAP bottomUp =
        CreateDIBitmap(&dc, &info.bmiHeader, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS);
    ASSERT_TRUE(bottomUp);
    EXPECT_EQ(bottomUp->image.pixel(0, 0), qRgb(0, 0, 0xFF));
    EXPECT_EQ(bottomUp->image.pixel(0, 1), qRgb(0xFF, 0, 0));

    info.bmiHeader.biHeight = -2;
    HBITMAP topDown =
        CreateDIBitmap(&dc, &info.bmiHeader, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS);
    ASSERT_TRUE(topDown);
    EXPECT_EQ(topDown->image.pixel(0, 0), qRgb(0xFF, 0, 0));
    EXPECT_EQ(topDown->image.depth(), 32);

    info.bmiHeader.biBitCount = 8;
    EXPECT_FALSE(
        CreateDIBitmap(&dc, &info.bmiHeader, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS));
}

}  // namespace
