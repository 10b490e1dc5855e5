#include "platform/draw/image_list.h"

#include <gtest/gtest.h>

#include "platform/draw/dc.h"
#include "platform/draw/qt/bitmap_data.h"
#include "tests/platform/draw/gui_app.h"

namespace {

// A 3-tile strip of 2 x 2 tiles: tile k has colour (k*80, 10, 20) with its top-left pixel in
// the key colour.
void MakeStrip(CBitmap& strip, COLORREF key) {
    strip.CreateCompatibleBitmap(nullptr, 7, 2);  // one spare column: dropped
    QImage& image = *platform::draw::ImageOf(strip);
    for (int x = 0; x < 7; ++x) {
        for (int y = 0; y < 2; ++y) {
            image.setPixel(x, y, qRgb((x / 2) * 80, 10, 20));
        }
    }
    for (int k = 0; k < 3; ++k) {
        image.setPixel(2 * k, 0, qRgb(GetRValue(key), GetGValue(key), GetBValue(key)));
    }
}

using ImageListTest = GuiTest;

TEST_F(ImageListTest, CutsTheStripAndDrawsTilesOpaqueWithoutMask) {
    CImageList list;
    ASSERT_TRUE(list.Create(2, 2, ILC_COLOR32, 0, 0));
    CBitmap strip;
    MakeStrip(strip, RGB(0, 255, 255));
    EXPECT_EQ(list.Add(&strip, RGB(0, 255, 255)), 0);
    EXPECT_EQ(list.GetImageCount(), 3);

    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap target;
    target.CreateCompatibleBitmap(&dc, 4, 4);
    CBitmap* previous = dc.SelectObject(&target);
    dc.FillSolidRect(0, 0, 4, 4, RGB(1, 1, 1));
    ASSERT_TRUE(list.Draw(&dc, 2, CPoint(1, 2), ILD_NORMAL));
    EXPECT_EQ(dc.GetPixel(1, 2), RGB(0, 255, 255)) << "no mask: the key colour is kept";
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(160, 10, 20));
    EXPECT_EQ(dc.GetPixel(2, 3), RGB(160, 10, 20));
    EXPECT_EQ(dc.GetPixel(0, 2), RGB(1, 1, 1));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 1, 1));
    EXPECT_FALSE(list.Draw(&dc, 3, CPoint(0, 0), ILD_NORMAL));
    EXPECT_FALSE(list.Draw(&dc, -1, CPoint(0, 0), ILD_NORMAL));
    dc.SelectObject(previous);

    EXPECT_TRUE(list.DeleteImageList());
    EXPECT_EQ(list.GetImageCount(), 0);
    EXPECT_EQ(list.Add(&strip, 0), -1);
}

TEST_F(ImageListTest, MaskedListLeavesKeyPixelsUntouched) {
    CImageList list;
    ASSERT_TRUE(list.Create(2, 2, ILC_COLOR32 | ILC_MASK, 0, 0));
    CBitmap strip;
    MakeStrip(strip, RGB(0, 255, 255));
    ASSERT_EQ(list.Add(&strip, RGB(0, 255, 255)), 0);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap target;
    target.CreateCompatibleBitmap(&dc, 2, 2);
    CBitmap* previous = dc.SelectObject(&target);
    dc.FillSolidRect(0, 0, 2, 2, RGB(1, 1, 1));
    ASSERT_TRUE(list.Draw(&dc, 1, CPoint(0, 0), ILD_NORMAL));
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(1, 1, 1));
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(80, 10, 20));
    dc.SelectObject(previous);
}

TEST_F(ImageListTest, RejectsBadSizesAndEmptyBitmaps) {
    CImageList list;
    EXPECT_FALSE(list.Create(0, 2, ILC_COLOR32, 0, 0));
    ASSERT_TRUE(list.Create(4, 2, ILC_COLOR32, 0, 0));
    EXPECT_FALSE(list.Create(4, 2, ILC_COLOR32, 0, 0));
    CBitmap empty;
    EXPECT_EQ(list.Add(&empty, 0), -1);
    CBitmap narrow;
    narrow.CreateCompatibleBitmap(nullptr, 3, 2);
    EXPECT_EQ(list.Add(&narrow, 0), -1) << "narrower than one image";
}

}  // namespace
