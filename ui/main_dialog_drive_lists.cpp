// The drive lists: every physical drive of at most 2 GB, in ascending disk number; the target
// list's tooltip tells why the other disks are left out.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/storage/drive_names.h"
#include "ui/drive_details_text.h"
#include "ui/main_dialog.h"
#include "ui/unoffered_drives_text.h"

namespace {

std::string ItemText(int acceptedCount, const PhysicalDriveEntry& entry) {
    char number[32];
    std::snprintf(number, sizeof number, "Disk %d -->", acceptedCount);
    char size[48];
    std::snprintf(size, sizeof size, "   Size: %d (KB)", entry.totalKB);
    return std::string(number) + " " + "Logical disk(s):[ " + entry.volumeList + " ]" + size;
}

// The disk number of a physical drive name; anything else goes last.
uint32_t DiskNumber(const std::string& name) {
    return platform::storage::PhysicalDriveNumber(name).value_or(UINT32_MAX);
}

}  // namespace

void MainDialog::RefreshDriveLists() {
    ScanDrives();
    sourceDriveCombo.ResetContent();
    targetDriveCombo.ResetContent();
    busyLamp.SetState(1);
    readyLamp.SetState(0);
    UpdateData(FALSE);

    // Every filed drive is offered, also one numbered above the count of drives.
    std::vector<PhysicalDriveEntry*> entries;
    for (const auto& [name, entry] : drives) {
        entries.push_back(entry.get());
    }
    std::sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) {
        return DiskNumber(a->name) < DiskNumber(b->name);
    });

    int accepted = 0;
    for (PhysicalDriveEntry* entry : entries) {
        if (entry->totalKB > kMaxImageKB) {
            continue;
        }
        const std::string text = ItemText(accepted, *entry);
        sourceDriveCombo.InsertString(accepted, text.c_str());
        sourceDriveCombo.SetItemDataPtr(accepted, entry);
        targetDriveCombo.InsertString(accepted, text.c_str());
        targetDriveCombo.SetItemDataPtr(accepted, entry);
        targetDriveCombo.SetItemTip(
            accepted, DriveDetailsText(*entry, DescribePhysicalDrive(entry->name)).c_str());
        ++accepted;
    }
    targetDriveCombo.SetListTip(UnofferedDrivesText(DescribeDisks(), drives).c_str());
    if (accepted > 0) {
        sourceDriveCombo.SetCurSel(0);
        targetDriveCombo.SetCurSel(-1);
    }
    busyLamp.SetState(0);
    readyLamp.SetState(1);
    UpdateData(FALSE);
}
