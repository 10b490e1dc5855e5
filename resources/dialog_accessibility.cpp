#include "resources/dialog_accessibility.h"

#include "resources/resource_ids.h"

DialogAccessibilityTemplate MainDialogAccessibility() {
    DialogAccessibilityTemplate a;
    a.items = {
        // id, name, caption of its label on screen, description, role, described by
        {IDC_MESSAGE_LIST, "Messages", "", "", AccessibleRole::FromClass, 0},
        {IDC_PROGRESS, "Progress", "", "", AccessibleRole::FromClass, IDC_METER_TEXT},
        // The labels stand after their controls in the template; the names follow the screen.
        {IDC_RESTORE_PATH, "Source image", "Source image", "", AccessibleRole::FromClass, 0},
        {IDC_BROWSE_RESTORE, "", "", "Choose the image file", AccessibleRole::FromClass, 0},
        {IDC_TARGET_DRIVE, "Target", "Target \n (max 2G)", "", AccessibleRole::FromClass, 0},
        {IDC_BUSY_LAMP, "Busy lamp", "", "", AccessibleRole::StatusIndicator, 0},
        {IDC_READY_LAMP, "Ready lamp", "", "", AccessibleRole::StatusIndicator, 0},
    };
    // As the window shows them: the log, then the group from the image to the target, then its
    // buttons. The lamps show no focus and do nothing when pressed, so they are no Tab stops; a
    // screen reader reads them as the window's status without moving there.
    a.tabOrder = {IDC_MESSAGE_LIST, IDC_BROWSE_RESTORE, IDC_RESTORE_PATH,
                  IDC_TARGET_DRIVE, IDC_START_RESTORE,  IDC_STOP_RESTORE};
    return a;
}
