#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window/button.h"
#include "platform/window/combo_box.h"
#include "platform/window/data_exchange.h"
#include "platform/window/dialog.h"
#include "platform/window/list_ctrl.h"
#include "platform/window/progress_ctrl.h"
#include "tests/platform/window/test_templates.h"

// A button that records its attaching and owner-draw calls.
class RecordingButton : public CButton {
  public:
    void PreSubclassWindow() override {
        ++subclassed;
        CRect r;
        GetClientRect(&r);
        clientAtSubclass = r;
    }
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        ++drawn;
        last = *item;
        if (CDC* dc = CDC::FromHandle(item->hDC)) {
            dc->FillSolidRect(item->rcItem, fill);
        }
    }
    int subclassed = 0;
    int drawn = 0;
    CRect clientAtSubclass;
    DRAWITEMSTRUCT last;
    COLORREF fill = RGB(255, 0, 0);
};

// A dialog on the sample template with members bound by data exchange and a message map.
class SampleDialog : public CDialog {
  public:
    SampleDialog() : CDialog(kSampleDialogId) { RegisterTestTemplates(); }

    BOOL OnInitDialog() override {
        BOOL result = CDialog::OnInitDialog();
        ++initCalls;
        visibleAtInit = IsWindowVisible() != FALSE;
        return result;
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1002, list);
        DDX_Control(dx, 1012, combo);
        DDX_Control(dx, 1001, progress);
        DDX_Text(dx, 1013, path);
        DDX_Control(dx, 1015, lamp);
    }

    CListCtrl list;
    CComboBox combo;
    CProgressCtrl progress;
    RecordingButton lamp;
    std::string path = "/images/a.img";
    int initCalls = 0;
    bool visibleAtInit = true;
    int starts = 0;
    int stops = 0;
    std::vector<UINT> sysCommands;
    std::function<void()> onStart;

  protected:
    void OnSysCommand(UINT id, LPARAM lParam) {
        sysCommands.push_back(id);
        CDialog::OnSysCommand(id, lParam);
    }
    void OnStartRestore() {
        ++starts;
        if (onStart) {
            onStart();
        }
    }
    void OnStop() { ++stops; }

    DECLARE_MESSAGE_MAP()
};
