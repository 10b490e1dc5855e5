#include "widgets/lamp_button.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <memory>

#include "platform/draw/image_loader.h"
#include "platform/draw/qt/bitmap_data.h"
#include "platform/draw/sys_colors.h"
#include "platform/window/qt/native_window.h"
#include "tests/helpers/qt_test_app.h"
#include "tests/helpers/test_parent_window.h"
#include "tests/helpers/window_probe.h"

namespace {

constexpr int kLampId = 1015;
constexpr uint16_t kBusyBitmap = 130;
constexpr uint16_t kReadyBitmap = 131;

// Counts the owner-draw calls and lets tests call DrawItem directly.
class ProbedLamp : public LampButton {
  public:
    int drawCalls = 0;
    void Draw(DRAWITEMSTRUCT* item) { LampButton::DrawItem(item); }

  protected:
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        ++drawCalls;
        LampButton::DrawItem(item);
    }
};

COLORREF At(const QImage& image, int x, int y) {
    const QRgb c = image.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

// A shown top-level window with one check box (id 1015) whose client area is w x h, taken over
// by a fresh lamp.
class LampButtonTest : public test_helpers::WindowTest {
  protected:
    void Attach(int w, int h, const char* caption = "") {
        parent = std::make_unique<test_helpers::TestParentWindow>(CSize(160, 60), "lamps");
        // Synchronous repaints need the window on screen.
        QWindow* top = platform::window::WidgetOf(parent->Window().m_hWnd)->windowHandle();
        ASSERT_TRUE(top != nullptr && QTest::qWaitForWindowExposed(top));
        ASSERT_TRUE(parent->AttachCheckBox(*lamp, w, h, kLampId));
        lamp->SetWindowText(caption);
        CRect client;
        lamp->GetClientRect(&client);
        ASSERT_EQ(client, CRect(0, 0, w, h)) << "a check box has no border";
    }

    QImage Grab() { return test_helpers::GrabWindow(lamp.get()); }

    // The frame of bitmap id as the lamp's loader maps it.
    static QImage Frame(uint16_t id, int frame) {
        HBITMAP strip = LoadImage(AfxGetResourceHandle(), id, IMAGE_BITMAP, 0, 0,
                                  LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT);
        return strip ? strip->image.copy(frame * 15, 0, 15, 15) : QImage();
    }

    // Every pixel of the control: the frame at origin, the face colour elsewhere.
    static void ExpectFrameAt(const QImage& shot, const QImage& frame, CPoint origin) {
        ASSERT_FALSE(frame.isNull());
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const int fx = x - origin.x;
                const int fy = y - origin.y;
                const bool inFrame =
                    fx >= 0 && fx < frame.width() && fy >= 0 && fy < frame.height();
                const COLORREF expected = inFrame ? At(frame, fx, fy) : face;
                ASSERT_EQ(At(shot, x, y), expected) << "pixel " << x << "," << y;
            }
        }
    }

    std::unique_ptr<test_helpers::TestParentWindow> parent;
    std::unique_ptr<ProbedLamp> lamp = std::make_unique<ProbedLamp>();
};

TEST_F(LampButtonTest, ConstructedUnlitWithIndent20) {
    EXPECT_EQ(lamp->GetState(), 0);
    EXPECT_EQ(lamp->GetIndent(), 20);
    EXPECT_EQ(lamp->SetState(0), 0) << "no window yet: nothing to repaint";
    EXPECT_EQ(lamp->SetState(3), 3);
}

TEST_F(LampButtonTest, FrameDrawnAtTheComputedOriginOf18x20) {
    Attach(18, 20);
    EXPECT_EQ(lamp->GetOrigin().y, 10) << "vertical middle after attaching";
    EXPECT_EQ(lamp->GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    lamp->LoadFrames(kBusyBitmap, 15);
    EXPECT_EQ(lamp->GetOrigin(), CPoint(1, 3));
    EXPECT_EQ(lamp->GetIndent(), 20);

    ExpectFrameAt(Grab(), Frame(kBusyBitmap, 0), CPoint(1, 3));
    lamp->SetState(1);
    ExpectFrameAt(Grab(), Frame(kBusyBitmap, 1), CPoint(1, 3));
    lamp->SetState(0);
    ExpectFrameAt(Grab(), Frame(kBusyBitmap, 0), CPoint(1, 3));
}

TEST_F(LampButtonTest, NineteenPixelsHighGivesTheSameOrigin) {
    Attach(18, 19);
    EXPECT_EQ(lamp->GetOrigin().y, 10);
    lamp->LoadFrames(kReadyBitmap, 15);
    EXPECT_EQ(lamp->GetOrigin(), CPoint(1, 3));
    lamp->SetState(1);
    ExpectFrameAt(Grab(), Frame(kReadyBitmap, 1), CPoint(1, 3));
}

TEST_F(LampButtonTest, RepaintsAtOnceAndOnlyOnARealChange) {
    Attach(18, 20);
    lamp->LoadFrames(kBusyBitmap, 15);
    Grab();  // settle the first paint
    const int before = lamp->drawCalls;
    EXPECT_EQ(lamp->SetState(0), 0);
    EXPECT_EQ(lamp->drawCalls, before) << "same value";
    EXPECT_EQ(lamp->SetState(1), 1);
    EXPECT_EQ(lamp->drawCalls, before + 1) << "painted synchronously";
    EXPECT_EQ(lamp->SetState(2), 2);
    EXPECT_EQ(lamp->drawCalls, before + 2) << "1 then 2 repaints although both mean lit";
    EXPECT_EQ(lamp->SetState(2), 2);
    EXPECT_EQ(lamp->drawCalls, before + 2);
}

TEST_F(LampButtonTest, ClicksAndFocusChangeNothing) {
    Attach(18, 20);
    lamp->LoadFrames(kReadyBitmap, 15);
    lamp->SetState(1);
    const QImage lit = Grab();
    test_helpers::ClickControl(&parent->Window(), kLampId);
    lamp->SetFocus();
    test_helpers::PressKey(lamp.get(), Qt::Key_Space);
    EXPECT_EQ(lamp->GetState(), 1);
    EXPECT_EQ(Grab(), lit);
}

TEST_F(LampButtonTest, OnlyFullRedrawsPaintAndItemStateIsIgnored) {
    Attach(18, 20);
    lamp->LoadFrames(kBusyBitmap, 15);
    lamp->SetState(1);

    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap canvas;
    ASSERT_TRUE(canvas.CreateCompatibleBitmap(&dc, 18, 20));
    CBitmap* previous = dc.SelectObject(&canvas);
    auto paint = [&](UINT action, UINT itemState) {
        dc.FillSolidRect(0, 0, 18, 20, RGB(1, 2, 3));
        DRAWITEMSTRUCT item;
        item.CtlID = kLampId;
        item.itemAction = action;
        item.itemState = itemState;
        item.hwndItem = lamp->GetSafeHwnd();
        item.hDC = dc.GetSafeHdc();
        item.rcItem = CRect(0, 0, 18, 20);
        lamp->Draw(&item);
        return platform::draw::ImageOf(canvas)->copy();
    };
    const QImage untouched = paint(ODA_FOCUS, ODS_FOCUS);
    EXPECT_EQ(At(untouched, 0, 0), RGB(1, 2, 3));
    EXPECT_EQ(paint(ODA_SELECT, ODS_SELECTED), untouched);

    const QImage plain = paint(ODA_DRAWENTIRE, 0);
    ExpectFrameAt(plain, Frame(kBusyBitmap, 1), CPoint(1, 3));
    EXPECT_EQ(paint(ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED), plain);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE) << "the context's state is given back";
    dc.SelectObject(previous);
}

TEST_F(LampButtonTest, WideFramesRaiseTheIndent) {
    Attach(40, 20);
    lamp->LoadFrames(kBusyBitmap, 25);
    EXPECT_EQ(lamp->GetIndent(), 30);
}

TEST_F(LampButtonTest, CaptionIsDrawnBesideTheLampCentredVertically) {
    Attach(120, 30, "Busy");
    lamp->LoadFrames(kBusyBitmap, 15);
    const QImage shot = Grab();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int top = shot.height(), bottom = -1, left = shot.width();
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 20; x < shot.width(); ++x) {
            if (At(shot, x, y) != face) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
            }
        }
    }
    ASSERT_GE(bottom, 0) << "some text was drawn";
    EXPECT_GE(left, 20) << "at the indent";
    EXPECT_NEAR((top + bottom) / 2.0, 15.0, 4.0);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 16; x < 20; ++x) {
            EXPECT_EQ(At(shot, x, y), face) << "between lamp and text";
        }
    }
}

TEST_F(LampButtonTest, MissingBitmapLeavesAnEmptyLamp) {
    Attach(18, 20);
    lamp->LoadFrames(9999, 15);
    EXPECT_EQ(lamp->GetOrigin(), CPoint(1, 10));
    EXPECT_EQ(lamp->GetIndent(), 20);
    const QImage shot = Grab();
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            ASSERT_EQ(At(shot, x, y), GetSysColor(COLOR_BTNFACE))
                << x << "," << y << " draws " << lamp->drawCalls;
        }
    }
    lamp.reset();  // releases nothing but the memory context
}

// Writes the two lamps of the main window, busy lit and ready unlit, as a picture to look at
// when LAMP_PICTURE names a file.
TEST_F(LampButtonTest, PictureOfBothLamps) {
    const char* path = std::getenv("LAMP_PICTURE");
    if (path == nullptr) {
        GTEST_SKIP() << "set LAMP_PICTURE=<file.png> to write the picture";
    }
    Attach(18, 20);
    lamp->LoadFrames(kBusyBitmap, 15);
    lamp->SetState(1);
    ProbedLamp ready;
    CWnd* second =
        parent->AddControl("Button", "", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(36, 10, 54, 30), 1016);
    ASSERT_TRUE(second != nullptr && ready.SubclassWindow(second->m_hWnd));
    ready.LoadFrames(kReadyBitmap, 15);
    ready.SetState(0);
    ProbedLamp captioned;
    CWnd* third = parent->AddControl("Button", "Ready for the next image",
                                     WS_VISIBLE | BS_AUTOCHECKBOX, CRect(60, 4, 156, 40), 1017);
    ASSERT_TRUE(third != nullptr && captioned.SubclassWindow(third->m_hWnd));
    captioned.LoadFrames(kReadyBitmap, 15);
    captioned.SetState(1);
    const QImage shot = test_helpers::GrabWindow(&parent->Window());
    EXPECT_TRUE(shot.scaled(shot.size() * 4).save(QString::fromUtf8(path)));
}

}  // namespace
