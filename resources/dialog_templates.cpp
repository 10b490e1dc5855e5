#include "resources/dialog_templates.h"

#include "platform/window/window_messages.h"
#include "resources/dialog_accessibility.h"
#include "resources/resource_ids.h"

namespace {

DialogItemTemplate Item(int id, const char* windowClass, const char* text, DWORD style,
                        DWORD exStyle, DialogUnitRect rect) {
    DialogItemTemplate item;
    item.id = id;
    item.windowClass = windowClass;
    item.text = text;
    item.style = style;
    item.exStyle = exStyle;
    item.rect = rect;
    return item;
}

DialogTemplate BuildAboutTemplate() {
    DialogTemplate t;
    t.id = IDD_ABOUTBOX;
    t.caption = "About Tolvan";
    t.style = 0x80C800C0;
    t.rect = {0, 0, 235, 55};
    DialogItemTemplate icon = Item(-1, "Static", "", 0x50000003, 0, {11, 17, 20, 20});
    icon.resourceId = IDR_MAINFRAME;
    t.items = {
        icon,
        Item(-1, "Static", "Tolvan Version 1.0 Risk version", 0x50020080, 0, {40, 10, 119, 8}),
        Item(-1, "Static", "Raw images onto small drives,\nbyte for byte.", 0x50020000, 0,
             {40, 18, 119, 16}),
        Item(IDOK, "Button", "OK", 0x50030001, 0, {178, 7, 50, 14}),
    };
    return t;
}

DialogTemplate BuildMainTemplate() {
    DialogTemplate t;
    t.id = IDD_MAIN_DIALOG;
    t.extended = true;
    t.caption = "Sectorsmith ";
    t.style = 0x90CA00C0;
    t.exStyle = 0x00040000;
    t.rect = {0, 0, 320, 157};
    t.items = {
        Item(IDOK, "Button", "OK", 0x40010001, 0, {119, 57, 50, 14}),
        Item(IDCANCEL, "Button", "Cancel", 0x40010000, 0, {116, 39, 50, 14}),
        Item(-1, "Button", "Create Physical Drive image", 0x48000007, 0, {213, 20, 23, 49}),
        Item(IDC_PROGRESS, "msctls_progress32", "Progress1", 0x50800000, 0, {6, 68, 308, 11}),
        Item(-1, "Button", "Restore image to physical drive  (max. 2Gb)", 0x50000007, 0,
             {10, 97, 299, 49}),
        Item(IDC_MESSAGE_LIST, "SysListView32", "List1", 0x50810001, 0x00020001, {6, 4, 308, 59}),
        Item(IDC_START_COPY, "Button", "Start Copy", 0x48010000, 0x00020000, {252, 33, 16, 15}),
        Item(IDC_START_RESTORE, "Button", "Start Restore", 0x50010000, 0x00020000,
             {255, 106, 50, 15}),
        Item(IDC_STOP_COPY, "Button", "Stop", 0x48010000, 0x00020000, {230, 36, 14, 15}),
        Item(IDC_STOP_RESTORE, "Button", "Stop", 0x50010000, 0x00020000, {255, 124, 50, 15}),
        Item(IDC_SOURCE_DRIVE, "ComboBox", "", 0x48210102, 0x00000001, {263, 41, 17, 47}),
        Item(-1, "Static", "Source", 0x48020000, 0, {109, 25, 25, 11}),
        Item(IDC_BROWSE_CREATE, "Button", "...", 0x48010000, 0x00000001, {58, 33, 31, 16}),
        Item(IDC_CREATE_PATH, "Edit", "", 0x48810080, 0x00020000, {16, 20, 17, 12}),
        Item(-1, "Static", "Image file", 0x48020000, 0, {51, 40, 30, 12}),
        Item(IDC_TARGET_DRIVE, "ComboBox", "", 0x50210102, 0x00000001, {45, 126, 204, 42}),
        Item(-1, "Static", "Target \n (max 2G)", 0x50020000, 0, {16, 129, 21, 8}),
        Item(IDC_RESTORE_PATH, "Edit", "", 0x50810080, 0x00020000, {93, 109, 156, 12}),
        Item(-1, "Static", "Source image", 0x50020000, 0, {13, 111, 44, 9}),
        Item(IDC_BROWSE_RESTORE, "Button", "...", 0x50010000, 0x00000001, {59, 107, 31, 16}),
        Item(-1, "Static", "", 0x48001007, 0, {257, 36, 16, 21}),
        Item(-1, "Static", "", 0x50001007, 0, {5, 96, 309, 53}),
        Item(IDC_BUSY_LAMP, "Button", "", 0x50010003, 0, {281, 82, 12, 12}),
        Item(IDC_READY_LAMP, "Button", "", 0x50010003, 0, {301, 82, 11, 12}),
        Item(IDC_METER_TEXT, "Static", "", 0x50020001, 0, {9, 83, 268, 9}),
    };
    t.accessibility = MainDialogAccessibility();
    return t;
}

}  // namespace

const DialogTemplate& AboutDialogTemplate() {
    static const DialogTemplate templ = BuildAboutTemplate();
    return templ;
}

const DialogTemplate& MainDialogTemplate() {
    static const DialogTemplate templ = BuildMainTemplate();
    return templ;
}

void RegisterDialogTemplates() {
    platform::window::RegisterDialogTemplate(AboutDialogTemplate());
    platform::window::RegisterDialogTemplate(MainDialogTemplate());
}
