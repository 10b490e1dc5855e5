#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/draw/sys_colors.h"
#include "platform/window/client_dc.h"
#include "platform/window/event_pump.h"
#include "platform/window/paint_dc.h"
#include "platform/window/static_control.h"
#include "platform/window/wnd_class.h"
#include "tests/helpers/qt_test_app.h"
#include "tests/helpers/test_parent_window.h"
#include "tests/helpers/window_probe.h"
#include "tests/platform/window/sample_dialog.h"

namespace {

// A window of its own class that fills its client area and counts erase, paint and timer
// messages.
class Canvas : public CStatic {
  public:
    BOOL OnEraseBkgnd(CDC* dc) {
        ++erases;
        erasedWithDevice = dc != nullptr && dc->HasTarget();
        return CStatic::OnEraseBkgnd(dc);
    }
    void OnPaint() {
        CPaintDC dc(this);
        ++paints;
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(r, RGB(0, 0, 255));
        CClientDC measure(this);
        textWidth = measure.GetTextExtent("MMMM").cx;
    }
    void OnTimer(UINT_PTR id) {
        ticks.push_back(id);
        CStatic::OnTimer(id);
    }
    int erases = 0;
    bool erasedWithDevice = false;
    int paints = 0;
    int textWidth = 0;
    std::vector<UINT_PTR> ticks;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Canvas, CStatic)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_TIMER()
END_MESSAGE_MAP()

class PaintTimerTest : public test_helpers::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = std::make_unique<test_helpers::TestParentWindow>(CSize(200, 100));
        const char* cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_WAIT), nullptr, HICON{});
        ASSERT_TRUE(canvas.CreateEx(WS_EX_STATICEDGE, cls, "", WS_CHILD | WS_VISIBLE | 0x020E,
                                    CRect(10, 10, 110, 30), &parent->Window(), 0x1234));
        QApplication::processEvents();  // the first paint
    }
    std::unique_ptr<test_helpers::TestParentWindow> parent;
    Canvas canvas;
};

TEST_F(PaintTimerTest, RedrawWindowWithUpdateNowPaintsBeforeReturning) {
    int before = canvas.paints;
    canvas.Invalidate(FALSE);
    EXPECT_EQ(canvas.paints, before);  // marking alone waits for the event loop
    canvas.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(canvas.paints, before + 1);
    EXPECT_TRUE(canvas.erasedWithDevice);
    int erases = canvas.erases;
    canvas.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(canvas.paints, before + 2);
    EXPECT_EQ(canvas.erases, erases);  // no erase without RDW_ERASE
    canvas.UpdateWindow();             // nothing marked: no paint
    EXPECT_EQ(canvas.paints, before + 2);
}

TEST_F(PaintTimerTest, AWindowWithoutBackgroundBrushRepaintsWithoutTheWindowsBeneathIt) {
    // Such a window paints all of its area itself, so what lies under it need not be painted
    // first: a window laid over the canvas repaints alone.
    const char* cls = AfxRegisterWndClass(0, HCURSOR{}, nullptr, HICON{});
    Canvas over;
    ASSERT_TRUE(over.CreateEx(WS_EX_STATICEDGE, cls, "", WS_CHILD | WS_VISIBLE,
                              CRect(10, 10, 110, 30), &parent->Window(), 0x1235));
    QApplication::processEvents();
    const int beneath = canvas.paints;
    const int painted = over.paints;
    over.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(over.paints, painted + 1);
    EXPECT_EQ(canvas.paints, beneath);
}

TEST_F(PaintTimerTest, TheClientAreaLiesInsideTheStaticEdge) {
    CRect client;
    canvas.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 98, 18));
    QImage image = test_helpers::GrabWindow(&canvas);
    ASSERT_EQ(image.size(), QSize(100, 20));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0, 0, 255));    // client origin
    EXPECT_EQ(image.pixelColor(98, 18), QColor(0, 0, 255));  // last client pixel
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(image.pixelColor(0, 0),
              QColor(GetRValue(shadow), GetGValue(shadow), GetBValue(shadow)));
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(image.pixelColor(99, 19),
              QColor(GetRValue(light), GetGValue(light), GetBValue(light)));
    EXPECT_GT(canvas.textWidth, 0);  // a client DC measures in a paint
    // Placement and conversion against the parent's client area.
    CRect placed;
    canvas.GetWindowRect(&placed);
    parent->Window().ScreenToClient(&placed);
    EXPECT_EQ(placed, CRect(10, 10, 110, 30));
    canvas.MoveWindow(CRect(20, 30, 80, 50), TRUE);
    canvas.GetWindowRect(&placed);
    parent->Window().ScreenToClient(&placed);
    EXPECT_EQ(placed, CRect(20, 30, 80, 50));
}

TEST_F(PaintTimerTest, TimersArriveAsTimerMessagesUntilKilled) {
    UINT_PTR id = reinterpret_cast<UINT_PTR>(&canvas);
    EXPECT_EQ(canvas.SetTimer(id, 20), id);
    QTRY_VERIFY_WITH_TIMEOUT(canvas.ticks.size() >= 2, 2000);
    EXPECT_EQ(canvas.ticks.front(), id);
    EXPECT_TRUE(canvas.KillTimer(id));
    EXPECT_FALSE(canvas.KillTimer(id));
    size_t seen = canvas.ticks.size();
    QTest::qWait(60);
    EXPECT_EQ(canvas.ticks.size(), seen);
}

TEST_F(PaintTimerTest, ATestCanDeliverATickAtOnce) {
    EXPECT_FALSE(test_helpers::DeliverTimer(&canvas, 5));  // no such timer
    canvas.SetTimer(5, 100000);
    EXPECT_TRUE(test_helpers::DeliverTimer(&canvas, 5));
    EXPECT_EQ(canvas.ticks, std::vector<UINT_PTR>{5});
}

TEST_F(PaintTimerTest, DestroyingTheWindowEndsItsTimerAndDetachesTheObject) {
    HWND h = canvas.m_hWnd;
    canvas.SetTimer(9, 10);
    canvas.ModifyStyle(WS_VISIBLE, 0, 0);
    EXPECT_FALSE(canvas.IsWindowVisible());
    EXPECT_TRUE(canvas.DestroyWindow());
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(canvas.m_hWnd, nullptr);
    QTest::qWait(40);
    EXPECT_TRUE(canvas.ticks.empty());
}

TEST_F(PaintTimerTest, OnePumpRoundRunsPendingMessagesWithoutWaiting) {
    canvas.PostMessage(WM_TIMER, 77, 0);
    canvas.Invalidate(TRUE);
    int paints = canvas.paints;
    platform::window::PumpOneRound();
    EXPECT_EQ(canvas.ticks, std::vector<UINT_PTR>{77});
    EXPECT_EQ(canvas.paints, paints + 1);
    QElapsedTimer clock;
    clock.start();
    platform::window::PumpOneRound();  // nothing pending: returns at once
    EXPECT_LT(clock.elapsed(), 200);
}

class OwnerDrawTest : public test_helpers::WindowTest {};

TEST_F(OwnerDrawTest, OwnerDrawnCheckBoxPaintsThroughDrawItemAndDoesNotToggle) {
    test_helpers::TestParentWindow parent(CSize(100, 60));
    RecordingButton lamp;
    ASSERT_TRUE(parent.AttachCheckBox(lamp, 18, 20, 1015));
    EXPECT_EQ(lamp.subclassed, 1);
    EXPECT_EQ(lamp.clientAtSubclass, CRect(0, 0, 18, 20));
    lamp.ModifyStyle(0, BS_OWNERDRAW, 0);
    EXPECT_EQ(lamp.GetStyle() & 0xF, BS_OWNERDRAW);
    lamp.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_GE(lamp.drawn, 1);
    EXPECT_EQ(lamp.last.CtlType, ODT_BUTTON);
    EXPECT_EQ(lamp.last.CtlID, 1015u);
    EXPECT_EQ(lamp.last.itemAction, ODA_DRAWENTIRE);
    EXPECT_TRUE(lamp.last.hwndItem == lamp.m_hWnd);
    EXPECT_EQ(lamp.last.rcItem, CRect(0, 0, 18, 20));
    EXPECT_EQ(test_helpers::GrabWindow(&lamp).pixelColor(9, 10), QColor(255, 0, 0));
    int drawn = lamp.drawn;
    lamp.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(lamp.drawn, drawn + 1);
    test_helpers::ClickControl(&parent.Window(), 1015);
    EXPECT_EQ(lamp.GetCheck(), BST_UNCHECKED);
}

}  // namespace
