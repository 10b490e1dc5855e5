#pragma once

#include <string>
#include <vector>

#include "platform/window/win_types.h"

// A dialog template held as data: the dialog's own entries and its controls in tab order.
// Rectangles are in dialog units; the dialog's gives the size of its client area.

struct DialogUnitRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct DialogItemTemplate {
    int id = -1;              // -1 for a control nothing addresses
    std::string windowClass;  // "Button", "Static", "Edit", "ComboBox", "SysListView32", ...
    std::string text;         // caption
    DWORD style = 0;
    DWORD exStyle = 0;
    DialogUnitRect rect;
    unsigned resourceId = 0;  // a caption given as a resource ordinal (the icon of SS_ICON)
};

// What assistive technology (a screen reader reading the accessibility tree) is told of a control
// beyond what its class and caption say.
enum class AccessibleRole {
    FromClass,        // what the control's class is: button, edit, combo box, list, ...
    StatusIndicator,  // a lamp: read as a status with its state in words (SetAccessibleState)
};

struct AccessibleItemTemplate {
    int id = -1;              // the control's identifier in the template
    std::string name;         // read as the control's name; the caption stays as it is
    std::string label;        // the caption of the static text that labels it on screen, if any
    std::string description;  // read after the name and role; may be empty
    AccessibleRole role = AccessibleRole::FromClass;
    int describedBy = 0;  // a control whose current text is read as the description (0: none)
};

// The accessibility of a template's controls, kept beside the template so that every window
// backend presents the dialog alike.
struct DialogAccessibilityTemplate {
    std::vector<AccessibleItemTemplate> items;
    // The controls Tab walks, in this order, when it differs from the template order; a control
    // with WS_TABSTOP left out takes the focus only from a click. Empty: the template order.
    std::vector<int> tabOrder;
};

struct DialogFontTemplate {
    int pointSize = 8;
    int weight = 0;
    bool italic = false;
    int charSet = 1;
    std::string typeface = "MS Sans Serif";
};

struct DialogTemplate {
    unsigned id = 0;
    bool extended = false;    // an extended (DIALOGEX) template
    std::string windowClass;  // empty: the standard dialog class
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    DialogUnitRect rect;
    DialogFontTemplate font;  // used when style has DS_SETFONT
    std::vector<DialogItemTemplate> items;
    DialogAccessibilityTemplate accessibility;
};

namespace platform::window {

// Makes templ findable by its id (CDialog(id, parent)); a later one with the same id wins.
void RegisterDialogTemplate(const DialogTemplate& templ);
// The registered template with id; null when there is none.
const DialogTemplate* FindDialogTemplate(unsigned id);

// Checks a template before a dialog is built from it: identifiers other than -1 unique, every
// control class known, every control its accessibility names exists. Empty when sound, otherwise
// what is wrong.
std::string CheckDialogTemplate(const DialogTemplate& templ);

// Each window backend's part of that check: whether a control of class name can be made.
bool IsKnownControlClass(const std::string& name);

}  // namespace platform::window
