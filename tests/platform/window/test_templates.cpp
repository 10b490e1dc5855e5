#include "tests/platform/window/test_templates.h"

#include "platform/window/window_styles.h"

namespace {

DialogTemplate Sample() {
    DialogTemplate t;
    t.id = kSampleDialogId;
    t.extended = true;
    t.caption = "Sample ";
    t.style = 0x90CA00C0;
    t.exStyle = WS_EX_APPWINDOW;
    t.rect = {0, 0, 320, 157};
    t.font = {8, 0, false, 1, "MS Sans Serif"};
    t.items = {
        {1, "Button", "OK", 0x40010001, 0, {119, 57, 50, 14}},
        {2, "Button", "Cancel", 0x40010000, 0, {116, 39, 50, 14}},
        {1001, "msctls_progress32", "Progress1", 0x50800000, 0, {6, 68, 308, 11}},
        {-1,
         "Button",
         "Restore image to physical drive  (max. 2Gb)",
         0x50000007,
         0,
         {10, 97, 299, 49}},
        {1002, "SysListView32", "List1", 0x50810001, 0x00020001, {6, 4, 308, 59}},
        {1005, "Button", "Start Restore", 0x50010000, 0x00020000, {255, 106, 50, 15}},
        {1007, "Button", "Stop", 0x50010000, 0x00020000, {255, 124, 50, 15}},
        {1012, "ComboBox", "", 0x50210102, 0x00000001, {45, 126, 204, 42}},
        {-1, "Static", "Target \n (max 2G)", 0x50020000, 0, {16, 129, 21, 8}},
        {1013, "Edit", "", 0x50810080, 0x00020000, {93, 109, 156, 12}},
        {-1, "Static", "Source image", 0x50020000, 0, {13, 111, 44, 9}},
        {1014, "Button", "...", 0x50010000, 0x00000001, {59, 107, 31, 16}},
        {-1, "Static", "", 0x50001007, 0, {5, 96, 309, 53}},
        {1015, "Button", "", 0x50010003, 0, {281, 82, 12, 12}},
        {1016, "Button", "", 0x50010003, 0, {301, 82, 11, 12}},
        {1018, "Static", "", 0x50020001, 0, {9, 83, 268, 9}},
    };
    return t;
}

DialogTemplate Small() {
    DialogTemplate t;
    t.id = kSmallDialogId;
    t.caption = "Small";
    t.style = 0x80C800C0;
    t.rect = {0, 0, 100, 40};
    t.items = {
        {1, "Button", "OK", 0x50030001, 0, {40, 20, 50, 14}},
        {1100, "Edit", "", 0x50810080, 0, {5, 5, 90, 12}},
    };
    return t;
}

DialogTemplate Broken() {
    DialogTemplate t = Small();
    t.id = kBrokenDialogId;
    t.items.push_back({1100, "Static", "twice", 0x50000000, 0, {5, 20, 20, 8}});
    return t;
}

}  // namespace

void RegisterTestTemplates() {
    static const DialogTemplate sample = Sample();
    static const DialogTemplate small = Small();
    static const DialogTemplate broken = Broken();
    platform::window::RegisterDialogTemplate(sample);
    platform::window::RegisterDialogTemplate(small);
    platform::window::RegisterDialogTemplate(broken);
}

#include "tests/platform/window/sample_dialog.h"

BEGIN_MESSAGE_MAP(SampleDialog, CDialog)
ON_WM_SYSCOMMAND()
ON_BN_CLICKED(1005, OnStartRestore)
ON_BN_CLICKED(1007, OnStop)
END_MESSAGE_MAP()
