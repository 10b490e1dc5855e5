// Until the main window exists, starting the program lists the drive inventory: every physical
// drive that carries a lettered volume, with its volumes and their total size.
#include <cstdio>

#include "platform/storage/linux/linux_storage.h"
#include "transfer/disk_imager.h"

int main() {
    platform::storage::LinuxStorage storage;
    DiskImager imager(storage);
    imager.ScanDrives();
    if (imager.drives.empty()) {
        std::printf("No drives found (raw access to drives needs root).\n");
        return 0;
    }
    for (const auto& [name, entry] : imager.drives) {
        std::printf("%-16s %-24s %10d KB  %s\n", entry->name.c_str(), entry->volumeList.c_str(),
                    entry->totalKB, storage.DeviceNodeOf(entry->name).c_str());
    }
    return 0;
}
