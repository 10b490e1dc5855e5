#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "platform/window/qt/native_window.h"
#include "tests/helpers/modal_answer.h"
#include "tests/helpers/qt_test_app.h"
#include "tests/helpers/window_probe.h"
#include "tests/platform/window/sample_dialog.h"

using platform::window::WidgetOf;
using test_helpers::RunModal;

namespace {

class DialogModalTest : public test_helpers::WindowTest {};

TEST_F(DialogModalTest, InitDialogRunsOnceBeforeShowingAndExchangeAttachesTheMembers) {
    SampleDialog dialog;
    intptr_t result = RunModal(dialog, [&](CDialog& d) {
        EXPECT_EQ(dialog.initCalls, 1);
        EXPECT_FALSE(dialog.visibleAtInit);
        EXPECT_TRUE(d.IsWindowVisible());
        EXPECT_TRUE(QApplication::activeModalWidget() == WidgetOf(d.m_hWnd));
        // DDX_Control: the members are now the controls' objects.
        EXPECT_TRUE(d.GetDlgItem(1002) == &dialog.list);
        EXPECT_TRUE(d.GetDlgItem(1015) == &dialog.lamp);
        EXPECT_EQ(dialog.lamp.subclassed, 1);
        CRect lampRect;
        d.GetDlgItem(1015)->GetWindowRect(&lampRect);
        EXPECT_EQ(dialog.lamp.clientAtSubclass.Width(), lampRect.Width());
        // DDX_Text: member to control, and back on UpdateData(TRUE).
        std::string shown;
        d.GetDlgItem(1013)->GetWindowText(shown);
        EXPECT_EQ(shown, "/images/a.img");
        d.GetDlgItem(1013)->SetWindowText("typed");
        EXPECT_TRUE(d.UpdateData(TRUE));
        EXPECT_EQ(dialog.path, "typed");
        dialog.path = "again";
        d.UpdateData(FALSE);
        d.GetDlgItem(1013)->GetWindowText(shown);
        EXPECT_EQ(shown, "again");
        EXPECT_EQ(dialog.lamp.subclassed, 1);  // later exchanges attach nothing
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.list.m_hWnd, nullptr);  // the window went, the members stay detached
}

TEST_F(DialogModalTest, EnterInAnEditSendsTheHiddenDefaultButtonsOK) {
    SampleDialog dialog;
    intptr_t result = RunModal(dialog, [&](CDialog& d) {
        d.GetDlgItem(1013)->SetFocus();
        test_helpers::PressKey(&d, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(DialogModalTest, EnterOnAFocusedPushButtonPressesThatButton) {
    SampleDialog dialog;
    intptr_t result = RunModal(dialog, [&](CDialog& d) {
        d.GetDlgItem(1005)->SetFocus();
        test_helpers::PressKey(&d, Qt::Key_Return);
        EXPECT_EQ(dialog.starts, 1);
        EXPECT_TRUE(d.IsWindowVisible());
    });
    EXPECT_EQ(result, IDCANCEL);  // ended by RunModal, not by Enter
}

TEST_F(DialogModalTest, EscapeCancels) {
    SampleDialog dialog;
    intptr_t result = RunModal(dialog, [&](CDialog& d) {
        test_helpers::PressKey(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.IsWindowVisible());
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(DialogModalTest, TheCloseBoxGoesThroughSystemCommandToCancel) {
    SampleDialog dialog;
    intptr_t result = RunModal(dialog, [&](CDialog& d) {
        dialog.EndDialog(77);  // a result the close must replace
        WidgetOf(d.m_hWnd)->close();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.sysCommands, std::vector<UINT>{SC_CLOSE});
}

TEST_F(DialogModalTest, ClickingAButtonCallsItsHandlerAndEndDialogGivesTheResult) {
    SampleDialog dialog;
    dialog.onStart = [&] { dialog.EndDialog(55); };
    intptr_t result = RunModal(dialog, [&](CDialog& d) { test_helpers::ClickControl(&d, 1005); });
    EXPECT_EQ(dialog.starts, 1);
    EXPECT_EQ(result, 55);
}

TEST_F(DialogModalTest, ADialogRunsModallyInsideAnotherOnesHandler) {
    SampleDialog outer;
    intptr_t innerResult = 0;
    outer.onStart = [&] {
        CDialog inner(kSmallDialogId);
        innerResult = RunModal(inner, [&](CDialog& d) {
            EXPECT_TRUE(QApplication::activeModalWidget() == WidgetOf(d.m_hWnd));
            test_helpers::ClickControl(&d, IDOK);
        });
    };
    intptr_t result = RunModal(outer, [&](CDialog& d) { test_helpers::ClickControl(&d, 1005); });
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(DialogModalTest, ExchangeWithAControlTheTemplateLacksFails) {
    class Lacking : public CDialog {
      public:
        Lacking() : CDialog(kSmallDialogId) { RegisterTestTemplates(); }
        void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1234, other); }
        CWnd other;
    } dialog;
    // The first exchange fails, so the dialog ends as soon as it is built.
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.other.m_hWnd, nullptr);
}

TEST_F(DialogModalTest, ExchangeWithAControlOfAnotherClassFailsWhenTheDialogIsBuilt) {
    // 1018 is a static control: a list object cannot stand for it, a plain window object can.
    class WrongClass : public CDialog {
      public:
        WrongClass() : CDialog(kSampleDialogId) { RegisterTestTemplates(); }
        void DoDataExchange(CDataExchange* dx) override {
            DDX_Control(dx, 1018, any);
            DDX_Control(dx, 1018, list);
        }
        CWnd any;
        CListCtrl list;
    } dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.list.m_hWnd, nullptr);

    class AnyClass : public CDialog {
      public:
        AnyClass() : CDialog(kSampleDialogId) { RegisterTestTemplates(); }
        void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1018, any); }
        CWnd any;
    } fitting;
    RunModal(fitting, [&](CDialog&) { EXPECT_NE(fitting.any.m_hWnd, nullptr); });
}

}  // namespace
