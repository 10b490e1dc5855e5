#include <gtest/gtest.h>

#include <QFont>
#include <algorithm>

#include "platform/draw/dc.h"
#include "platform/draw/qt/bitmap_data.h"
#include "platform/draw/qt/font_data.h"
#include "tests/platform/draw/gui_app.h"

namespace {

// A memory context over a white bitmap with a fixed font.
class DcTextTest : public GuiTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 200, 80));
        previous = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 200, 80, RGB(255, 255, 255));
        QFont f("DejaVu Sans");
        f.setPixelSize(12);
        platform::draw::SetQFont(font, f);
        dc.SelectObject(&font);
    }
    void TearDown() override { dc.SelectObject(previous); }

    // Bounding box of the pixels that are not white; empty when there are none.
    CRect Inked() const {
        CRect box(1000, 1000, -1, -1);
        const QImage& image = *platform::draw::ImageOf(bitmap);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
            }
        }
        return box.right < 0 ? CRect() : box;
    }

    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
    CFont font;
};

TEST_F(DcTextTest, CalcRectMeasuresWithoutDrawing) {
    const CSize extent = dc.GetTextExtent("Ready to go");
    EXPECT_GT(extent.cx, 0);
    CRect r(10, 5, 190, 5);
    const int height = dc.DrawText("Ready to go", &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_EQ(height, extent.cy);
    EXPECT_EQ(r, CRect(10, 5, 10 + extent.cx, 5 + extent.cy));
    EXPECT_TRUE(Inked().IsRectEmpty());

    CRect none(3, 4, 50, 60);
    EXPECT_EQ(dc.DrawText("", &none, DT_CALCRECT), 0);
    EXPECT_EQ(none, CRect(3, 4, 3, 4));
}

TEST_F(DcTextTest, WordBreakWrapsAtBlanksAndKeepsLongWordsWhole) {
    const CSize word = dc.GetTextExtent("alpha");
    const int lineHeight = word.cy;
    CRect narrow(0, 0, word.cx + 2, 0);
    EXPECT_EQ(dc.DrawText("alpha beta gamma", &narrow, DT_CALCRECT | DT_WORDBREAK), 3 * lineHeight);
    const int widest =
        std::max({word.cx, dc.GetTextExtent("beta").cx, dc.GetTextExtent("gamma").cx});
    EXPECT_EQ(narrow.Width(), widest) << "the widest line, even wider than the rectangle";

    CRect wide(0, 0, 300, 0);
    EXPECT_EQ(dc.DrawText("alpha beta gamma", &wide, DT_CALCRECT | DT_WORDBREAK), lineHeight);

    const CSize longWord = dc.GetTextExtent("unbreakable");
    CRect tiny(0, 0, 5, 0);
    EXPECT_EQ(dc.DrawText("unbreakable", &tiny, DT_CALCRECT | DT_WORDBREAK), lineHeight);
    EXPECT_EQ(tiny.Width(), longWord.cx) << "the rectangle widens to the word";

    CRect noBreak(0, 0, 5, 0);
    EXPECT_EQ(dc.DrawText("alpha beta", &noBreak, DT_CALCRECT), lineHeight);
    CRect twoLines(0, 0, 300, 0);
    EXPECT_EQ(dc.DrawText("alpha\nbeta", &twoLines, DT_CALCRECT), 2 * lineHeight);
    CRect single(0, 0, 300, 0);
    EXPECT_EQ(dc.DrawText("alpha\nbeta", &single, DT_CALCRECT | DT_SINGLELINE), lineHeight);
}

TEST_F(DcTextTest, PrefixProcessingUnlessNoPrefix) {
    CRect plain(0, 0, 300, 0);
    dc.DrawText("AB", &plain, DT_CALCRECT);
    CRect prefixed(0, 0, 300, 0);
    dc.DrawText("&AB", &prefixed, DT_CALCRECT);
    EXPECT_EQ(prefixed.Width(), plain.Width()) << "the ampersand is not shown";
    CRect literal(0, 0, 300, 0);
    dc.DrawText("&AB", &literal, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(literal.Width(), dc.GetTextExtent("&AB").cx);
    CRect doubled(0, 0, 300, 0);
    dc.DrawText("&&AB", &doubled, DT_CALCRECT);
    EXPECT_EQ(doubled.Width(), dc.GetTextExtent("&AB").cx);
}

TEST_F(DcTextTest, DrawsInTextColourInsideTheRectangleOnly) {
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(200, 0, 0));
    CRect r(20, 10, 60, 24);  // narrower than the text: clipped
    dc.DrawText("WWWWWWWWWW", &r, DT_SINGLELINE | DT_NOPREFIX);
    const CRect ink = Inked();
    ASSERT_FALSE(ink.IsRectEmpty());
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 60);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 24);
    // Some pixel carries the full text colour.
    bool found = false;
    for (int y = ink.top; y < ink.bottom && !found; ++y) {
        for (int x = ink.left; x < ink.right && !found; ++x) {
            found = dc.GetPixel(x, y) == RGB(200, 0, 0);
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(DcTextTest, OpaqueModeFillsTheTextCellsWithTheBackground) {
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(0, 0, 255));
    const CSize extent = dc.GetTextExtent("ab");
    CRect r(5, 5, 150, 40);
    dc.DrawText("ab", &r, DT_NOPREFIX);
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(5 + extent.cx - 1, 5 + extent.cy - 1) != RGB(255, 255, 255), true);
    EXPECT_EQ(dc.GetPixel(5 + extent.cx + 1, 5), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(5, 5 + extent.cy + 1), RGB(255, 255, 255));
}

TEST_F(DcTextTest, AlignmentPlacesTheLine) {
    dc.SetBkMode(TRANSPARENT);
    const CSize extent = dc.GetTextExtent("II");
    CRect right(0, 0, 200, 20);
    dc.DrawText("II", &right, DT_RIGHT | DT_SINGLELINE);
    CRect ink = Inked();
    EXPECT_GE(ink.left, 200 - extent.cx);
    EXPECT_LE(ink.right, 200);

    dc.FillSolidRect(0, 0, 200, 80, RGB(255, 255, 255));
    CRect centred(0, 40, 200, 80);
    dc.DrawText("II", &centred, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ink = Inked();
    EXPECT_NEAR((ink.left + ink.right) / 2, 100, extent.cx);
    EXPECT_GE(ink.top, 40 + (40 - extent.cy) / 2);
    EXPECT_LE(ink.bottom, 40 + (40 + extent.cy) / 2 + 1);
}

TEST_F(DcTextTest, MeasuringWorksWithoutATarget) {
    CDC measuring;
    measuring.SelectObject(&font);
    EXPECT_EQ(measuring.GetTextExtent("Ready"), dc.GetTextExtent("Ready"));
    CRect r(0, 0, 100, 0);
    EXPECT_GT(measuring.DrawText("Ready", &r, DT_CALCRECT), 0);
    CRect d(0, 0, 100, 20);
    EXPECT_GT(measuring.DrawText("Ready", &d, 0), 0) << "drawing without target does nothing";
}

}  // namespace
